// SPDX-License-Identifier: MIT
// The menu items' look.
#include "framework/ui/MenuStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QStyleOptionMenuItem>

#include <cmath>

namespace {

constexpr int kTextIndent = CMenuStyle::m_cxImage + 9; // label start from the item's left
constexpr int kHighlightIndent = CMenuStyle::m_cxImage + 5;
constexpr int kAccelGap = 24; // least room between label and accelerator

QColor Mix(const QColor& from, const QColor& to, double dPart) {
    auto channel = [dPart](int a, int b) { return a + static_cast<int>((b - a) * dPart + 0.5); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

bool IsDark(const QColor& color) {
    return color.lightness() < 128;
}

// The fill behind a checked item's image: lighter than the menu, as a pressed button's face.
QColor CheckedFill(const QPalette& palette) {
    const QColor face = CMenuStyle::MenuColor(palette);
    return IsDark(face) ? face.lighter(150) : Mix(face, Qt::white, 0.5);
}

// A raised or sunken one-pixel frame just inside rc: light above and left when raised.
void DrawEdge(QPainter* pPainter, const QRect& rc, const QPalette& palette, bool bSunken) {
    const QColor light = IsDark(CMenuStyle::MenuColor(palette))
                             ? CMenuStyle::MenuColor(palette).lighter(170)
                             : QColor(Qt::white);
    const QColor dark = CMenuStyle::EmbossDark(palette);
    const QColor topLeft = bSunken ? dark : light;
    const QColor bottomRight = bSunken ? light : dark;
    const QRectF r = QRectF(rc).adjusted(0.5, 0.5, -0.5, -0.5);
    pPainter->save();
    pPainter->setRenderHint(QPainter::Antialiasing, false);
    pPainter->setPen(QPen(topLeft, 1));
    pPainter->drawLine(r.topLeft(), r.topRight());
    pPainter->drawLine(r.topLeft(), r.bottomLeft());
    pPainter->setPen(QPen(bottomRight, 1));
    pPainter->drawLine(r.bottomLeft(), r.bottomRight());
    pPainter->drawLine(r.topRight(), r.bottomRight());
    pPainter->restore();
}

void DrawSeparator(QPainter* pPainter, const QStyleOptionMenuItem& item) {
    // An etched line through the middle: shadow, then highlight under it.
    const QRect& rc = item.rect;
    const int y = rc.top() + rc.height() / 2 - 1;
    pPainter->fillRect(
        QRect(rc.left() + 1, y, rc.width() - 2, 1),
        Mix(CMenuStyle::MenuColor(item.palette), CMenuStyle::EmbossDark(item.palette), 0.7));
    pPainter->fillRect(QRect(rc.left() + 1, y + 1, rc.width() - 2, 1),
                       CMenuStyle::EmbossLight(item.palette));
}

void DrawCheckMark(QPainter* pPainter, const QRect& rcBox, const QColor& color) {
    // Drawn as a path so it is as sharp at 2x as at 1x.
    const QPointF origin = QPointF(rcBox.topLeft()) + QPointF(2, 2);
    QPainterPath tick;
    tick.moveTo(origin + QPointF(4, 7.5));
    tick.lineTo(origin + QPointF(7, 10.5));
    tick.lineTo(origin + QPointF(12, 4));
    pPainter->save();
    pPainter->setRenderHint(QPainter::Antialiasing, true);
    pPainter->setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    pPainter->drawPath(tick);
    pPainter->restore();
}

// The engraved image: the light pass one pixel down and right, the dark pass in place. Made
// once per image, scale and pair of colours: menus repaint on every move of the pointer.
QPixmap EmbossedPixmap(const QIcon& icon, qreal dRatio, const QPalette& palette) {
    const QColor light = CMenuStyle::EmbossLight(palette);
    const QColor dark = CMenuStyle::EmbossDark(palette);
    const QString strKey = QStringLiteral("quorvi-emboss-%1-%2-%3-%4")
                               .arg(icon.cacheKey())
                               .arg(dRatio)
                               .arg(light.rgba())
                               .arg(dark.rgba());
    QPixmap embossed;
    if (QPixmapCache::find(strKey, &embossed))
        return embossed;
    const int cxImage = CMenuStyle::m_cxImage;
    const QImage image = icon.pixmap(QSize(cxImage, cxImage), dRatio, QIcon::Normal).toImage();
    QImage lightMask = CMenuStyle::EmbossMask(image, light);
    QImage darkMask = CMenuStyle::EmbossMask(image, dark);
    lightMask.setDevicePixelRatio(image.devicePixelRatio());
    darkMask.setDevicePixelRatio(image.devicePixelRatio());
    const int nDevice = static_cast<int>(std::ceil((cxImage + 1) * image.devicePixelRatio()));
    QImage result(nDevice, nDevice, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    result.setDevicePixelRatio(image.devicePixelRatio());
    {
        QPainter painter(&result);
        painter.drawImage(QPoint(1, 1), lightMask);
        painter.drawImage(QPoint(0, 0), darkMask);
    }
    embossed = QPixmap::fromImage(result);
    QPixmapCache::insert(strKey, embossed);
    return embossed;
}

void DrawImageBox(QPainter* pPainter, const QStyleOptionMenuItem& item) {
    const QRect rcBox = CMenuStyle::ImageBox(item.rect);
    const bool bEnabled = (item.state & QStyle::State_Enabled) != 0;
    const bool bSelected = (item.state & QStyle::State_Selected) != 0;
    const bool bChecked = item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked;
    if (item.icon.isNull()) {
        if (bChecked) {
            DrawEdge(pPainter, rcBox, item.palette, true);
            DrawCheckMark(pPainter, rcBox, item.palette.color(QPalette::WindowText));
        }
        return;
    }
    if (bChecked) {
        pPainter->fillRect(rcBox.adjusted(1, 1, -1, -1), CheckedFill(item.palette));
        DrawEdge(pPainter, rcBox, item.palette, true);
    } else if (bSelected && bEnabled) {
        DrawEdge(pPainter, rcBox, item.palette, false);
    }
    const qreal dRatio = pPainter->device()->devicePixelRatioF();
    const QPoint ptImage = rcBox.topLeft() + QPoint(2, 2);
    if (bEnabled)
        pPainter->drawPixmap(ptImage,
                             item.icon.pixmap(QSize(CMenuStyle::m_cxImage, CMenuStyle::m_cxImage),
                                              dRatio, QIcon::Normal));
    else
        pPainter->drawPixmap(ptImage, EmbossedPixmap(item.icon, dRatio, item.palette));
}

void DrawText(QPainter* pPainter, const QStyleOptionMenuItem& item, const QStyle& style) {
    const QRect rcText = item.rect.adjusted(kTextIndent, 0, -CMenuStyle::m_cxImage, 0);
    const qsizetype nTab = item.text.indexOf(QLatin1Char('\t'));
    const QString strLabel = nTab < 0 ? item.text : item.text.left(nTab);
    const QString strAccel = nTab < 0 ? QString() : item.text.mid(nTab + 1);
    const int nMnemonic = style.styleHint(QStyle::SH_UnderlineShortcut, &item)
                              ? Qt::TextShowMnemonic
                              : Qt::TextHideMnemonic;
    const int nFlags = Qt::AlignVCenter | Qt::TextSingleLine;
    auto draw = [&](const QRect& rc, const QColor& color) {
        pPainter->setPen(color);
        pPainter->drawText(rc, nFlags | Qt::AlignLeft | nMnemonic, strLabel);
        if (!strAccel.isEmpty())
            pPainter->drawText(rc, nFlags | Qt::AlignRight, strAccel);
    };
    const bool bSelected = (item.state & QStyle::State_Selected) != 0;
    if (item.state & QStyle::State_Enabled) {
        draw(rcText,
             item.palette.color(bSelected ? QPalette::HighlightedText : QPalette::WindowText));
    } else if (bSelected) {
        draw(rcText, CMenuStyle::MenuColor(item.palette));
    } else {
        draw(rcText.translated(1, 1), CMenuStyle::EmbossLight(item.palette));
        draw(rcText, CMenuStyle::EmbossDark(item.palette));
    }
}

void DrawSubMenuArrow(QPainter* pPainter, const QStyleOptionMenuItem& item, const QStyle& style,
                      const QWidget* pWidget) {
    QStyleOption arrow = item;
    arrow.rect = QRect(item.rect.right() - CMenuStyle::m_cxImage + 2, item.rect.top(),
                       CMenuStyle::m_cxImage - 6, item.rect.height());
    const bool bSelected = (item.state & QStyle::State_Selected) != 0;
    const QColor color =
        item.palette.color(bSelected ? QPalette::HighlightedText : QPalette::WindowText);
    arrow.palette.setColor(QPalette::ButtonText, color);
    arrow.palette.setColor(QPalette::WindowText, color);
    arrow.palette.setColor(QPalette::Text, color);
    arrow.state &= ~QStyle::State_Selected;
    style.drawPrimitive(QStyle::PE_IndicatorArrowRight, &arrow, pPainter, pWidget);
}

void DrawItem(QPainter* pPainter, const QStyleOptionMenuItem& item, const QStyle& style,
              const QWidget* pWidget) {
    const QRect& rc = item.rect;
    pPainter->fillRect(rc, CMenuStyle::MenuColor(item.palette));
    const bool bChecked = item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked;
    if (item.state & QStyle::State_Selected) {
        // Items with an image or a check mark keep their box out of the highlight.
        const int nIndent = (!item.icon.isNull() || bChecked) ? kHighlightIndent : 0;
        pPainter->fillRect(rc.adjusted(nIndent, 0, 0, 0),
                           item.palette.color(QPalette::Active, QPalette::Highlight));
    }
    DrawImageBox(pPainter, item);
    pPainter->save();
    QFont font = item.font;
    if (item.menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    pPainter->setFont(font);
    DrawText(pPainter, item, style);
    pPainter->restore();
    if (item.menuItemType == QStyleOptionMenuItem::SubMenu)
        DrawSubMenuArrow(pPainter, item, style, pWidget);
}

} // namespace

CMenuStyle::CMenuStyle() : QProxyStyle(nullptr) {}

QColor CMenuStyle::MenuColor(const QPalette& palette) {
    return palette.color(QPalette::Window);
}

QColor CMenuStyle::EmbossLight(const QPalette& palette) {
    const QColor face = MenuColor(palette);
    return IsDark(face) ? face.darker(250) : QColor(Qt::white);
}

QColor CMenuStyle::EmbossDark(const QPalette& palette) {
    return Mix(MenuColor(palette), palette.color(QPalette::Active, QPalette::WindowText), 0.45);
}

int CMenuStyle::MenuLineHeight(int nFontHeight) {
    return nFontHeight + 6;
}

QRect CMenuStyle::ImageBox(const QRect& rcItem) {
    const int cyBox = m_cyImage + 4;
    return {rcItem.left(), rcItem.top() + (rcItem.height() - cyBox) / 2, m_cxImage + 4, cyBox};
}

QImage CMenuStyle::EmbossMask(const QImage& image, const QColor& color) {
    // Light pixels are the images' highlights and stay out of the engraving, as the
    // transparent background does.
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    QImage mask(source.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    const QRgb rgbInk = color.rgba();
    for (int y = 0; y < source.height(); ++y) {
        const auto* pSource = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* pMask = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const QRgb rgb = pSource[x];
            const bool bWhite = qRed(rgb) > 0xF0 && qGreen(rgb) > 0xF0 && qBlue(rgb) > 0xF0;
            if (qAlpha(rgb) >= 128 && !bWhite)
                pMask[x] = rgbInk;
        }
    }
    return mask;
}

void CMenuStyle::drawControl(ControlElement element, const QStyleOption* pOption,
                             QPainter* pPainter, const QWidget* pWidget) const {
    const auto* pItem = qstyleoption_cast<const QStyleOptionMenuItem*>(pOption);
    if (element == CE_MenuEmptyArea)
        return; // the panel has the menu colour already
    if (element != CE_MenuItem || pItem == nullptr) {
        QProxyStyle::drawControl(element, pOption, pPainter, pWidget);
        return;
    }
    if (pItem->menuItemType == QStyleOptionMenuItem::Separator) {
        pPainter->fillRect(pItem->rect, MenuColor(pItem->palette));
        DrawSeparator(pPainter, *pItem);
        return;
    }
    DrawItem(pPainter, *pItem, *this, pWidget);
}

void CMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* pOption,
                               QPainter* pPainter, const QWidget* pWidget) const {
    if (element != PE_PanelMenu) {
        QProxyStyle::drawPrimitive(element, pOption, pPainter, pWidget);
        return;
    }
    const QColor face = MenuColor(pOption->palette);
    pPainter->fillRect(pOption->rect, face);
    pPainter->setPen(Mix(face, pOption->palette.color(QPalette::WindowText), 0.35));
    pPainter->drawRect(QRectF(pOption->rect).adjusted(0.5, 0.5, -0.5, -0.5));
}

int CMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* pOption,
                            const QWidget* pWidget) const {
    const int nBase = QProxyStyle::pixelMetric(metric, pOption, pWidget);
    // A frame of one pixel round the panel, and a little room above the first item and below
    // the last, so a menu stands out from what it opens over.
    if (metric == PM_MenuPanelWidth)
        return std::max(nBase, 1);
    if (metric == PM_MenuVMargin)
        return std::max(nBase, 2);
    return nBase;
}

QSize CMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* pOption,
                                   const QSize& size, const QWidget* pWidget) const {
    const auto* pItem = qstyleoption_cast<const QStyleOptionMenuItem*>(pOption);
    if (type != CT_MenuItem || pItem == nullptr)
        return QProxyStyle::sizeFromContents(type, pOption, size, pWidget);
    const int nLine = MenuLineHeight(pItem->fontMetrics.height());
    if (pItem->menuItemType == QStyleOptionMenuItem::Separator)
        return {1, nLine / 2}; // a menu skips items of no width
    // The accelerator column is added by the menu itself (its widest accelerator).
    const bool bAccel = pItem->text.contains(QLatin1Char('\t'));
    const int cx = kTextIndent + size.width() + (bAccel ? kAccelGap : 0) + m_cxImage;
    return {cx, std::max(nLine, m_cyImage + 4)};
}
