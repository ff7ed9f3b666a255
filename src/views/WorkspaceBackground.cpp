// SPDX-License-Identifier: MIT
// The workspace background.
#include "views/WorkspaceBackground.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWidget>

CWorkspaceBackground::CWorkspaceBackground(QWidget* pViewport)
    : QObject(pViewport), m_pViewport(pViewport) {
    // Everything is painted here, so Qt need not clear first.
    pViewport->setAttribute(Qt::WA_OpaquePaintEvent);
    pViewport->installEventFilter(this);
}

void CWorkspaceBackground::SetBackColor(const QColor& color) {
    m_crBack = color;
    m_pViewport->update();
}

void CWorkspaceBackground::SetLogo(const QString& strText, const QFont& font, const QColor& color) {
    m_strLogo = strText;
    m_fontLogo = font;
    m_crLogo = color;
    m_pViewport->update();
}

bool CWorkspaceBackground::LoadBitmap(const QString& strFile) {
    // A pipe or device named in the settings would block the start-up or read without end.
    const QFileInfo info(strFile);
    if (strFile.isEmpty() || !info.isFile() || info.size() > kMaxPictureBytes)
        return false;
    QImage image;
    if (!image.load(strFile) || image.isNull())
        return false;
    m_bmpBack = image.convertToFormat(QImage::Format_RGB32);
    m_strBitmapFile = strFile;
    m_pViewport->update();
    return true;
}

QRect CWorkspaceBackground::LogoRect(const QSize& client) const {
    const QFontMetrics metrics(m_fontLogo);
    const int a = metrics.averageCharWidth();
    const int h = metrics.height();
    const QSize text = metrics.size(Qt::TextSingleLine, m_strLogo);
    const QPoint topLeft(client.width() - a / 2 - text.width(),
                         client.height() - h / 5 - text.height());
    return QRect(topLeft, QPoint(client.width() - 1, client.height() - 1));
}

void CWorkspaceBackground::Paint(QPainter& painter, const QRect& rcClient) const {
    if (m_bmpBack.isNull() || m_nDispType == Center)
        painter.fillRect(rcClient, m_crBack);
    if (!m_bmpBack.isNull())
        PaintBitmap(painter, rcClient);
    PaintLogo(painter, rcClient);
}

void CWorkspaceBackground::PaintBitmap(QPainter& painter, const QRect& rcClient) const {
    const QSize size = m_bmpBack.size();
    switch (m_nDispType) {
    case Tile:
        painter.drawTiledPixmap(rcClient, QPixmap::fromImage(m_bmpBack));
        break;
    case Stretch:
        // Nearest pixels, as a plain stretch copies them.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(rcClient, m_bmpBack);
        break;
    default:
        painter.drawImage(
            QPoint((rcClient.width() - size.width()) / 2, (rcClient.height() - size.height()) / 2),
            m_bmpBack);
        break;
    }
}

void CWorkspaceBackground::PaintLogo(QPainter& painter, const QRect& rcClient) const {
    if (m_strLogo.isEmpty())
        return;
    painter.save();
    painter.setFont(m_fontLogo);
    const QRect rc = LogoRect(rcClient.size());
    const int nShift = QFontMetrics(m_fontLogo).averageCharWidth() / 5;
    const int flags = Qt::TextSingleLine | Qt::AlignCenter;
    // Dark below right, light above left, the colour on top: the text looks pressed into the
    // background.
    painter.setPen(Qt::black);
    painter.drawText(rc.translated(nShift, 0), flags, m_strLogo);
    painter.setPen(Qt::white);
    painter.drawText(rc.translated(-nShift, 0), flags, m_strLogo);
    painter.setPen(m_crLogo);
    painter.drawText(rc, flags, m_strLogo);
    painter.restore();
}

bool CWorkspaceBackground::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched != m_pViewport)
        return false;
    switch (pEvent->type()) {
    case QEvent::Paint: {
        QPainter painter(m_pViewport);
        Paint(painter, m_pViewport->rect());
        return true;
    }
    case QEvent::Resize: {
        // The logo sits in the corner that moves: the whole area is painted again, so that no
        // piece of it stays behind. The first size only records.
        const QSize size = static_cast<QResizeEvent*>(pEvent)->size();
        if (m_sizeClient.isValid() && size != m_sizeClient)
            m_pViewport->update();
        m_sizeClient = size;
        return false;
    }
    case QEvent::MouseButtonPress: {
        auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        if (pMouse->button() != Qt::RightButton)
            return false;
        emit contextMenuRequested(pMouse->globalPosition().toPoint());
        return true;
    }
    default:
        return false;
    }
}
