// SPDX-License-Identifier: MIT
// The main window's status bar.
#include "app/PaneStatusBar.h"

#include "framework/MessageBoxes.h"
#include "framework/StringTable.h"
#include "framework/UiServices.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QWindow>
#include <qdrawutil.h>

namespace {

constexpr int kGap = 2;    // between panes
constexpr int kMargin = 2; // around the panes

QColor Halved(const QColor& color) {
    return QColor(color.red() / 2, color.green() / 2, color.blue() / 2);
}

} // namespace

CPaneStatusBar::CPaneStatusBar(QWidget* pParent) : QStatusBar(pParent) {
    setObjectName(QStringLiteral("PaneStatusBar"));
    // The grip is drawn here, and only when the window can be resized by it.
    setSizeGripEnabled(false);
}

bool CPaneStatusBar::CreateStatusBar(const CUiServices& ui, QMainWindow* pFrame,
                                     const std::vector<unsigned>& indicators, unsigned nStyle0) {
    if (pFrame == nullptr || indicators.empty()) {
        ui.AppMessageBox(QStringLiteral("Unable to create Statusbar."), EMsgButtons::Ok,
                         EMsgIcon::Stop);
        return false;
    }
    const QPalette& palette = this->palette();
    for (unsigned nID : indicators) {
        PaneRecord record;
        record.strStandard = nID != 0 ? LoadString(nID) : QString();
        record.crText = palette.color(QPalette::WindowText);
        record.crShadow = Halved(palette.color(QPalette::Window));
        record.crBack[0] = record.crBack[1] = palette.color(QPalette::Window);
        record.font = font();
        m_panes.push_back(record);
    }
    m_panes.front().nStyle = nStyle0;
    pFrame->setStatusBar(this);
    return true;
}

void CPaneStatusBar::SetPaneWidth(int nIndex, int nWidth) {
    GetPaneRecord(nIndex).nWidth = nWidth;
    PlaceProgress();
    update();
}

void CPaneStatusBar::SetMinStretchWidth(int nWidth) {
    m_nMinStretch = nWidth;
    updateGeometry();
    PlaceProgress();
    update();
}

void CPaneStatusBar::SetPaneColors(const QColor& crText, const QColor& crShadow) {
    const QColor shadow = crShadow.isValid() ? crShadow : Halved(palette().color(QPalette::Window));
    for (PaneRecord& record : m_panes) {
        record.crText = crText;
        record.crShadow = shadow;
    }
    update();
}

void CPaneStatusBar::SetPaneText(int nIndex, const QString& strText) {
    PaneRecord& record = GetPaneRecord(nIndex);
    if (record.strText[0] == strText)
        return;
    record.strText[0] = strText;
    update(PaneRect(nIndex));
}

QString CPaneStatusBar::PaneText(int nIndex) const {
    const PaneRecord& record = GetPaneRecord(nIndex);
    const QString& strText = record.strText[record.bDisabled ? 1 : 0];
    return strText.isEmpty() ? record.strStandard : strText;
}

void CPaneStatusBar::SetPaneKind(int nIndex, unsigned nKind) {
    PaneRecord& record = GetPaneRecord(nIndex);
    record.nKind = nKind;
    if ((nKind & kProgress) != 0) {
        if (m_pProgress == nullptr) {
            m_pProgress = new QProgressBar(this);
            m_pProgress->setObjectName(QStringLiteral("1"));
            m_pProgress->setTextVisible(false);
        }
        m_nProgressPane = nIndex;
        PlaceProgress();
        m_pProgress->show();
    } else if (m_nProgressPane == nIndex) {
        delete m_pProgress;
        m_nProgressPane = -1;
    }
    update(PaneRect(nIndex));
}

void CPaneStatusBar::PlaceProgress() {
    if (m_pProgress != nullptr && m_nProgressPane >= 0)
        m_pProgress->setGeometry(PaneRect(m_nProgressPane).adjusted(-1, -1, 1, 1));
}

QRect CPaneStatusBar::PaneRect(int nIndex) const {
    // Fixed panes from the right (after the grip's room), the stretching pane takes the rest.
    const int nHeight = height() - 2 * kMargin;
    int nRight = width() - kMargin - kGripSize;
    int nFixed = 0;
    for (const PaneRecord& record : m_panes)
        nFixed += (record.nStyle & kStretch) != 0 ? 0 : record.nWidth + kGap;
    const int nStretch = std::max(m_nMinStretch, nRight - kMargin - nFixed);
    int nLeft = kMargin;
    for (int i = 0; i < PaneCount(); ++i) {
        const PaneRecord& record = m_panes[std::size_t(i)];
        const int nWidth = (record.nStyle & kStretch) != 0 ? nStretch : record.nWidth;
        if (i == nIndex)
            return QRect(nLeft, kMargin, nWidth, nHeight);
        nLeft += nWidth + kGap;
    }
    return {};
}

QRect CPaneStatusBar::GripRect() const {
    return QRect(width() - kGripSize, height() - kGripSize, kGripSize, kGripSize);
}

bool CPaneStatusBar::IsGripShown() const {
    return !window()->isMaximized() && !window()->isFullScreen();
}

QSize CPaneStatusBar::sizeHint() const {
    int nWidth = kGripSize + 2 * kMargin;
    for (const PaneRecord& record : m_panes)
        nWidth += record.nWidth + kGap;
    return QSize(nWidth, fontMetrics().height() + 2 * kMargin + 4);
}

QSize CPaneStatusBar::minimumSizeHint() const {
    return QSize(m_nMinStretch + 2 * kMargin + kGripSize, sizeHint().height());
}

void CPaneStatusBar::paintEvent(QPaintEvent*) {
    // Qt composes the widget off screen and shows it at once: no flicker between the fill
    // and the texts.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    for (int i = 0; i < PaneCount(); ++i)
        PaintPane(painter, i);
    if (IsGripShown())
        PaintGrip(painter);
}

void CPaneStatusBar::PaintPane(QPainter& painter, int nIndex) const {
    const PaneRecord& record = GetPaneRecord(nIndex);
    const QRect rc = PaneRect(nIndex);
    if ((record.nStyle & kNoBorders) == 0)
        qDrawShadePanel(&painter, rc, palette(), (record.nStyle & kPopOut) == 0, 1);
    const QRect rcInside = rc.adjusted(1, 1, -1, -1);
    painter.fillRect(rcInside, record.crBack[record.bDisabled ? 1 : 0]);
    if ((record.nKind & kText) == 0)
        return;
    // Menu and toolbar prompts show in the first pane in place of its text.
    const QString strText =
        nIndex == 0 && !currentMessage().isEmpty() ? currentMessage() : PaneText(nIndex);
    painter.save();
    painter.setClipRect(rcInside);
    painter.setFont(record.font);
    painter.setPen(record.bDisabled ? record.crShadow : record.crText);
    painter.drawText(rcInside.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, strText);
    painter.restore();
}

void CPaneStatusBar::PaintGrip(QPainter& painter) const {
    const QRect rc = rect();
    const int nRight = rc.right(), nBottom = rc.bottom();
    for (int i = 1; i <= kGripSize; ++i) {
        if (i % 4 == 2)
            continue;
        painter.setPen(i % 4 == 1 ? palette().color(QPalette::Light)
                                  : palette().color(QPalette::Dark));
        painter.drawLine(nRight - i, nBottom, nRight, nBottom - i);
    }
}

void CPaneStatusBar::resizeEvent(QResizeEvent* pEvent) {
    QStatusBar::resizeEvent(pEvent);
    PlaceProgress();
}

void CPaneStatusBar::mousePressEvent(QMouseEvent* pEvent) {
    QWindow* pWindow = window()->windowHandle();
    if (pEvent->button() == Qt::LeftButton && IsGripShown() && pWindow != nullptr &&
        GripRect().contains(pEvent->position().toPoint())) {
        pWindow->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
        return;
    }
    QStatusBar::mousePressEvent(pEvent);
}

bool CPaneStatusBar::event(QEvent* pEvent) {
    // The window's state decides the grip.
    if (pEvent->type() == QEvent::ParentChange || pEvent->type() == QEvent::Show)
        update();
    return QStatusBar::event(pEvent);
}
