// SPDX-License-Identifier: MIT
// Clipboard images.
#include "app/ClipboardImage.h"

#include "image/DisplayBitmap.h"
#include "views/BitmapPainter.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPainter>

#include <cstring>

bool ClipboardHasImage() {
    const QMimeData* pData = QApplication::clipboard()->mimeData();
    return pData != nullptr && pData->hasImage();
}

QImage ImageFromBitmap(const CImageBitmap& bitmap) {
    if (bitmap.Width() <= 0 || bitmap.Height() <= 0)
        return {};
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    QPainter painter(&image);
    CBitmapPainter::Draw(painter, bitmap, image.rect());
    return image;
}

std::unique_ptr<CImageBitmap> BitmapFromImage(const QImage& image) {
    if (image.isNull())
        return nullptr;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    auto pBitmap = std::make_unique<CDisplayBitmap>();
    pBitmap->Create(rgb.width(), rgb.height(), 32);
    const auto cbRow = std::size_t(rgb.width()) * 4;
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(pBitmap->Line(y), rgb.constScanLine(y), cbRow);
    return pBitmap;
}

std::unique_ptr<CImageBitmap> ImageFromClipboard() {
    const QMimeData* pData = QApplication::clipboard()->mimeData();
    if (pData == nullptr || !pData->hasImage())
        return nullptr;
    return BitmapFromImage(qvariant_cast<QImage>(pData->imageData()));
}

bool CopyImageToClipboard(const CImageBitmap& bitmap) {
    const QImage image = ImageFromBitmap(bitmap);
    if (image.isNull())
        return false;
    QApplication::clipboard()->setImage(image);
    return true;
}
