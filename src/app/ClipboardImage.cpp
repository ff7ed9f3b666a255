// SPDX-License-Identifier: MIT
// Clipboard images.
#include "app/ClipboardImage.h"

#include "codecs/PictureDecoder.h"
#include "image/DisplayBitmap.h"
#include "views/BitmapPainter.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

#include <cstring>

namespace {

// The first local file of the clipboard's file list, or empty.
QString FirstLocalFile(const QMimeData& data) {
    if (!data.hasUrls())
        return {};
    const QList<QUrl> urls = data.urls();
    return !urls.isEmpty() && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

} // namespace

bool ClipboardHasImage() {
    const QMimeData* pData = QApplication::clipboard()->mimeData();
    return pData != nullptr && (pData->hasImage() || !FirstLocalFile(*pData).isEmpty());
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

std::unique_ptr<CImageBitmap> ImageFromClipboard(CPictureDecoder& decoder) {
    const QMimeData* pData = QApplication::clipboard()->mimeData();
    if (pData == nullptr)
        return nullptr;
    if (pData->hasImage())
        return BitmapFromImage(qvariant_cast<QImage>(pData->imageData()));
    const QString strFile = FirstLocalFile(*pData);
    if (strFile.isEmpty())
        return nullptr;
    CDisplayBitmap loaded;
    decoder.LoadFromFile(QFile::encodeName(strFile).toStdString(), loaded, 0, nullptr);
    auto pBitmap = std::make_unique<CDisplayBitmap>();
    pBitmap->CreateCopy(loaded, 32);
    return pBitmap;
}

bool CopyImageToClipboard(const CImageBitmap& bitmap) {
    const QImage image = ImageFromBitmap(bitmap);
    if (image.isNull())
        return false;
    QApplication::clipboard()->setImage(image);
    return true;
}
