// SPDX-License-Identifier: MIT
// `quorvi convert IN OUT [options] [operations...]`: load any readable image, apply the
// operations in order, save in the format of OUT's extension.
#include "CliCommand.h"
#include "CommandLine.h"
#include "ImageOperations.h"
#include "ProgressBar.h"

#include "codecs/PictureDecoder.h"
#include "codecs/PictureSave.h"
#include "image/MemoryBitmap.h"

#include <charconv>
#include <memory>
#include <vector>

namespace {

struct ConvertArgs {
    std::vector<std::string> files;
    JpegOptions jpeg;
    std::vector<std::unique_ptr<cli::CImageOperation>> operations;
    bool bProgress = false; // --progress: a bar on stderr per step
};

int ParseInt(const std::string& text, const std::string& option, int lo, int hi) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < lo || value > hi)
        throw cli::UsageError{option + " needs a whole number from " + std::to_string(lo) + " to " +
                              std::to_string(hi) + ", not '" + text + "'"};
    return value;
}

const std::string& ValueOf(std::span<const std::string> args, std::size_t i) {
    if (i + 1 >= args.size())
        throw cli::UsageError{args[i] + " needs a value"};
    return args[i + 1];
}

// Returns how many arguments the JPEG option at args[i] took, 0 when it is not one.
std::size_t ParseJpegOption(std::span<const std::string> args, std::size_t i, JpegOptions& jpeg) {
    const std::string& a = args[i];
    if (a == "--optimize") {
        jpeg.bOptimize = true;
        return 1;
    }
    if (a == "--quality") {
        jpeg.nQuality = ParseInt(ValueOf(args, i), a, 0, 100);
        return 2;
    }
    if (a == "--smoothing") {
        jpeg.nSmoothing = ParseInt(ValueOf(args, i), a, 0, 100);
        return 2;
    }
    if (a == "--dpi") {
        const std::string& v = ValueOf(args, i);
        const std::size_t comma = v.find(',');
        jpeg.nDensityX = ParseInt(v.substr(0, comma), a, 0, 65535);
        jpeg.nDensityY = comma == std::string::npos ? jpeg.nDensityX
                                                    : ParseInt(v.substr(comma + 1), a, 0, 65535);
        return 2;
    }
    return 0;
}

// Returns how many arguments the option at args[i] took; throws for an unknown one.
std::size_t ParseOption(std::span<const std::string> args, std::size_t i, ConvertArgs& parsed) {
    if (args[i] == "--progress") {
        parsed.bProgress = true;
        return 1;
    }
    std::size_t used = ParseJpegOption(args, i, parsed.jpeg);
    if (!used)
        used = cli::ParseImageOperation(args, i, parsed.operations);
    if (!used)
        throw cli::UsageError{cli::UnknownOptionText(args[i])};
    return used;
}

ConvertArgs Parse(std::span<const std::string> args) {
    ConvertArgs parsed;
    cli::ForEachArgument(
        args, [&](std::size_t i) { return ParseOption(args, i, parsed); },
        [&](std::size_t i) {
            parsed.files.push_back(args[i]);
            return std::size_t{1};
        });
    if (parsed.files.size() != 2)
        throw cli::UsageError{"need one input and one output file"};
    return parsed;
}

int RunConvert(std::span<const std::string> args) {
    ConvertArgs parsed = Parse(args);
    CPictureDecoder decoder;
    CMemoryBitmap bitmap;
    cli::CProgressBar bar;
    CProgressSink* progress = parsed.bProgress ? &bar : nullptr;
    if (progress)
        bar.Begin("load " + cli::ShownName(parsed.files[0]));
    decoder.LoadFromFile(parsed.files[0], bitmap, 0, progress);
    for (auto& operation : parsed.operations) {
        if (progress)
            bar.Begin(operation->Name());
        operation->Apply(bitmap, progress);
    }
    bar.Finish();
    codec::SavePicture(parsed.files[1], bitmap, parsed.jpeg);
    return cli::kExitOk;
}

std::string Usage() {
    std::string usage = "IN OUT [--quality N] [--optimize] [--smoothing N] [--dpi X[,Y]] "
                        "[--progress] [operations...]";
    const std::string operations = cli::ImageOperationsUsage();
    if (!operations.empty())
        usage += "\nOperations (applied in the order given):\n" + operations;
    return usage;
}

} // namespace

QUORVI_CLI_COMMAND(
    "convert", Usage(),
    "Convert an image file; OUT's extension (bmp, jpg, png, tif, gif) picks the format. "
    "JPEG: quality 0-100 (0 = library default, 95 if not given), optimised coding, "
    "smoothing 0-100, density in dots per inch",
    RunConvert);
