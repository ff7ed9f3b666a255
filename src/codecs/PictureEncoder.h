// SPDX-License-Identifier: MIT
// Base of the format writers: the format's encode step fills a memory buffer or streams into
// a temporary file, and only a complete file ever replaces the one on disk.
#pragma once

#include "image/ImageObject.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

class CImageBitmap;

class CPictureEncoder : public CImageObject {
public:
    // Encodes bitmap and writes it to path, replacing any file there only once the new one is
    // complete (see base::ReplaceFileAtomically). Throws CTextException: the writer's code and
    // text, or the system's error code with "Opening %s failed: <reason>" when the folder takes
    // no new file, "Writing %s failed: <reason>" when a later step fails.
    void SaveToFile(const std::string& path, const CImageBitmap& bitmap);
    // The bytes SaveToFile would write.
    std::vector<std::uint8_t> EncodeToMemory(const CImageBitmap& bitmap);

    // Where the library writers' output callbacks store encoded bytes; false when they could not
    // be stored, which the writer reports as its library's write error. Tests override it to
    // make the output fail.
    virtual bool Append(std::vector<std::uint8_t>& out, const std::uint8_t* data,
                        std::size_t size) noexcept;

protected:
    using ByteSink = std::function<void(std::span<const std::uint8_t>)>;

    // Fills out (empty, with room reserved for the expected size) with the encoded file.
    // Throws CTextException.
    virtual void Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) = 0;
    // Hands the encoded file to put in pieces, in order. By default the file is encoded into
    // memory first; writers of uncompressed formats pass rows on as they pack them.
    virtual void Stream(const CImageBitmap& bitmap, const ByteSink& put);
};
