// SPDX-License-Identifier: MIT
// Writer choice by extension and the depth each writer is given.
#include "codecs/PictureSave.h"

#include "codecs/BMPEncoder.h"
#include "codecs/GIFEncoder.h"
#include "codecs/PNGEncoder.h"
#include "codecs/TIFFEncoder.h"
#include "image/MemoryBitmap.h"
#include "image/TextException.h"

#include <algorithm>
#include <cctype>

namespace codec {

std::string SaveExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

std::unique_ptr<CPictureEncoder> CreateEncoderForPath(const std::string& path) {
    // Every name a file of a writable format goes by when it is opened.
    const std::string ext = SaveExtension(path);
    if (ext == "jpg" || ext == "jpeg" || ext == "jpe" || ext == "jif" || ext == "jfif")
        return std::make_unique<CJPEGEncoder>();
    if (ext == "tif" || ext == "tiff")
        return std::make_unique<CTIFFEncoder>();
    if (ext == "png")
        return std::make_unique<CPNGEncoder>();
    if (ext == "bmp" || ext == "dib" || ext == "rle")
        return std::make_unique<CBMPEncoder>();
    if (ext == "gif")
        return std::make_unique<CGIFEncoder>();
    return nullptr;
}

void SavePicture(const std::string& path, const CImageBitmap& bitmap, const JpegOptions& options) {
    std::unique_ptr<CPictureEncoder> encoder = CreateEncoderForPath(path);
    if (!encoder)
        throw CTextException(8,
                             "Cannot save \"" + path +
                                 "\": the file name must end in .bmp, .jpg, .png, .tif or .gif.");
    auto* jpeg = dynamic_cast<CJPEGEncoder*>(encoder.get());
    if (jpeg)
        jpeg->SetOptions(options);
    const bool wantsTrueColor = jpeg || dynamic_cast<CPNGEncoder*>(encoder.get()) ||
                                dynamic_cast<CGIFEncoder*>(encoder.get());
    if (!wantsTrueColor || bitmap.Depth() == 32) {
        encoder->SaveToFile(path, bitmap);
        return;
    }
    CMemoryBitmap copy;
    copy.CreateCopy(bitmap, 32);
    encoder->SaveToFile(path, copy);
}

} // namespace codec
