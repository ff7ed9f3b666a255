// SPDX-License-Identifier: MIT
// Writer base: size estimate, encode into memory or stream, atomic replace.
#include "codecs/PictureEncoder.h"

#include "base/AtomicFile.h"
#include "codecs/FileError.h"
#include "image/ImageBitmap.h"
#include "image/TextException.h"
#include "image/Trace.h"

#include <new>

namespace {

// Room for the whole file in one block: uncompressed formats need little more than the
// pixels, compressed ones usually far less.
std::size_t EstimateOutputSize(const CImageBitmap& bitmap) {
    const std::size_t used = bitmap.MemoryUsed();
    return used > 19999 ? used + used / 5 : used + 4096;
}

} // namespace

std::vector<std::uint8_t> CPictureEncoder::EncodeToMemory(const CImageBitmap& bitmap) {
    std::vector<std::uint8_t> out;
    try {
        out.reserve(EstimateOutputSize(bitmap));
        Encode(bitmap, out);
    } catch (const std::bad_alloc&) {
        throw CTextException(img::err::kOutOfMemory, "Out of memory while encoding.");
    }
    return out;
}

void CPictureEncoder::Stream(const CImageBitmap& bitmap, const ByteSink& put) {
    put(EncodeToMemory(bitmap));
}

bool CPictureEncoder::Append(std::vector<std::uint8_t>& out, const std::uint8_t* data,
                             std::size_t size) noexcept {
    try {
        out.insert(out.end(), data, data + size);
        return true;
    } catch (const std::bad_alloc&) {
        return false; // no exception may cross the libraries that call this
    }
}

void CPictureEncoder::SaveToFile(const std::string& path, const CImageBitmap& bitmap) {
    img::Trace("--- Encoding file %s. ---\n", path.c_str());
    const base::ReplaceResult result =
        base::ReplaceFileAtomically(path, [this, &bitmap](base::CFileWriter& out) {
            Stream(bitmap, [&out](std::span<const std::uint8_t> bytes) { out.Write(bytes); });
        });
    if (!result)
        codec::ThrowFileError(result.bNoTemporary ? "Opening" : "Writing", path, result.nError);
}
