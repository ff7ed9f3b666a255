// SPDX-License-Identifier: MIT
// Helpers of the command history tests: a document over a real display bitmap, a deterministic
// filter that changes size, depth, palette and pixels, and a history that records its hooks.
#pragma once

#include "image/CommandHistory.h"
#include "image/DisplayBitmap.h"
#include "image/ImageDocument.h"
#include "image/ImageFilter.h"
#include "image/MemoryBitmap.h"
#include "image/TavixCommand.h"
#include "image/TextException.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace historytest {

// Everything observable of an image: size, depth, alpha flag, palette and every pixel byte.
inline std::vector<std::uint8_t> Fingerprint(const CImageBitmap& b) {
    std::vector<std::uint8_t> out;
    for (int v : {b.Width(), b.Height(), b.Depth(), int(b.HasAlpha())})
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(std::uint8_t(unsigned(v) >> shift));
    for (const RGBQuad& q : b.PaletteSpan())
        out.insert(out.end(), {q.blue, q.green, q.red, q.reserved});
    for (int y = 0; y < b.Height(); ++y)
        out.insert(out.end(), b.Line(y), b.Line(y) + b.PixelBytesPerLine());
    return out;
}

// Result depends on every source byte and on the id; the id also picks size (1..5 x 1..3),
// depth (8 or 32), palette and alpha, so a restore that forgets any of them shows.
class CStampFilter : public CImageFilter {
public:
    explicit CStampFilter(int id) : m_nId(id) { ++s_nLive; }
    ~CStampFilter() override { --s_nLive; }
    int Id() const noexcept { return m_nId; }

    void Apply(const CImageBitmap& source, CImageBitmap& destination) override {
        std::uint32_t h = 2166136261u ^ std::uint32_t(m_nId);
        for (std::uint8_t byte : Fingerprint(source))
            h = (h ^ byte) * 16777619u;
        const int depth = m_nId % 3 == 0 ? 8 : 32;
        destination.Create(1 + m_nId % 5, 1 + m_nId / 5 % 3, depth, depth == 32 && m_nId % 4 == 1);
        auto next = [&h] {
            h ^= h << 13;
            h ^= h >> 17;
            h ^= h << 5;
            return std::uint8_t(h);
        };
        for (RGBQuad& q : destination.PaletteSpan())
            q = RGBQuad{next(), next(), next(), 255};
        for (int y = 0; y < destination.Height(); ++y)
            for (std::size_t i = 0; i < destination.PixelBytesPerLine(); ++i)
                destination.Line(y)[i] = next();
    }

    static inline int s_nLive = 0;

private:
    int m_nId;
};

// Fails the way an allocation failure in the image layer does.
class CThrowingFilter : public CImageFilter {
public:
    void Apply(const CImageBitmap&, CImageBitmap&) override {
        throw CTextException(img::err::kOutOfMemory, img::err::kOutOfMemoryCreatingBitmap);
    }
};

class CTestDocument : public CImageDocument {
public:
    CTestDocument() {
        m_image.Create(4, 3, 32);
        for (int y = 0; y < 3; ++y)
            for (std::size_t i = 0; i < m_image.PixelBytesPerLine(); ++i)
                m_image.Line(y)[i] = std::uint8_t(y * 31 + int(i) * 7);
    }

    CImageBitmap& ImageForCommands() override { return m_image; }
    bool IsImageModified() const override { return m_bModified; }
    void SetImageModified(bool modified) override { m_bModified = modified; }
    unsigned SaveCount() const override { return m_nSaves; }
    void BeginBusy() override { ++m_nBusyDepth, ++m_nBusyCalls; }
    void EndBusy() override { --m_nBusyDepth; }

    void Save() {
        ++m_nSaves;
        m_bModified = false;
    }

    CDisplayBitmap m_image;
    bool m_bModified = false;
    unsigned m_nSaves = 0;
    int m_nBusyDepth = 0;
    int m_nBusyCalls = 0;
};

class CRecordingHistory : public CCommandHistory {
public:
    std::vector<std::string> m_announced;
    HistoryCounters m_seenAtChange;
    int m_nChanges = 0;
    bool m_bRunWithoutUndo = false; // the answer when a command's undo copy cannot be kept
    int m_nAskedWithoutUndo = 0;

protected:
    bool ConfirmRunWithoutUndo(const CCommand&) override {
        ++m_nAskedWithoutUndo;
        return m_bRunWithoutUndo;
    }
    void OnHistoryChanged() override {
        ++m_nChanges;
        m_seenAtChange = Counters();
    }
    void OnCommandExecuted(const CCommand& command) override {
        m_announced.push_back(LastCommandText(command));
    }
};

inline std::string StampDescription(int id) {
    return "Stamp " + std::to_string(id);
}

inline std::unique_ptr<CCommand>
MakeStamp(CTestDocument& doc, int id,
          CTavixCommand::EUndoCopy copy = CTavixCommand::EUndoCopy::AtOnce) {
    return std::make_unique<CTavixCommand>(doc, std::make_unique<CStampFilter>(id),
                                           StampDescription(id), copy);
}

// The stamp id of a recorded command, or 0 for an empty slot.
inline int StampId(const CCommand* command) {
    if (!command)
        return 0;
    const auto& tavix = dynamic_cast<const CTavixCommand&>(*command);
    return dynamic_cast<const CStampFilter&>(tavix.Filter()).Id();
}

// What the image becomes after stamps ids applied in order to image.
inline std::vector<std::uint8_t> AfterStamps(const CImageBitmap& image, std::vector<int> ids) {
    CMemoryBitmap b;
    b.CreateCopy(image);
    for (int id : ids)
        CStampFilter(id).ApplyInPlace(b);
    return Fingerprint(b);
}

} // namespace historytest
