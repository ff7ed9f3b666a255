// SPDX-License-Identifier: MIT
// A document over a 3840x2160 32-bpp display bitmap with the command history, and a same-size
// operation, for the history's measurements.
#pragma once

#include "image/CommandDescriptions.h"
#include "image/CommandHistory.h"
#include "image/DisplayBitmap.h"
#include "image/ImageDocument.h"
#include "image/ImageFilter.h"
#include "image/TavixCommand.h"

#include <cstdint>
#include <memory>
#include <random>

namespace historybench {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

// Complements blue, green and red: a same-size operation that writes every byte.
class CComplementFilter : public CImageFilter {
public:
    void Apply(const CImageBitmap& source, CImageBitmap& destination) override {
        destination.Create(source.Width(), source.Height(), 32);
        for (int y = 0; y < source.Height(); ++y) {
            const auto* src = source.Row<std::uint32_t>(y);
            auto* dst = destination.Row<std::uint32_t>(y);
            for (int x = 0; x < source.Width(); ++x)
                dst[x] = src[x] ^ 0x00FFFFFFu;
        }
    }
};

class CBenchDocument : public CImageDocument, public CCommandHistory {
public:
    CBenchDocument() {
        m_image.Create(kWidth, kHeight, 32);
        std::mt19937 rng(7);
        for (int y = 0; y < kHeight; ++y)
            for (std::size_t i = 0; i < m_image.PixelBytesPerLine(); ++i)
                m_image.Line(y)[i] = std::uint8_t(rng());
    }

    CImageBitmap& ImageForCommands() override { return m_image; }
    bool IsImageModified() const override { return m_bModified; }
    void SetImageModified(bool modified) override { m_bModified = modified; }
    unsigned SaveCount() const override { return 0; }

    // As the image document makes them: the history takes the undo copy within its budget.
    std::unique_ptr<CCommand> Operation() {
        return std::make_unique<CTavixCommand>(*this, std::make_unique<CComplementFilter>(),
                                               img::desc::kInvert,
                                               CTavixCommand::EUndoCopy::WhenRecorded);
    }

    const CDisplayBitmap& Image() const noexcept { return m_image; }

private:
    CDisplayBitmap m_image;
    bool m_bModified = false;
};

} // namespace historybench
