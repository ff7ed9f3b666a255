// SPDX-License-Identifier: MIT
// The page arithmetic of image printing.
#include "views/PrintLayout.h"

#include "platform/AppSettings.h"

#include <algorithm>
#include <cmath>

namespace {

// Margins below zero would push the image off the paper; they count as none.
std::int64_t Margin(std::int32_t n) noexcept {
    return std::max<std::int64_t>(n, 0);
}

// ceil(nLength / nStep) for positive steps; 0 for an empty length.
std::int64_t CeilCount(std::int64_t nLength, std::int64_t nStep) noexcept {
    if (nLength <= 0 || nStep <= 0)
        return 0;
    return nLength / nStep + (nLength % nStep != 0 ? 1 : 0);
}

} // namespace

PrintLayoutSettings PrintLayoutSettings::FromSettings(const platform::CAppSettings& settings) {
    PrintLayoutSettings s;
    s.nPageWidth = settings.m_sizePage.cx;
    s.nPageHeight = settings.m_sizePage.cy;
    s.nPrintWidth = settings.m_sizePrint.cx;
    s.nPrintHeight = settings.m_sizePrint.cy;
    s.nMarginLeft = settings.m_rcMargins.left;
    s.nMarginTop = settings.m_rcMargins.top;
    s.nMarginRight = settings.m_rcMargins.right;
    s.nMarginBottom = settings.m_rcMargins.bottom;
    s.dwCenterFlags = settings.m_wImageCenterFlag;
    s.dwPrintMode = settings.m_dwPrintMode;
    return s;
}

void PrintLayoutSettings::ToSettings(platform::CAppSettings& settings) const {
    settings.m_sizePage = {nPageWidth, nPageHeight};
    settings.m_sizePrint = {nPrintWidth, nPrintHeight};
    settings.m_rcMargins = {nMarginLeft, nMarginTop, nMarginRight, nMarginBottom};
    settings.m_wImageCenterFlag = static_cast<std::uint16_t>(dwCenterFlags);
    settings.m_dwPrintMode = dwPrintMode;
}

QRect PrintPagePlacement::SourcePixels(int nImageWidth, int nImageHeight) const {
    const QRect rcShown = rcClip & rcImage;
    if (rcShown.isEmpty() || rcImage.isEmpty() || nImageWidth <= 0 || nImageHeight <= 0)
        return {};
    // Page lengths to image pixels, rounded outwards so that partly shown pixels are drawn too.
    const auto toPixel = [](std::int64_t nOffset, std::int64_t nPixels, std::int64_t nLength,
                            bool bUp) {
        const std::int64_t nProduct = nOffset * nPixels;
        return static_cast<int>(bUp ? (nProduct + nLength - 1) / nLength : nProduct / nLength);
    };
    const std::int64_t nLeft = rcImage.left();
    const std::int64_t nTop = rcImage.top();
    const int x0 = toPixel(rcShown.left() - nLeft, nImageWidth, rcImage.width(), false);
    const int x1 =
        toPixel(std::int64_t(rcShown.right()) + 1 - nLeft, nImageWidth, rcImage.width(), true);
    const int y0 = toPixel(rcShown.top() - nTop, nImageHeight, rcImage.height(), false);
    const int y1 =
        toPixel(std::int64_t(rcShown.bottom()) + 1 - nTop, nImageHeight, rcImage.height(), true);
    return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1)) & QRect(0, 0, nImageWidth, nImageHeight);
}

CPrintLayout::CPrintLayout(const PrintLayoutSettings& settings, int nImageWidth, int nImageHeight)
    : m_settings(settings), m_nImageWidth(nImageWidth), m_nImageHeight(nImageHeight) {
    const std::int64_t nPageWidth = std::max<std::int32_t>(settings.nPageWidth, 0);
    const std::int64_t nPageHeight = std::max<std::int32_t>(settings.nPageHeight, 0);
    const std::int64_t pw =
        nPageWidth - Margin(settings.nMarginLeft) - Margin(settings.nMarginRight);
    const std::int64_t ph =
        nPageHeight - Margin(settings.nMarginTop) - Margin(settings.nMarginBottom);
    m_nPrintableWidth = static_cast<int>(pw > 0 ? pw : nPageWidth);
    m_nPrintableHeight = static_cast<int>(ph > 0 ? ph : nPageHeight);

    m_bTiled = settings.dwPrintMode == 3 || settings.dwPrintMode == 4;
    if (nPageWidth == 0 || nPageHeight == 0)
        return;
    if (m_bTiled) {
        const std::int64_t nColumns = CeilCount(settings.nPrintWidth, m_nPrintableWidth);
        const std::int64_t nRows = CeilCount(settings.nPrintHeight, m_nPrintableHeight);
        m_nNeededPages = nColumns * nRows;
        if (m_nNeededPages == 0 || m_nNeededPages > kMaxPages)
            return;
        m_nColumns = static_cast<int>(nColumns);
        m_nRows = static_cast<int>(nRows);
    } else {
        m_nColumns = m_nRows = 1;
        m_nNeededPages = 1;
    }
    // The grid stands without an image (the layout dialog shows it); pages need one.
    if (m_nImageWidth > 0 && m_nImageHeight > 0)
        m_nPageCount = static_cast<int>(m_nNeededPages);
}

QRect CPrintLayout::PrintableRect() const {
    const std::int64_t nPageWidth = std::max<std::int32_t>(m_settings.nPageWidth, 0);
    const std::int64_t nPageHeight = std::max<std::int32_t>(m_settings.nPageHeight, 0);
    const int nLeft =
        m_nPrintableWidth < nPageWidth ? static_cast<int>(Margin(m_settings.nMarginLeft)) : 0;
    const int nTop =
        m_nPrintableHeight < nPageHeight ? static_cast<int>(Margin(m_settings.nMarginTop)) : 0;
    return QRect(nLeft, nTop, m_nPrintableWidth, m_nPrintableHeight);
}

PrintPagePlacement CPrintLayout::Page(int nPage) const {
    if (nPage < 1 || nPage > m_nPageCount)
        return {};
    if (!m_bTiled)
        return FitPage();
    if (m_nPageCount == 1)
        return SizedSinglePage();
    return Tile((nPage - 1) % m_nColumns, (nPage - 1) / m_nColumns);
}

int CPrintLayout::PlaceX(int nWidth) const {
    const QRect rc = PrintableRect();
    return (m_settings.dwCenterFlags & kCenterHorizontally) != 0
               ? rc.left() + (rc.width() - nWidth) / 2
               : rc.left();
}

int CPrintLayout::PlaceY(int nHeight) const {
    const QRect rc = PrintableRect();
    return (m_settings.dwCenterFlags & kCenterVertically) != 0
               ? rc.top() + (rc.height() - nHeight) / 2
               : rc.top();
}

PrintPagePlacement CPrintLayout::FitPage() const {
    const double s = std::min(double(m_nPrintableWidth) / m_nImageWidth,
                              double(m_nPrintableHeight) / m_nImageHeight);
    // At least one tenth of a millimetre: a sliver of an image still prints as a line.
    const int w = std::max(1, static_cast<int>(std::lround(s * m_nImageWidth)));
    const int h = std::max(1, static_cast<int>(std::lround(s * m_nImageHeight)));
    const QRect rc(PlaceX(w), PlaceY(h), w, h);
    return {rc, rc};
}

PrintPagePlacement CPrintLayout::SizedSinglePage() const {
    const int w = m_settings.nPrintWidth;
    const int h = m_settings.nPrintHeight;
    const QRect rc(PlaceX(w), PlaceY(h), w, h);
    return {rc, rc};
}

PrintPagePlacement CPrintLayout::Tile(int nColumn, int nRow) const {
    // The page is a window of the printable size onto the image laid out at the print size;
    // the last column and row show what is left, narrower in proportion.
    const QRect rcPrintable = PrintableRect();
    const QRect rcImage(rcPrintable.left() - nColumn * m_nPrintableWidth,
                        rcPrintable.top() - nRow * m_nPrintableHeight, m_settings.nPrintWidth,
                        m_settings.nPrintHeight);
    return {rcImage, rcPrintable & rcImage};
}
