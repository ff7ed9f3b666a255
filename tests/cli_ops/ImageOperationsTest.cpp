// SPDX-License-Identifier: MIT
// The operation options: dialog units give the same image as the dialogs, bad values are
// usage errors that say what is wrong.
#include "ImageOperations.h"
#include "CliCommand.h"

#include "image/BrightnessFilter.h"
#include "image/ContrastFilter.h"
#include "image/IntensityFilter.h"
#include "image/MemoryBitmap.h"
#include "image/ResampleFilter.h"
#include "image/RotateFilter.h"
#include "image/SimpleResizeFilter.h"
#include "platform/AppSettings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

using Ops = std::vector<std::unique_ptr<cli::CImageOperation>>;

Ops Parse(std::vector<std::string> args) {
    Ops ops;
    for (std::size_t i = 0; i < args.size();) {
        const std::size_t used = cli::ParseImageOperation(args, i, ops);
        if (used == 0)
            throw std::runtime_error("not an operation: " + args[i]);
        i += used;
    }
    return ops;
}

std::string UsageMessage(std::vector<std::string> args) {
    try {
        Parse(std::move(args));
    } catch (const cli::UsageError& e) {
        return e.message;
    }
    return "(no error)";
}

void Fill(CImageBitmap& b, int w, int h, unsigned seed) {
    b.Create(w, h, 32);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Row<std::uint32_t>(y)[x] = rng() | 0xFF000000u;
}

bool Same(const CImageBitmap& a, const CImageBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Depth() != b.Depth())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.Line(y), a.Line(y) + a.PixelBytesPerLine(), b.Line(y)))
            return false;
    return true;
}

// Runs the options on a copy of image and the filter on another copy; both must agree.
void ExpectSameAs(std::vector<std::string> args, CImageFilter&& filter) {
    CMemoryBitmap image;
    Fill(image, 23, 17, 5);
    CMemoryBitmap expected;
    expected.CreateCopy(image);
    filter.ApplyInPlace(expected);
    for (auto& op : Parse(args))
        op->Apply(image, nullptr);
    EXPECT_TRUE(Same(image, expected)) << args[0];
}

// Points the settings at a fresh folder for the life of the object.
class CTempSettings {
public:
    CTempSettings() {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
            const char* old = std::getenv(name);
            m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            ::setenv(name, m_dir.Path().c_str(), 1);
        }
    }
    ~CTempSettings() {
        for (const auto& [name, value] : m_saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

private:
    testsupport::CTempDir m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST(ImageOperations, RotateBackgroundIsTheColorTransparencySetting) {
    CTempSettings temp;
    ExpectSameAs({"--rotate", "30"},
                 CRotateFilter(30 * 0.01745329255555556, RGBQuad{0xC0, 0xC0, 0xC0, 255}));
    platform::CAppSettings settings;
    settings.m_crTransparency = 0x00332211; // red 0x11, green 0x22, blue 0x33
    ASSERT_TRUE(settings.Save());
    ExpectSameAs({"--rotate", "30"},
                 CRotateFilter(30 * 0.01745329255555556, RGBQuad{0x33, 0x22, 0x11, 255}));
}

TEST(ImageOperations, DialogUnitsBecomeTheDocumentsFilterParameters) {
    CTempSettings temp;
    ExpectSameAs({"--brightness", "50"}, CBrightnessFilter(18)); // trunc(50 x 0.36)
    ExpectSameAs({"--brightness=-100"}, CBrightnessFilter(-36));
    ExpectSameAs({"--contrast", "25"}, CContrastFilter(2.5, 125));
    ExpectSameAs({"--contrast", "7:200"}, CContrastFilter(7 * 0.1, 200));
    ExpectSameAs({"--intensity", "60:100:25"}, CIntensityFilter(60, 100, 2.5));
    ExpectSameAs({"--intensity", "60"}, CIntensityFilter(60, 128, 1.0));
    ExpectSameAs({"--rotate", "30"},
                 CRotateFilter(30 * 0.01745329255555556, RGBQuad{0xC0, 0xC0, 0xC0, 255}));
    ExpectSameAs({"--rotate", "-12.5:#102030"},
                 CRotateFilter(-12.5 * 0.01745329255555556, RGBQuad{0x30, 0x20, 0x10, 255}));
    ExpectSameAs({"--rotate-cw"}, CRotateFilter(-1.57079633, RGBQuad{}));
    ExpectSameAs({"--rotate-ccw"}, CRotateFilter(1.57079633, RGBQuad{}));
    ExpectSameAs({"--resize", "40x9"}, CSimpleResizeFilter(40, 9));
    ExpectSameAs({"--resize", "40x9:gaussian"},
                 CResampleFilter(40, 9, 5.0, img::ResampleKernel::Gaussian));
    ExpectSameAs({"--resize", "8x8:hamming:150"},
                 CResampleFilter(8, 8, 1.5, img::ResampleKernel::Hamming));
    ExpectSameAs({"--scale", "50"}, CSimpleResizeFilter(11, 8)); // 23 x 50 / 100 in integers
    ExpectSameAs({"--scale", "150:box"}, CResampleFilter(34, 25, 1.0, img::ResampleKernel::Box));
}

TEST(ImageOperations, OperationsRunInTheOrderGiven) {
    CMemoryBitmap image;
    Fill(image, 10, 6, 1);
    const std::uint32_t source = image.Row<std::uint32_t>(1)[9]; // ends up top left
    for (auto& op : Parse({"--crop", "2,1,10,6", "--flip-h", "--grayscale", "--invert"}))
        op->Apply(image, nullptr);
    EXPECT_EQ(image.Width(), 8);
    EXPECT_EQ(image.Height(), 5);
    EXPECT_EQ(image.Depth(), 32);
    const int grey = int(0.212671 * ((source >> 16) & 255) + 0.71516 * ((source >> 8) & 255) +
                         0.072169 * (source & 255) + 1e-9);
    const std::uint32_t inverted = std::uint32_t(255 - grey) * 0x010101u;
    EXPECT_EQ(image.Row<std::uint32_t>(0)[0], 0xFF000000u | inverted);
}

TEST(ImageOperations, PaletteImagesBecomeTrueColourExceptForCrop) {
    CMemoryBitmap image;
    image.Create(4, 4, 8);
    for (auto& op : Parse({"--crop", "0,0,2,2"}))
        op->Apply(image, nullptr);
    EXPECT_EQ(image.Depth(), 8);
    for (auto& op : Parse({"--brightness", "10"}))
        op->Apply(image, nullptr);
    EXPECT_EQ(image.Depth(), 32);
}

TEST(ImageOperations, NotAnOperationConsumesNothing) {
    Ops ops;
    const std::vector<std::string> args{"--quality", "90"};
    EXPECT_EQ(cli::ParseImageOperation(args, 0, ops), 0u);
    EXPECT_EQ(cli::ParseImageOperation(args, 2, ops), 0u);
    EXPECT_TRUE(ops.empty());
}

TEST(ImageOperations, BadValuesAreUsageErrorsNamingTheProblem) {
    EXPECT_EQ(UsageMessage({"--brightness", "101"}),
              "--brightness 101: the brightness must be between -100 and 100");
    EXPECT_EQ(UsageMessage({"--brightness", "1.5"}),
              "--brightness 1.5: the brightness must be a whole number");
    EXPECT_EQ(UsageMessage({"--brightness"}), "--brightness needs a value: V");
    EXPECT_EQ(UsageMessage({"--invert=1"}), "--invert takes no value");
    EXPECT_EQ(UsageMessage({"--contrast", "0"}),
              "--contrast 0: the contrast must be between 1 and 100");
    EXPECT_EQ(UsageMessage({"--contrast", "5:256"}),
              "--contrast 5:256: the offset must be between 0 and 255");
    EXPECT_EQ(UsageMessage({"--intensity", "1:2:3:4"}),
              "--intensity 1:2:3:4: expected I[:OFFSET[:EXP]]");
    EXPECT_EQ(UsageMessage({"--intensity", "20:128:0"}),
              "--intensity 20:128:0: the exponent must be between 1 and 100");
    EXPECT_EQ(UsageMessage({"--rotate", "abc"}), "--rotate abc: the angle must be a number");
    EXPECT_EQ(UsageMessage({"--rotate", "10:red"}),
              "--rotate 10:red: the colour must be #RRGGBB (six hexadecimal digits)");
    EXPECT_EQ(UsageMessage({"--resize", "10"}), "--resize 10: the size must be WIDTHxHEIGHT");
    EXPECT_EQ(UsageMessage({"--resize", "0x5"}),
              "--resize 0x5: the width must be between 1 and 32768");
    EXPECT_EQ(UsageMessage({"--resize", "5x5:cubic"}),
              "--resize 5x5:cubic: the method must be bilinear, box, gaussian or hamming");
    EXPECT_EQ(UsageMessage({"--resize", "5x5:bilinear:100"}),
              "--resize 5x5:bilinear:100: the bilinear method has no radius");
    EXPECT_EQ(UsageMessage({"--resize", "5x5:box:1001"}),
              "--resize 5x5:box:1001: the radius must be between 1 and 1000");
    EXPECT_EQ(UsageMessage({"--scale", "401"}),
              "--scale 401: the percentage must be between 1 and 400");
    EXPECT_EQ(UsageMessage({"--crop", "1,2,3"}), "--crop 1,2,3: expected LEFT,TOP,RIGHT,BOTTOM");
    EXPECT_EQ(UsageMessage({"--crop", "5,0,5,4"}),
              "--crop 5,0,5,4: RIGHT must be above LEFT and BOTTOM above TOP (right and bottom are "
              "exclusive)");
}

TEST(ImageOperations, RectanglesAndScalesAreCheckedAgainstTheImage) {
    CMemoryBitmap image;
    Fill(image, 10, 6, 1);
    auto crop = Parse({"--crop", "0,0,11,6"});
    try {
        crop[0]->Apply(image, nullptr);
        ADD_FAILURE() << "no usage error";
    } catch (const cli::UsageError& e) {
        EXPECT_EQ(e.message, "--crop 0,0,11,6: the rectangle reaches outside the 10x6 image");
    }
    auto scale = Parse({"--scale", "5"});
    try {
        scale[0]->Apply(image, nullptr);
        ADD_FAILURE() << "no usage error";
    } catch (const cli::UsageError& e) {
        EXPECT_EQ(e.message, "--scale 5: a 10x6 image would have no pixels left");
    }
    EXPECT_EQ(image.Width(), 10) << "the image is untouched";
}

TEST(ImageOperations, UsageListsEveryOption) {
    const std::string usage = cli::ImageOperationsUsage();
    for (const char* option :
         {"--rotate DEG", "--rotate-cw", "--rotate-ccw", "--flip-h", "--flip-v", "--crop L,T,R,B",
          "--resize WxH", "--scale PCT", "--brightness V", "--contrast V", "--intensity I",
          "--grayscale", "--invert"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
