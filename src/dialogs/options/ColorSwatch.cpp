// SPDX-License-Identifier: MIT
// The colour patch of the colour page.
#include "dialogs/options/ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

CColorSwatch::CColorSwatch(QWidget* pParent) : QWidget(pParent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void CColorSwatch::SetColor(const QColor& color) {
    m_color = color;
    update();
}

void CColorSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
}

void CColorSwatch::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton && rect().contains(pEvent->position().toPoint()))
        emit clicked();
}
