// SPDX-License-Identifier: MIT
// The tabs of the file tab bar.
#include "views/ViewTabCtrl.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>

CViewTabCtrl::CViewTabCtrl(QWidget* pParent) : QTabBar(pParent) {
    setObjectName(QStringLiteral("ViewTabCtrl"));
    setFocusPolicy(Qt::NoFocus);
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(true);
    // A long file name would fill the whole bar: tabs have a width they never pass, and the
    // name gives up its middle (the tip names the whole path).
    setElideMode(Qt::ElideMiddle);
    connect(this, &QTabBar::currentChanged, this, [this] { UpdateColors(); });
}

int CViewTabCtrl::MaxTabWidth() const {
    return fontMetrics().averageCharWidth() * kMaxTabChars;
}

QSize CViewTabCtrl::tabSizeHint(int nIndex) const {
    QSize size = QTabBar::tabSizeHint(nIndex);
    size.setWidth(std::min(size.width(), MaxTabWidth()));
    return size;
}

QColor CViewTabCtrl::ColorOf(unsigned crValue) {
    return QColor(int(crValue & 0xFF), int((crValue >> 8) & 0xFF), int((crValue >> 16) & 0xFF));
}

void CViewTabCtrl::UpdateColors() {
    for (int i = 0; i < count(); ++i) {
        const bool bModified = m_isModified && m_isModified(i);
        const unsigned cr = bModified             ? m_crModified
                            : i == currentIndex() ? m_crNormal
                                                  : m_crInactive;
        if (tabTextColor(i) != ColorOf(cr))
            setTabTextColor(i, ColorOf(cr));
    }
}

bool CViewTabCtrl::event(QEvent* pEvent) {
    if (pEvent->type() != QEvent::ToolTip || !m_toolTipFor)
        return QTabBar::event(pEvent);
    // The text is asked for when the tip shows, so that it follows Save As and renames.
    auto* pHelp = static_cast<QHelpEvent*>(pEvent);
    const int nIndex = tabAt(pHelp->pos());
    if (nIndex < 0) {
        QToolTip::hideText();
        pEvent->ignore();
        return true;
    }
    QToolTip::showText(pHelp->globalPos(), m_toolTipFor(nIndex), this, tabRect(nIndex));
    return true;
}

void CViewTabCtrl::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() != Qt::RightButton) {
        QTabBar::mousePressEvent(pEvent);
        return;
    }
    const int nIndex = tabAt(pEvent->position().toPoint());
    if (nIndex < 0)
        return;
    setCurrentIndex(nIndex);
    emit tabContextMenu(nIndex, pEvent->globalPosition().toPoint());
}
