// SPDX-License-Identifier: MIT
// The image operation options of `quorvi convert`. Values are in the units of the operation
// dialogs, so a value typed in a dialog and on the command line gives the same image.
#include "ImageOperations.h"

#include "CliCommand.h"

#include "image/BrightnessFilter.h"
#include "image/ContrastFilter.h"
#include "image/CropFilter.h"
#include "image/FlipHorizontalFilter.h"
#include "image/FlipVerticalFilter.h"
#include "image/GrayscaleFilter.h"
#include "image/ImageBitmap.h"
#include "image/IntensityFilter.h"
#include "image/InvertFilter.h"
#include "image/ResampleFilter.h"
#include "image/RotateFilter.h"
#include "image/SimpleResizeFilter.h"
#include "platform/AppSettings.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <optional>
#include <string_view>

namespace cli {
namespace {

// The rotate dialog starts from the "ColorTransparency" setting (COLORREF 0x00BBGGRR); so does
// --rotate without a colour. Settings that cannot be read keep their defaults.
std::uint32_t RotateBackgroundSetting() {
    platform::CAppSettings settings;
    settings.Load();
    return settings.m_crTransparency;
}

using FilterMaker =
    std::function<std::unique_ptr<CImageFilter>(const CImageBitmap&, CProgressSink*)>;

// One operation: like the editor, every operation but crop first turns the image into
// 32 bpp (the editor asks; the command line takes the answer yes).
class CFilterOperation : public CImageOperation {
public:
    CFilterOperation(FilterMaker make, bool needsTrueColor)
        : m_make(std::move(make)), m_bTrueColor(needsTrueColor) {}

    std::string Name() const override { return m_strName; }
    void SetName(std::string name) { m_strName = std::move(name); }

    void Apply(CImageBitmap& bitmap, CProgressSink* pProgress) override {
        if (m_bTrueColor && bitmap.Depth() != 32)
            bitmap.CreateCopy(bitmap, 32);
        m_make(bitmap, pProgress)->ApplyInPlace(bitmap);
    }

private:
    FilterMaker m_make;
    bool m_bTrueColor;
    std::string m_strName;
};

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

// The option's name and the value it was given, for messages.
struct OptionValue {
    std::string_view option;
    std::string_view value;

    [[noreturn]] void Fail(std::string_view why) const {
        throw UsageError{std::string(option) + " " + std::string(value) + ": " + std::string(why)};
    }

    int Int(std::string_view text, std::string_view what, int low, int high) const {
        int v = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size())
            Fail(std::string(what) + " must be a whole number");
        if (v < low || v > high)
            Fail(std::string(what) + " must be between " + std::to_string(low) + " and " +
                 std::to_string(high));
        return v;
    }

    double Double(std::string_view text, std::string_view what) const {
        double v = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
            !std::isfinite(v))
            Fail(std::string(what) + " must be a number");
        return v;
    }

    // #RRGGBB or RRGGBB, returned as a COLORREF.
    std::uint32_t Colour(std::string_view text) const {
        if (!text.empty() && text.front() == '#')
            text.remove_prefix(1);
        unsigned rgb = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), rgb, 16);
        if (text.size() != 6 || ec != std::errc() || end != text.data() + text.size())
            Fail("the colour must be #RRGGBB (six hexadecimal digits)");
        return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }

    void Parts(const std::vector<std::string_view>& parts, std::size_t least, std::size_t most,
               std::string_view form) const {
        if (parts.size() < least || parts.size() > most)
            Fail("expected " + std::string(form));
    }
};

std::unique_ptr<CFilterOperation> Operation(FilterMaker make, bool needsTrueColor = true) {
    return std::make_unique<CFilterOperation>(std::move(make), needsTrueColor);
}

std::unique_ptr<CFilterOperation> RotateBy(double radians, RGBQuad background) {
    return Operation([=](const CImageBitmap&, CProgressSink* p) {
        return std::make_unique<CRotateFilter>(radians, background, p);
    });
}

std::unique_ptr<CFilterOperation> ParseRotate(const OptionValue& o) {
    const auto parts = Split(o.value, ':');
    o.Parts(parts, 1, 2, "DEG[:#RRGGBB]");
    const double degrees = o.Double(parts[0], "the angle");
    const std::uint32_t colour = parts.size() > 1 ? o.Colour(parts[1]) : RotateBackgroundSetting();
    return RotateBy(degrees * CRotateFilter::kRadiansPerDegree, img::QuadFromColorRef(colour, 255));
}

struct Method {
    std::optional<img::ResampleKernel> kernel; // none: bilinear
    double radius = 0;
};

// [:bilinear|box|gaussian|hamming[:RADIUS]] after the size; RADIUS is the dialogs' 1-1000.
Method ParseMethod(const OptionValue& o, const std::vector<std::string_view>& parts,
                   int defaultRadius) {
    Method method;
    if (parts.size() < 2 || parts[1] == "bilinear") {
        if (parts.size() > 2)
            o.Fail("the bilinear method has no radius");
        return method;
    }
    if (parts[1] == "box")
        method.kernel = img::ResampleKernel::Box;
    else if (parts[1] == "gaussian")
        method.kernel = img::ResampleKernel::Gaussian;
    else if (parts[1] == "hamming")
        method.kernel = img::ResampleKernel::Hamming;
    else
        o.Fail("the method must be bilinear, box, gaussian or hamming");
    method.radius =
        (parts.size() > 2 ? o.Int(parts[2], "the radius", 1, 1000) : defaultRadius) * 0.01;
    return method;
}

std::unique_ptr<CImageFilter> MakeResize(int width, int height, const Method& method,
                                         CProgressSink* p) {
    if (method.kernel)
        return std::make_unique<CResampleFilter>(width, height, method.radius, *method.kernel, p);
    return std::make_unique<CSimpleResizeFilter>(width, height, p);
}

std::unique_ptr<CFilterOperation> ParseResize(const OptionValue& o) {
    const auto parts = Split(o.value, ':');
    o.Parts(parts, 1, 3, "WxH[:bilinear|box|gaussian|hamming[:RADIUS]]");
    const auto size = Split(parts[0], 'x');
    if (size.size() != 2)
        o.Fail("the size must be WIDTHxHEIGHT");
    const int width = o.Int(size[0], "the width", 1, CImageBitmap::kMaxSide);
    const int height = o.Int(size[1], "the height", 1, CImageBitmap::kMaxSide);
    const Method method = ParseMethod(o, parts, 500); // the resize dialog's radius
    return Operation([=](const CImageBitmap&, CProgressSink* p) {
        return MakeResize(width, height, method, p);
    });
}

std::unique_ptr<CFilterOperation> ParseScale(const OptionValue& o) {
    const auto parts = Split(o.value, ':');
    o.Parts(parts, 1, 3, "PCT[:bilinear|box|gaussian|hamming[:RADIUS]]");
    const int percent = o.Int(parts[0], "the percentage", 1, 400);
    const Method method = ParseMethod(o, parts, 100); // the scale dialog's radius
    const std::string what = std::string(o.option) + " " + std::string(o.value);
    return Operation([=](const CImageBitmap& image, CProgressSink* p) {
        // Integer arithmetic, as the scale dialog computes the size.
        const int width = image.Width() * percent / 100;
        const int height = image.Height() * percent / 100;
        if (width < 1 || height < 1)
            throw UsageError{what + ": a " + std::to_string(image.Width()) + "x" +
                             std::to_string(image.Height()) + " image would have no pixels left"};
        return MakeResize(width, height, method, p);
    });
}

std::unique_ptr<CFilterOperation> ParseCrop(const OptionValue& o) {
    const auto parts = Split(o.value, ',');
    o.Parts(parts, 4, 4, "LEFT,TOP,RIGHT,BOTTOM");
    const int left = o.Int(parts[0], "LEFT", 0, CImageBitmap::kMaxSide);
    const int top = o.Int(parts[1], "TOP", 0, CImageBitmap::kMaxSide);
    const int right = o.Int(parts[2], "RIGHT", 0, CImageBitmap::kMaxSide);
    const int bottom = o.Int(parts[3], "BOTTOM", 0, CImageBitmap::kMaxSide);
    if (right <= left || bottom <= top)
        o.Fail("RIGHT must be above LEFT and BOTTOM above TOP (right and bottom are exclusive)");
    const std::string what = std::string(o.option) + " " + std::string(o.value);
    return Operation(
        [=](const CImageBitmap& image, CProgressSink* p) {
            if (right > image.Width() || bottom > image.Height())
                throw UsageError{what + ": the rectangle reaches outside the " +
                                 std::to_string(image.Width()) + "x" +
                                 std::to_string(image.Height()) + " image"};
            return std::make_unique<CCropFilter>(left, right, top, bottom, p);
        },
        false);
}

std::unique_ptr<CFilterOperation> ParseBrightness(const OptionValue& o) {
    const int value = o.Int(o.value, "the brightness", -100, 100);
    const int amount = static_cast<int>(value * 0.36); // as the document passes the dialog's value
    return Operation([=](const CImageBitmap&, CProgressSink* p) {
        return std::make_unique<CBrightnessFilter>(amount, p);
    });
}

std::unique_ptr<CFilterOperation> ParseContrast(const OptionValue& o) {
    const auto parts = Split(o.value, ':');
    o.Parts(parts, 1, 2, "V[:OFFSET]");
    const double factor = o.Int(parts[0], "the contrast", 1, 100) * 0.1;
    const int offset = parts.size() > 1 ? o.Int(parts[1], "the offset", 0, 255) : 125;
    return Operation([=](const CImageBitmap&, CProgressSink* p) {
        return std::make_unique<CContrastFilter>(factor, std::uint8_t(offset), p);
    });
}

std::unique_ptr<CFilterOperation> ParseIntensity(const OptionValue& o) {
    const auto parts = Split(o.value, ':');
    o.Parts(parts, 1, 3, "I[:OFFSET[:EXP]]");
    const int intensity = o.Int(parts[0], "the intensity", 0, 255);
    const int offset = parts.size() > 1 ? o.Int(parts[1], "the offset", 0, 255) : 128;
    const double exponent = (parts.size() > 2 ? o.Int(parts[2], "the exponent", 1, 100) : 10) * 0.1;
    return Operation([=](const CImageBitmap&, CProgressSink* p) {
        return std::make_unique<CIntensityFilter>(intensity, std::uint8_t(offset), exponent, p);
    });
}

template <class Filter> std::unique_ptr<CFilterOperation> Plain(const OptionValue&) {
    return Operation(
        [](const CImageBitmap&, CProgressSink* p) { return std::make_unique<Filter>(p); });
}

struct OptionSpec {
    std::string_view name;
    std::string_view value; // empty: the option takes no value
    std::string_view help;
    std::unique_ptr<CFilterOperation> (*parse)(const OptionValue&);
};

constexpr OptionSpec kOptions[] = {
    {"--rotate", "DEG[:#RRGGBB]",
     "turn counter-clockwise by DEG degrees (any angle); background: the ColorTransparency setting",
     ParseRotate},
    {"--rotate-cw", "", "turn 90 degrees clockwise",
     [](const OptionValue&) { return RotateBy(CRotateFilter::kQuarterTurnClockwise, RGBQuad{}); }},
    {"--rotate-ccw", "", "turn 90 degrees counter-clockwise",
     [](const OptionValue&) {
         return RotateBy(CRotateFilter::kQuarterTurnCounterClockwise, RGBQuad{});
     }},
    {"--flip-h", "", "mirror left to right", Plain<CFlipHorizontalFilter>},
    {"--flip-v", "", "flip top to bottom", Plain<CFlipVerticalFilter>},
    {"--crop", "L,T,R,B", "keep the rectangle; right and bottom exclusive", ParseCrop},
    {"--resize", "WxH[:METHOD[:RADIUS]]",
     "resize to W x H pixels; METHOD bilinear (default), box, gaussian or hamming; RADIUS 1-1000 "
     "in hundredths (default 500)",
     ParseResize},
    {"--scale", "PCT[:METHOD[:RADIUS]]",
     "scale both sides to PCT percent (1-400); RADIUS default 100", ParseScale},
    {"--brightness", "V", "brightness -100..100, as in the brightness dialog", ParseBrightness},
    {"--contrast", "V[:OFFSET]", "contrast 1..100 (10 keeps it) around OFFSET 0..255 (default 125)",
     ParseContrast},
    {"--intensity", "I[:OFFSET[:EXP]]",
     "intensity 0..255 (20 keeps it), OFFSET 0..255 (default 128), EXP 1..100 in tenths (default "
     "10)",
     ParseIntensity},
    {"--grayscale", "", "convert to 8-bit grey", Plain<CGrayscaleFilter>},
    {"--invert", "", "invert the colours", Plain<CInvertFilter>},
};

} // namespace

namespace {

std::unique_ptr<CFilterOperation> Named(std::unique_ptr<CFilterOperation> operation,
                                        std::string_view option, std::string_view value) {
    std::string name(option);
    if (!value.empty())
        name += " " + std::string(value);
    operation->SetName(std::move(name));
    return operation;
}

} // namespace

std::size_t ParseImageOperation(std::span<const std::string> args, std::size_t index,
                                std::vector<std::unique_ptr<CImageOperation>>& out) {
    if (index >= args.size())
        return 0;
    const std::string_view arg = args[index];
    for (const OptionSpec& spec : kOptions) {
        const bool exact = arg == spec.name;
        const bool joined = arg.size() > spec.name.size() && arg.starts_with(spec.name) &&
                            arg[spec.name.size()] == '=';
        if (!exact && !joined)
            continue;
        if (spec.value.empty()) {
            if (joined)
                throw UsageError{std::string(spec.name) + " takes no value"};
            out.push_back(Named(spec.parse(OptionValue{spec.name, {}}), spec.name, {}));
            return 1;
        }
        if (joined) {
            const std::string_view value = arg.substr(spec.name.size() + 1);
            out.push_back(Named(spec.parse(OptionValue{spec.name, value}), spec.name, value));
            return 1;
        }
        if (index + 1 >= args.size())
            throw UsageError{std::string(spec.name) + " needs a value: " + std::string(spec.value)};
        out.push_back(
            Named(spec.parse(OptionValue{spec.name, args[index + 1]}), spec.name, args[index + 1]));
        return 2;
    }
    return 0;
}

std::string ImageOperationsUsage() {
    std::string usage;
    for (const OptionSpec& spec : kOptions) {
        std::string left = "  " + std::string(spec.name);
        if (!spec.value.empty())
            left += " " + std::string(spec.value);
        if (left.size() < 32)
            left.resize(32, ' ');
        else
            left += "\n" + std::string(32, ' ');
        usage += left + std::string(spec.help) + "\n";
    }
    return usage;
}

} // namespace cli
