// SPDX-License-Identifier: MIT
// JPEG writer: rows go to the library as B, G, R, X pixels straight from the bitmap.
#include "codecs/JPEGEncoder.h"

#include "codecs/JpegLibraryError.h"
#include "codecs/LibraryError.h"
#include "image/ImageBitmap.h"
#include "image/MemoryBitmap.h"
#include "image/Trace.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

using codec::JpegError;

struct JpegSetup {
    int width;
    int height;
    J_COLOR_SPACE inputSpace;
    int components;
    JpegOptions options;
};

void ApplySetup(jpeg_compress_struct& cinfo, const JpegSetup& s) {
    cinfo.image_width = JDIMENSION(s.width);
    cinfo.image_height = JDIMENSION(s.height);
    cinfo.input_components = s.components;
    cinfo.in_color_space = s.inputSpace;
    jpeg_set_defaults(&cinfo);
    cinfo.dct_method = JDCT_FLOAT;
    if (s.options.nQuality != 0)
        jpeg_set_quality(&cinfo, std::clamp(s.options.nQuality, 1, 100), TRUE);
    cinfo.optimize_coding = s.options.bOptimize ? TRUE : FALSE;
    cinfo.smoothing_factor = std::clamp(s.options.nSmoothing, 0, 100);
    if (s.options.nDensityX != 0 || s.options.nDensityY != 0) {
        cinfo.density_unit = 1; // dots per inch
        cinfo.X_density = UINT16(std::clamp(s.options.nDensityX, 1, 65535));
        cinfo.Y_density = UINT16(std::clamp(s.options.nDensityY, 1, 65535));
    }
}

enum class Step { Create, Start, WriteRow, Finish };

// The only place a library error lands: trivially destructible locals, nothing throws.
bool RunStep(jpeg_compress_struct& cinfo, JpegError& err, Step step, const JpegSetup* setup,
             const std::uint8_t* row, unsigned char** buffer, unsigned long* size) noexcept {
    if (setjmp(err.jump)) {
        jpeg_abort_compress(&cinfo);
        return false;
    }
    switch (step) {
    case Step::Create:
        jpeg_create_compress(&cinfo);
        jpeg_mem_dest(&cinfo, buffer, size);
        break;
    case Step::Start:
        ApplySetup(cinfo, *setup);
        jpeg_start_compress(&cinfo, TRUE);
        break;
    case Step::WriteRow: {
        JSAMPROW rows[1] = {const_cast<JSAMPROW>(row)};
        jpeg_write_scanlines(&cinfo, rows, 1);
        break;
    }
    case Step::Finish:
        jpeg_finish_compress(&cinfo);
        break;
    }
    return true;
}

struct Compressor {
    jpeg_compress_struct cinfo{};
    JpegError err{};
    unsigned char* buffer = nullptr; // grown by the library with malloc
    unsigned long size = 0;

    Compressor() { cinfo.err = codec::InstallJpegError(err); }
    ~Compressor() {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    void Run(Step step, const JpegSetup* setup = nullptr, const std::uint8_t* row = nullptr) {
        if (!RunStep(cinfo, err, step, setup, row, &buffer, &size))
            codec::ThrowLibraryError(err.text);
    }
};

} // namespace

void CJPEGEncoder::Encode(const CImageBitmap& bitmap, std::vector<std::uint8_t>& out) {
    // Rows go in as 3- or 4-byte pixels; other depths are expanded first.
    CMemoryBitmap expanded;
    const bool direct = bitmap.Depth() == 32 || bitmap.Depth() == 24;
    if (!direct)
        expanded.CreateCopy(bitmap, 32);
    const CImageBitmap& source = direct ? bitmap : expanded;

    const bool packed = source.Depth() == 24;
    const JpegSetup setup{source.Width(), source.Height(), packed ? JCS_EXT_BGR : JCS_EXT_BGRX,
                          packed ? 3 : 4, m_options};
    Compressor c;
    c.Run(Step::Create);
    c.Run(Step::Start, &setup);
    for (int y = 0; y < source.Height(); ++y)
        c.Run(Step::WriteRow, nullptr, source.Line(y));
    c.Run(Step::Finish);
    out.assign(c.buffer, c.buffer + c.size);
}
