// SPDX-License-Identifier: MIT
// Interface shared by every format reader. A reader decodes one prepared source into the
// caller's bitmap (re-created to the file's size) or throws CTextException; a reader that has
// thrown keeps no state worth reusing.
#pragma once

#include "image/ImageBitmap.h"
#include "image/ImageObject.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CDataSource;
class CProgressSink;

class CImageDecoder : public CImageObject {
public:
    // depth 0: 8 bpp for files of 8 bits per pixel or less, 32 bpp otherwise; 32: always 32 bpp.
    void LoadFromFile(const std::string& path, CImageBitmap& bitmap, int depth,
                      CProgressSink* pProgress);
    void LoadFromMemory(const std::uint8_t* data, std::size_t size, CImageBitmap& bitmap, int depth,
                        CProgressSink* pProgress);
    // Decodes from the source's current position.
    virtual void Decode(CDataSource& source, CImageBitmap& bitmap, int depth) = 0;

    // Upper bound on the pixel bytes of one decoded image, below the bitmap's own limit; a file
    // claiming more fails with code 10 before anything is allocated. Fuzzing harnesses lower it
    // so that lying headers fail fast.
    void SetPixelByteLimit(std::size_t bytes) noexcept { m_nPixelByteLimit = bytes; }
    std::size_t PixelByteLimit() const noexcept { return m_nPixelByteLimit; }

private:
    std::size_t m_nPixelByteLimit = CImageBitmap::kMaxPixelBytes;
};
