// SPDX-License-Identifier: MIT
// The hyperlink control.
#include "dialogs/HyperLink.h"

#include "framework/ui/ShellOpener.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

const QColor CHyperLink::kLinkColour(0, 0, 255);
const QColor CHyperLink::kVisitedColour(128, 0, 128);
const QColor CHyperLink::kFocusColour(0, 128, 128);
const QColor CHyperLink::kHoverColour(255, 0, 0);

CHyperLink::CHyperLink(CShellOpener& opener, const QString& strText, QWidget* pParent)
    : QLabel(strText, pParent), m_opener(opener), m_strTarget(strText) {
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    AssignFont(font());
    ApplyCursor();
    setToolTip(m_strTarget);
}

void CHyperLink::AssignUrl(const QString& strTarget) {
    m_strTarget = strTarget;
    if (text().isEmpty())
        setText(strTarget);
    setToolTip(m_strTarget);
    FitToText();
}

void CHyperLink::AssignFont(const QFont& font) {
    QFont copy(font);
    copy.setUnderline((m_dwStyle & LinkUnderline) != 0);
    setFont(copy);
    FitToText();
}

bool CHyperLink::ChangeStyle(std::uint32_t dwClear, std::uint32_t dwSet, bool bRedraw) {
    if ((dwClear & dwSet) != 0)
        return false;
    m_dwStyle = (m_dwStyle & ~dwClear) | dwSet;
    ApplyCursor();
    if (!bRedraw)
        return true;
    if (((dwClear | dwSet) & LinkUnderline) != 0)
        AssignFont(font());
    if ((dwSet & LinkAutoSize) != 0)
        FitToText();
    update();
    return true;
}

void CHyperLink::Navigate() {
    m_opener.Open(m_strTarget, this, [this] {
        m_bVisited = true;
        update();
    });
}

QColor CHyperLink::CurrentColour() const {
    if (m_bHover && (m_dwStyle & LinkHoverColour) != 0)
        return kHoverColour;
    if ((m_dwStyle & LinkNoFocusColour) == 0 && m_bFocus)
        return kFocusColour;
    return m_bVisited ? kVisitedColour : kLinkColour;
}

QSize CHyperLink::sizeHint() const {
    const QMargins m = contentsMargins();
    const QSize sizeText = fontMetrics().size(Qt::TextSingleLine, text());
    return sizeText.grownBy(m);
}

void CHyperLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(CurrentColour());
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, text());
}

void CHyperLink::mouseMoveEvent(QMouseEvent* pEvent) {
    // While the button is held the link keeps the mouse; leaving it still ends the hover.
    SetHover(rect().contains(pEvent->position().toPoint()));
    QLabel::mouseMoveEvent(pEvent);
}

void CHyperLink::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() != Qt::LeftButton)
        return QLabel::mousePressEvent(pEvent);
    if ((m_dwStyle & LinkFocusOnClick) != 0)
        setFocus(Qt::MouseFocusReason);
    if ((m_dwStyle & LinkOpenOnDown) != 0)
        Navigate();
    m_bFocus = true;
    update();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() != Qt::LeftButton)
        return QLabel::mouseReleaseEvent(pEvent);
    // Released off the link, the click is taken back, as with a button.
    if (m_bFocus && (m_dwStyle & LinkOpenOnDown) == 0 &&
        rect().contains(pEvent->position().toPoint()))
        Navigate();
}

void CHyperLink::enterEvent(QEnterEvent* pEvent) {
    SetHover(true);
    QLabel::enterEvent(pEvent);
}

void CHyperLink::leaveEvent(QEvent* pEvent) {
    SetHover(false);
    QLabel::leaveEvent(pEvent);
}

void CHyperLink::focusInEvent(QFocusEvent* pEvent) {
    m_bFocus = true;
    update();
    QLabel::focusInEvent(pEvent);
}

void CHyperLink::focusOutEvent(QFocusEvent* pEvent) {
    m_bFocus = false;
    m_bHover = false;
    update();
    QLabel::focusOutEvent(pEvent);
}

void CHyperLink::keyPressEvent(QKeyEvent* pEvent) {
    if (pEvent->key() == Qt::Key_Space && pEvent->modifiers() == Qt::NoModifier) {
        Navigate();
        return;
    }
    QLabel::keyPressEvent(pEvent);
}

void CHyperLink::SetHover(bool bHover) {
    if (bHover == m_bHover)
        return;
    m_bHover = bHover;
    update();
}

void CHyperLink::FitToText() {
    if ((m_dwStyle & LinkAutoSize) == 0) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        return;
    }
    // As large as the text and no larger, so that only the text answers the mouse.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    updateGeometry();
    if (parentWidget() == nullptr || parentWidget()->layout() == nullptr)
        resize(sizeHint());
}

void CHyperLink::ApplyCursor() {
    if ((m_dwStyle & LinkNoHandCursor) != 0)
        unsetCursor();
    else
        setCursor(Qt::PointingHandCursor);
}
