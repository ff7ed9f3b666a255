// SPDX-License-Identifier: MIT
// The program's icons rendered from SVG.
#include "framework/ui/CommandIcons.h"

#include "framework/CommandIds.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

QString IconPath(unsigned nID) {
    const std::string_view name = ResourceIdName(nID);
    if (name.empty())
        return {};
    return QStringLiteral(":/quorvi/icons/%1.svg")
        .arg(QLatin1String(name.data(), static_cast<qsizetype>(name.size())));
}

QImage Render(QSvgRenderer& renderer, int nPixels) {
    QImage image(nPixels, nPixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, nPixels, nPixels));
    return image;
}

QPixmap WithRatio(const QImage& image, qreal dRatio) {
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(dRatio);
    return pixmap;
}

} // namespace

const CCommandIcons& CCommandIcons::Get() {
    static const CCommandIcons s_icons;
    return s_icons;
}

bool CCommandIcons::Has(unsigned nID) const {
    const QString strPath = IconPath(nID);
    return !strPath.isEmpty() && QFile::exists(strPath);
}

QIcon CCommandIcons::Icon(unsigned nID) const {
    auto it = m_cache.constFind(nID);
    if (it != m_cache.constEnd())
        return *it;
    QIcon icon = Has(nID) ? FromSvg(IconPath(nID)) : QIcon();
    m_cache.insert(nID, icon);
    return icon;
}

QIcon CCommandIcons::FromSvg(const QString& strResourcePath, int nLogicalSize) {
    QSvgRenderer renderer(strResourcePath);
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (const qreal dRatio : {1.0, 2.0}) {
        const QImage normal = Render(renderer, static_cast<int>(nLogicalSize * dRatio));
        icon.addPixmap(WithRatio(normal, dRatio), QIcon::Normal);
        icon.addPixmap(WithRatio(HotImage(normal), dRatio), QIcon::Active);
        icon.addPixmap(WithRatio(DisabledImage(normal), dRatio), QIcon::Disabled);
    }
    return icon;
}

QImage CCommandIcons::HotImage(const QImage& normal) {
    // A little brighter where the image is drawn, so the button under the pointer lights up.
    QImage hot = normal.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&hot);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(hot.rect(), QColor(255, 255, 255, 56));
    return hot;
}

QImage CCommandIcons::DisabledImage(const QImage& normal) {
    // Grey, lightened and half transparent, in the outline of the normal image.
    const QImage grey = normal.convertToFormat(QImage::Format_Grayscale8)
                            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage mask(normal.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.setOpacity(0.55);
        painter.drawImage(0, 0, normal);
    }
    QImage disabled(normal.size(), QImage::Format_ARGB32_Premultiplied);
    disabled.fill(Qt::transparent);
    QPainter painter(&disabled);
    painter.drawImage(0, 0, grey);
    painter.fillRect(disabled.rect(), QColor(255, 255, 255, 96));
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, mask);
    return disabled;
}
