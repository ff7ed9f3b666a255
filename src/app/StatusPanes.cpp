// SPDX-License-Identifier: MIT
// The main window's status-bar panes.
#include "app/StatusPanes.h"

#include "app/PaneStatusBar.h"
#include "framework/CommandIds.h"
#include "views/TavixCaptureView.h"

#include <QMainWindow>
#include <QProgressBar>
#include <QStringList>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>

namespace {

// The widest text pane nPane (1 to 3) shows, so that the pane can grow to fit it.
QString WidestPaneText(int nPane) {
    switch (nPane) {
    case 1:
        return CTavixCaptureView::MousePositionText(QPoint(-32768, -32768));
    case 2:
        return CTavixCaptureView::ColorText(32);
    default:
        break;
    }
    return CTavixCaptureView::ImageSizeText(QSize(32768, 32768));
}

} // namespace

CStatusPanes::CStatusPanes(QMainWindow& frame, const CUiServices& ui, const QString& strIdle)
    : m_strIdle(strIdle), m_pBar(new CPaneStatusBar(&frame)) {
    m_bCreated = m_pBar->CreateStatusBar(
        ui, &frame, {0, ID_INDICATOR_MOUSE_POS, ID_INDICATOR_COLOR, ID_INDICATOR_IMAGE_SIZE},
        CPaneStatusBar::kStretch);
    if (!m_bCreated)
        return;
    const QFontMetrics metrics(m_pBar->font());
    for (int i = 1; i < 4; ++i) {
        const int nTextWidth = metrics.horizontalAdvance(WidestPaneText(i)) + 8;
        m_pBar->SetPaneWidth(i, std::max(kPaneWidths[std::size_t(i - 1)], nTextWidth));
    }
    m_pBar->SetPaneColors(Qt::black, Qt::black);
    m_pBar->SetPaneText(0, strIdle);
}

CStatusPanes::~CStatusPanes() = default;

void CStatusPanes::SetPaneText(int nPane, const QString& strText) {
    if (nPane >= 0 && nPane < m_pBar->PaneCount())
        m_pBar->SetPaneText(nPane, strText);
}

void CStatusPanes::ShowNoImage() {
    m_pBar->SetPaneText(0, m_strIdle);
    for (int i = 1; i < m_pBar->PaneCount(); ++i)
        m_pBar->SetPaneText(i, QString());
}

void CStatusPanes::FitMessagePane(const QStringList& texts) {
    const QFontMetrics metrics(m_pBar->font());
    int nWidest = 0;
    for (const QString& strText : texts)
        nWidest = std::max(nWidest, metrics.horizontalAdvance(strText));
    // A little for the margins, as for the other panes.
    m_pBar->SetMinStretchWidth(nWidest + 8);
}

QString CStatusPanes::PaneText(int nPane) const {
    if (nPane < 0 || nPane >= m_pBar->PaneCount())
        return {};
    // Panes without a text of their own show nothing (their standard text is the caption).
    return m_pBar->GetPaneRecord(nPane).strText[0];
}

bool CStatusPanes::IsProgressShowing() const {
    return (m_pBar->GetPaneRecord(0).nKind & CPaneStatusBar::kProgress) != 0;
}

void CStatusPanes::SetProgress(double dFraction) {
    const int nPercent = static_cast<int>(std::trunc(std::clamp(dFraction, 0.0, 1.0) * 100.0));
    if (nPercent >= 100) {
        EndProgress();
        return;
    }
    if (!IsProgressShowing()) {
        m_pBar->SetPaneKind(0, CPaneStatusBar::kProgress | CPaneStatusBar::kSmooth);
        m_pBar->ProgressControl()->setRange(0, 100);
        m_sincePaint.invalidate();
    }
    QProgressBar* pControl = m_pBar->ProgressControl();
    // QProgressBar::setValue paints at once whenever the bar grows by a pixel; the painting is
    // left to the lines below, which the bar's own update request would otherwise repeat.
    pControl->setUpdatesEnabled(false);
    pControl->setValue(nPercent);
    pControl->setUpdatesEnabled(true);
    // The work keeps the event loop busy: paint now, or the bar would only show at the end;
    // but not for every report.
    if (!m_sincePaint.isValid() ||
        (nPercent != m_nPaintedPercent && m_sincePaint.elapsed() >= kPaintIntervalMs)) {
        pControl->repaint();
        m_nPaintedPercent = nPercent;
        m_sincePaint.start();
    }
    m_progressEndTimer.start(0, this);
}

void CStatusPanes::EndProgress() {
    m_progressEndTimer.stop();
    if (!IsProgressShowing())
        return;
    m_sincePaint.invalidate();
    m_pBar->SetPaneKind(0, CPaneStatusBar::kText);
    m_pBar->repaint();
}

void CStatusPanes::timerEvent(QTimerEvent* pEvent) {
    if (pEvent->timerId() != m_progressEndTimer.timerId()) {
        QObject::timerEvent(pEvent);
        return;
    }
    EndProgress();
}
