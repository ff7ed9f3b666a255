// SPDX-License-Identifier: MIT
// `quorvi info FILE...`: format, size, depth and alpha flag of each file as the loader reads it.
#include "CliCommand.h"
#include "CommandLine.h"

#include "codecs/PictureDecoder.h"
#include "image/MemoryBitmap.h"
#include "image/TextException.h"

#include <iostream>
#include <vector>

namespace {

std::vector<std::string> FilesOf(std::span<const std::string> args) {
    std::vector<std::string> files;
    cli::ForEachArgument(
        args,
        [&](std::size_t i) -> std::size_t {
            throw cli::UsageError{cli::UnknownOptionText(args[i])};
        },
        [&](std::size_t i) {
            files.push_back(args[i]);
            return std::size_t{1};
        });
    if (files.empty())
        throw cli::UsageError{"no file given"};
    return files;
}

int RunInfo(std::span<const std::string> args) {
    const std::vector<std::string> files = FilesOf(args);
    CPictureDecoder decoder;
    int status = cli::kExitOk;
    for (const std::string& path : files) {
        try {
            CMemoryBitmap bitmap;
            const PictureFormat format = decoder.LoadFromFile(path, bitmap, 0, nullptr);
            std::cout << cli::ShownName(path) << ": format=" << codec::FormatName(format)
                      << " width=" << bitmap.Width() << " height=" << bitmap.Height()
                      << " depth=" << bitmap.Depth() << " alpha=" << (bitmap.HasAlpha() ? 1 : 0)
                      << "\n";
        } catch (const CTextException& e) {
            // One bad file must not hide the others.
            std::cout.flush();
            std::cerr << cli::ShownName(path) << ": error " << e.Code() << ": "
                      << cli::WithShownName(e.Text(), path) << "\n";
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
