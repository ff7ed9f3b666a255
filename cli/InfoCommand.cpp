// SPDX-License-Identifier: MIT
// `quorvi info FILE...`: format, size, depth and alpha flag of each file as the loader reads it.
#include "CliCommand.h"

#include "codecs/PictureDecoder.h"
#include "image/MemoryBitmap.h"
#include "image/TextException.h"

#include <iostream>

namespace {

int RunInfo(std::span<const std::string> args) {
    if (args.empty())
        throw cli::UsageError{"no file given"};
    CPictureDecoder decoder;
    int status = cli::kExitOk;
    for (const std::string& path : args) {
        try {
            CMemoryBitmap bitmap;
            const PictureFormat format = decoder.LoadFromFile(path, bitmap, 0, nullptr);
            std::cout << path << ": format=" << codec::FormatName(format)
                      << " width=" << bitmap.Width() << " height=" << bitmap.Height()
                      << " depth=" << bitmap.Depth() << " alpha=" << (bitmap.HasAlpha() ? 1 : 0)
                      << "\n";
        } catch (const CTextException& e) {
            // One bad file must not hide the others.
            std::cout.flush();
            std::cerr << path << ": error " << e.Code() << ": " << e.Text() << "\n";
            status = cli::kExitFailure;
        }
    }
    return status;
}

} // namespace

QUORVI_CLI_COMMAND(
    "info", "FILE...",
    "Print format, width, height, depth (bits per pixel) and alpha flag of each image file",
    RunInfo);
