// SPDX-License-Identifier: MIT
// Images on the system clipboard: the clipboard's image as a 32-bpp bitmap (an image other
// programs put there as PNG, BMP, JPEG or any type Qt reads, or the first file of a copied file
// list), and a bitmap put on the clipboard (other programs get it as PNG or BMP).
#pragma once

#include <QImage>

#include <memory>

class CImageBitmap;
class CPictureDecoder;

// True while the clipboard offers an image, or a file list whose first entry is a local file.
bool ClipboardHasImage();
// The clipboard's image as a new 32-bpp bitmap, or null when it holds none. A file list is read
// with decoder. Throws CTextException when that file cannot be read, or with code 10 when the
// bitmap cannot be allocated.
std::unique_ptr<CImageBitmap> ImageFromClipboard(CPictureDecoder& decoder);
// Replaces the clipboard's content by the bitmap. False when there was nothing to put there.
bool CopyImageToClipboard(const CImageBitmap& bitmap);

// The conversions, also for tests: an RGB32 copy of the bitmap, and a 32-bpp bitmap of the image.
QImage ImageFromBitmap(const CImageBitmap& bitmap);
std::unique_ptr<CImageBitmap> BitmapFromImage(const QImage& image);
