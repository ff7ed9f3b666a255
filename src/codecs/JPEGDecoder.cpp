// SPDX-License-Identifier: MIT
// JPEG reader: libjpeg-turbo from memory, with the library's errors turned into exceptions
// after control is back in C++.
#include "codecs/JPEGDecoder.h"

#include "codecs/DataSource.h"
#include "codecs/DecodeSupport.h"
#include "codecs/IndexedOutput.h"
#include "codecs/JpegLibraryError.h"
#include "codecs/LibraryError.h"
#include "image/ImageBitmap.h"
#include "image/ProgressSink.h"
#include "image/Trace.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace {

// Progressive files can hold any number of scans, each a pass over the whole image; real ones
// have about ten. Past this the file is treated as damaged rather than decoded for minutes.
constexpr int kMaxScans = 500;

using codec::JpegError;

void OnProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        auto* err = reinterpret_cast<JpegError*>(cinfo->err);
        std::snprintf(err->text, sizeof err->text,
                      "Too many scans in progressive JPEG (more than %d).", kMaxScans);
        std::longjmp(err->jump, 1);
    }
}

enum class Step { Create, ReadHeader, Start, ReadRow, Finish };

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    long maxMemory;
};

// The only place a library error lands: every local is trivially destructible and nothing in
// here throws, so the longjmp skips no destructor. Every library call that can fail (even
// creating the object, or an empty input) goes through here.
bool RunStep(jpeg_decompress_struct& cinfo, JpegError& err, jpeg_progress_mgr& progress, Step step,
             const Input* input, std::uint8_t* row) noexcept {
    if (setjmp(err.jump))
        return false;
    switch (step) {
    case Step::Create:
        jpeg_create_decompress(&cinfo);
        // A lying file may claim a huge image; the library's working memory stays near ours.
        cinfo.mem->max_memory_to_use = input->maxMemory;
        cinfo.progress = &progress;
        jpeg_mem_src(&cinfo, input->data, static_cast<unsigned long>(input->size));
        break;
    case Step::ReadHeader:
        jpeg_read_header(&cinfo, TRUE);
        break;
    case Step::Start:
        jpeg_start_decompress(&cinfo);
        break;
    case Step::ReadRow: {
        JSAMPROW rows[1] = {row};
        jpeg_read_scanlines(&cinfo, rows, 1);
        break;
    }
    case Step::Finish:
        jpeg_finish_decompress(&cinfo);
        break;
    }
    return true;
}

struct Decompressor {
    jpeg_decompress_struct cinfo{};
    JpegError err{};
    jpeg_progress_mgr progress{};

    Decompressor() {
        cinfo.err = codec::InstallJpegError(err);
        progress.progress_monitor = OnProgress;
    }
    // Safe on an object whose creation failed: the library checks its memory manager.
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    void Run(Step step, std::uint8_t* row = nullptr, const Input* input = nullptr) {
        if (!RunStep(cinfo, err, progress, step, input, row))
            codec::ThrowLibraryError(err.text);
    }
};

// Adobe writers store CMYK inverted (0 = full ink); others store ink amounts.
void CmykRowToBgra(const std::uint8_t* IMG_RESTRICT cmyk, RGBQuad* IMG_RESTRICT out, int width,
                   bool inverted) noexcept {
    const unsigned flip = inverted ? 0u : 255u;
    for (int x = 0; x < width; ++x, cmyk += 4) {
        const unsigned k = cmyk[3] ^ flip;
        auto channel = [&](unsigned v) { return std::uint8_t(((v ^ flip) * k + 127) / 255); };
        out[x] = RGBQuad{channel(cmyk[2]), channel(cmyk[1]), channel(cmyk[0]), 255};
    }
}

void Report(CProgressSink* sink, int row, int height) {
    if (sink && (row & 15) == 0)
        sink->SetProgress(double(row) / double(height));
}

} // namespace

void CJPEGDecoder::Decode(CDataSource& source, CImageBitmap& bitmap, int depth) {
    Decompressor d;
    const auto bytes = source.All().subspan(source.Position());
    const Input input{bytes.data(), bytes.size(), long(2 * PixelByteLimit() + (64 << 20))};
    d.Run(Step::Create, nullptr, &input);
    d.Run(Step::ReadHeader);

    const J_COLOR_SPACE space = d.cinfo.jpeg_color_space;
    const bool grey = space == JCS_GRAYSCALE;
    const bool cmyk = space == JCS_CMYK || space == JCS_YCCK;
    d.cinfo.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    const long long width = d.cinfo.image_width, height = d.cinfo.image_height;
    codec::CheckImageSize(width, height, grey && depth != 32 ? 8 : 32, PixelByteLimit());
    d.Run(Step::Start);
    const int w = int(d.cinfo.output_width), h = int(d.cinfo.output_height);
    CProgressSink* sink = source.ProgressSink();

    if (grey) {
        CIndexedOutput output(bitmap, depth);
        CImageBitmap& target = output.Create(w, h, false);
        for (int y = 0; y < h; ++y, Report(sink, y, h))
            d.Run(Step::ReadRow, target.Line(y));
        d.Run(Step::Finish);
        output.Finish();
        return;
    }
    bitmap.Create(w, h, 32);
    std::vector<std::uint8_t> cmykRow(cmyk ? std::size_t(w) * 4 : 0);
    for (int y = 0; y < h; ++y, Report(sink, y, h)) {
        if (!cmyk) {
            d.Run(Step::ReadRow, bitmap.Line(y));
            continue;
        }
        d.Run(Step::ReadRow, cmykRow.data());
        CmykRowToBgra(cmykRow.data(), bitmap.Row<RGBQuad>(y), w, d.cinfo.saw_Adobe_marker);
    }
    d.Run(Step::Finish);
}
