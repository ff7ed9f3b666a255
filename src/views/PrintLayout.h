// SPDX-License-Identifier: MIT
// CPrintLayout: where the image of a print job lands on each page, from the "PrintLayout"
// settings and the printer's page size. Pure arithmetic, lengths in tenths of a millimetre.
#pragma once

#include <QRect>

#include <cstdint>

namespace platform {
class CAppSettings;
}

// The inputs of the layout, as the settings record keeps them (tenths of a millimetre).
struct PrintLayoutSettings {
    std::int32_t nPageWidth = 0; // "SizePage"
    std::int32_t nPageHeight = 0;
    std::int32_t nPrintWidth = 0; // "SizePrint": the whole image in modes 3 and 4
    std::int32_t nPrintHeight = 0;
    std::int32_t nMarginLeft = 120; // "Margins"
    std::int32_t nMarginTop = 120;
    std::int32_t nMarginRight = 120;
    std::int32_t nMarginBottom = 120;
    std::uint32_t dwCenterFlags = 3; // "ImageCenterFlag": 0x1 horizontally, 0x2 vertically
    std::uint32_t dwPrintMode = 1;   // "PrintMode": 1, 2 fit to the margins; 3, 4 at the print size

    static PrintLayoutSettings FromSettings(const platform::CAppSettings& settings);
    // Back into the settings record, as the layout dialog hands it over after OK.
    void ToSettings(platform::CAppSettings& settings) const;
};

// Where one page shows the image: the whole image would cover rcImage (page coordinates, y
// growing downwards), and the page shows the part of it inside rcClip.
struct PrintPagePlacement {
    QRect rcImage;
    QRect rcClip;
    // The image pixels rcClip shows, rounded outwards to whole pixels.
    QRect SourcePixels(int nImageWidth, int nImageHeight) const;
};

class CPrintLayout {
public:
    static constexpr std::uint32_t kCenterHorizontally = 0x1;
    static constexpr std::uint32_t kCenterVertically = 0x2;
    // A job of more pages than this is refused: such a layout is a typing error, not a poster.
    static constexpr std::int64_t kMaxPages = 10000;

    CPrintLayout(const PrintLayoutSettings& settings, int nImageWidth, int nImageHeight);

    // The page less the margins; a side whose margins leave nothing takes the whole page (and
    // then starts at the page's edge, not at the margin).
    int PrintableWidth() const noexcept { return m_nPrintableWidth; }
    int PrintableHeight() const noexcept { return m_nPrintableHeight; }
    QRect PrintableRect() const;

    // True for modes 3 and 4 (print size over several pages).
    bool IsTiled() const noexcept { return m_bTiled; }
    // The grid of pages, also without an image; 0 x 0 when the page or the print size is empty
    // or the job would need more than kMaxPages.
    int Columns() const noexcept { return m_nColumns; }
    int Rows() const noexcept { return m_nRows; }
    // The pages of the job; 0 when there is nothing to print (no image, an empty page or print
    // size) or when the job would need more than kMaxPages (see NeededPages).
    int PageCount() const noexcept { return m_nPageCount; }
    // Columns x rows as the layout asks for them, without the page limit.
    std::int64_t NeededPages() const noexcept { return m_nNeededPages; }

    const PrintLayoutSettings& Settings() const noexcept { return m_settings; }

    // Page nPage, counted from 1 (1 <= nPage <= PageCount()).
    PrintPagePlacement Page(int nPage) const;

private:
    PrintPagePlacement FitPage() const;
    PrintPagePlacement SizedSinglePage() const;
    PrintPagePlacement Tile(int nColumn, int nRow) const;
    // The left (top) edge of a length placed within the margins, centred when asked.
    int PlaceX(int nWidth) const;
    int PlaceY(int nHeight) const;

    PrintLayoutSettings m_settings;
    int m_nImageWidth;
    int m_nImageHeight;
    int m_nPrintableWidth = 0;
    int m_nPrintableHeight = 0;
    bool m_bTiled = false;
    int m_nColumns = 0;
    int m_nRows = 0;
    std::int64_t m_nNeededPages = 0;
    int m_nPageCount = 0;
};
