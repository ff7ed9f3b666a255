// SPDX-License-Identifier: MIT
// The print layout preview.
#include "dialogs/LayoutPreview.h"

#include "image/ImageBitmap.h"
#include "views/ImagePrinter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Pages smaller than this (pixels) are not drawn one by one: the count says more.
constexpr double kMinPagePixels = 3.0;

} // namespace

const QColor CLayoutPreview::kBackground(Qt::lightGray);
const QColor CLayoutPreview::kMarginLine(192, 192, 192);

CLayoutPreview::CLayoutPreview(const PrintLayoutSettings& record, const CImageBitmap* pImage,
                               QWidget* pParent)
    : QWidget(pParent), m_record(record), m_pImage(pImage) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 140);
}

CPrintLayout CLayoutPreview::Layout() const {
    return CPrintLayout(m_record, m_pImage != nullptr ? m_pImage->Width() : 0,
                        m_pImage != nullptr ? m_pImage->Height() : 0);
}

QRect CLayoutPreview::PageRect(int nPage) const {
    const CPrintLayout layout = Layout();
    const int nColumns = layout.Columns();
    const int nRows = layout.Rows();
    if (nColumns == 0 || nPage < 1 || nPage > nColumns * nRows)
        return {};
    // The client area less one pixel, divided into a cell per page; one scale for every page.
    const QRect rcArea = rect().adjusted(1, 1, -1, -1);
    const double dPageWidth = m_record.nPageWidth;
    const double dPageHeight = m_record.nPageHeight;
    const double L =
        std::min(rcArea.width() / (nColumns * dPageWidth), rcArea.height() / (nRows * dPageHeight));
    const double dCellWidth = L * dPageWidth;
    const double dCellHeight = L * dPageHeight;
    if (dCellWidth < kMinPagePixels || dCellHeight < kMinPagePixels)
        return {};
    // The grid is centred in the area.
    const double x0 = rcArea.left() + (rcArea.width() - nColumns * dCellWidth) / 2;
    const double y0 = rcArea.top() + (rcArea.height() - nRows * dCellHeight) / 2;
    const int k = (nPage - 1) % nColumns;
    const int i = (nPage - 1) / nColumns;
    const QRect rcCell(
        QPoint(int(std::lround(x0 + k * dCellWidth)), int(std::lround(y0 + i * dCellHeight))),
        QPoint(int(std::lround(x0 + (k + 1) * dCellWidth)) - 1,
               int(std::lround(y0 + (i + 1) * dCellHeight)) - 1));
    // Several pages keep a gap between them.
    return nColumns * nRows > 1 ? rcCell.adjusted(2, 2, -2, -2) : rcCell;
}

QTransform CLayoutPreview::PageTransform(const QRect& rcPage) const {
    QTransform t;
    t.translate(rcPage.left(), rcPage.top());
    t.scale(double(rcPage.width()) / m_record.nPageWidth,
            double(rcPage.height()) / m_record.nPageHeight);
    return t;
}

void CLayoutPreview::PaintPageFrame(QPainter& painter, const QRect& rcPage) const {
    painter.fillRect(rcPage, Qt::white);
    // Margin lines across the whole page, where the printable area begins and ends.
    const QTransform t = PageTransform(rcPage);
    const QPointF topLeft =
        t.map(QPointF(std::max(m_record.nMarginLeft, 0), std::max(m_record.nMarginTop, 0)));
    const QPointF bottomRight =
        t.map(QPointF(m_record.nPageWidth - std::max(m_record.nMarginRight, 0),
                      m_record.nPageHeight - std::max(m_record.nMarginBottom, 0)));
    painter.setPen(QPen(kMarginLine, 0));
    for (const double x : {topLeft.x(), bottomRight.x()}) {
        const int nx = int(std::lround(x));
        if (nx > rcPage.left() && nx < rcPage.right())
            painter.drawLine(nx, rcPage.top(), nx, rcPage.bottom());
    }
    for (const double y : {topLeft.y(), bottomRight.y()}) {
        const int ny = int(std::lround(y));
        if (ny > rcPage.top() && ny < rcPage.bottom())
            painter.drawLine(rcPage.left(), ny, rcPage.right(), ny);
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rcPage.adjusted(0, 0, -1, -1));
}

void CLayoutPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    if (m_record.nPageWidth <= 0 || m_record.nPageHeight <= 0)
        return;
    const CPrintLayout layout = Layout();
    const int nPages = layout.Columns() * layout.Rows();
    for (int nPage = 1; nPage <= nPages; ++nPage) {
        const QRect rcPage = PageRect(nPage);
        if (rcPage.isEmpty())
            break;
        PaintPageFrame(painter, rcPage);
        if (m_pImage == nullptr || nPage > layout.PageCount())
            continue;
        painter.save();
        painter.setClipRect(rcPage.adjusted(1, 1, -1, -1));
        painter.setWorldTransform(PageTransform(rcPage));
        CImagePrinter::PaintPage(painter, *m_pImage, layout, nPage);
        painter.restore();
    }
    // Too many pages to draw (or to print): their number instead.
    if (layout.NeededPages() > 1 && (nPages == 0 || PageRect(1).isEmpty())) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("%1 pages").arg(layout.NeededPages()));
    }
}
