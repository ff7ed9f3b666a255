// SPDX-License-Identifier: MIT
// CMenuStyle: how the program's menu items look, on top of whatever style the application uses:
// the command's image in a 16 x 15 box at the left, check marks, embossed images and text for
// disabled items, accelerators right-aligned and separators half a line high.
#pragma once

#include <QColor>
#include <QProxyStyle>

class QPalette;

class CMenuStyle final : public QProxyStyle {
    Q_OBJECT

public:
    // Size of the item images, in logical pixels.
    static constexpr int m_cxImage = 16;
    static constexpr int m_cyImage = 15;

    // Follows the application's style of the moment it is made.
    CMenuStyle();

    void drawControl(ControlElement element, const QStyleOption* pOption, QPainter* pPainter,
                     const QWidget* pWidget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* pOption, QPainter* pPainter,
                       const QWidget* pWidget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* pOption = nullptr,
                    const QWidget* pWidget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* pOption, const QSize& size,
                           const QWidget* pWidget = nullptr) const override;

    // The menu's colours, from its palette. The two emboss colours draw disabled images and
    // text: the light one one pixel down and right, the dark one in place. On a dark menu they
    // turn round, so the engraving still reads as cut into the surface.
    static QColor MenuColor(const QPalette& palette);
    static QColor EmbossLight(const QPalette& palette);
    static QColor EmbossDark(const QPalette& palette);
    // Height of one ordinary menu line in a font of that height (pixels).
    static int MenuLineHeight(int nFontHeight);
    // Image box of an item in rcItem: (m_cxImage + 4) x (m_cyImage + 4), vertically centred.
    static QRect ImageBox(const QRect& rcItem);
    // The mask of an image's drawn pixels (opaque and not white) in one colour.
    static QImage EmbossMask(const QImage& image, const QColor& color);
};
