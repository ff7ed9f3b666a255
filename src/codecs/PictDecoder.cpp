// SPDX-License-Identifier: MIT
// Reader of Mac PICT pictures.
#include "codecs/PictDecoder.h"

#include "codecs/DataSource.h"
#include "codecs/DecodeSupport.h"
#include "codecs/PictPixmap.h"
#include "codecs/PixelRows.h"
#include "image/TextException.h"
#include "image/Trace.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

using codec::pict::Pixmap;
using codec::pict::Rect;

namespace {

constexpr const char* kVersionMissing = "Error decoding pict: Version number missing.";
constexpr const char* kIllegalVersion = "Illegal version number.";
constexpr const char* kVectorOnly = "PICT contained only vector data!\n";
constexpr const char* kQuickTime = "Library not compiled for PICT/JPEG.";
constexpr const char* kIllegalFrame = "Error decoding pict: Illegal picture frame.";
constexpr const char* kTooMuchDrawing =
    "Error decoding pict: Too many bitmaps drawn over each other.";

// Real pictures draw each pixel once or a few times (bands, a mask over an image); this many
// times the frame is damage or a trap.
constexpr std::uint64_t kOverdraw = 64;

[[noreturn]] void Fail(int code, const char* text) {
    throw CTextException(code, text);
}

constexpr int kEndOfPicture = 0xFF;
constexpr int kHeaderOpcode = 0x0C00;

// Where the picture starts (after the 512-byte file header, or at once for pictures taken
// from a resource or the clipboard) and its version.
struct PictStart {
    std::size_t start = 0;
    int version = 0;
};

// picture size (2), frame (8), then the version opcode: 0x11 0x01 (version 1, possibly after
// NOP bytes) or 0x0011 0x02FF (version 2).
std::optional<int> VersionAt(const CDataSource& source, std::size_t at) {
    const auto view = source.Peek(at + 20);
    if (view.size() < at + 12)
        return std::nullopt;
    std::size_t p = at + 10;
    while (p < view.size() && view[p] == 0 && p < at + 14)
        ++p;
    if (p + 1 >= view.size() || view[p] != 0x11)
        return std::nullopt;
    if (view[p + 1] == 0x01)
        return 1;
    if (view[p + 1] == 0x02 && p + 2 < view.size() && view[p + 2] == 0xFF)
        return 2;
    Fail(2, kIllegalVersion);
}

PictStart FindStart(CDataSource& source) {
    const std::size_t base = source.Position();
    for (const std::size_t header : {std::size_t(512), std::size_t(0)})
        if (const auto version = VersionAt(source, header))
            return {base + header, *version};
    Fail(1, kVersionMissing);
}

// Pictures with one bitmap covering the frame come out as that bitmap, at its own resolution
// and depth; anything else is drawn into a white 32-bit canvas of the frame's size.
class CPictCanvas {
public:
    CPictCanvas(const Rect& frame, std::size_t limit) : m_frame(frame), m_nLimit(limit) {}

    void Add(Pixmap map) {
        // Bands of one colour table keep the picture at 8 bpp (see Output).
        if (!map.indexed || (m_palette && *m_palette != map.palette))
            m_bOneTable = false;
        else if (!m_palette)
            m_palette = map.palette;
        if (!m_pending && m_canvas.empty()) {
            m_pending = std::move(map);
            return;
        }
        EnsureCanvas();
        Draw(map);
    }

    bool Empty() const { return !m_pending && m_canvas.empty(); }

    // An extended version 2 header gives the picture's own resolution: every later coordinate
    // is in that space, so its rectangle replaces the 72-dpi frame.
    void SetFrame(const Rect& frame) {
        if (Empty())
            m_frame = frame;
    }

    void Output(CImageBitmap& bitmap, int depth) {
        if (m_pending && m_pending->destination == m_frame &&
            m_pending->source == m_pending->bounds) {
            OutputPixmap(*m_pending, bitmap, depth);
            return;
        }
        EnsureCanvas();
        if (depth != 32 && m_bOneTable && OutputIndexed(bitmap))
            return;
        const int width = m_frame.Width(), height = m_frame.Height();
        bitmap.Create(width, height, 32);
        for (int y = 0; y < height; ++y)
            std::memcpy(bitmap.Line(y), m_canvas.data() + std::size_t(y) * std::size_t(width),
                        std::size_t(width) * 4);
    }

private:
    void EnsureCanvas() {
        if (!m_canvas.empty())
            return;
        if (m_frame.Width() <= 0 || m_frame.Height() <= 0)
            Fail(7, kIllegalFrame);
        codec::CheckImageSize(m_frame.Width(), m_frame.Height(), 32, m_nLimit);
        m_canvas.assign(std::size_t(m_frame.Width()) * std::size_t(m_frame.Height()),
                        RGBQuad{255, 255, 255, 255});
        if (m_pending) {
            Draw(*m_pending);
            m_pending.reset();
        }
    }

    // The source rectangle of map, scaled to its destination (nearest pixel) and clipped to
    // the frame and to the map's bounds.
    void Draw(const Pixmap& map) {
        const Rect& s = map.source;
        const Rect& d = map.destination;
        if (s.Width() <= 0 || s.Height() <= 0 || d.Width() <= 0 || d.Height() <= 0)
            return;
        const int mapWidth = map.bounds.Width();
        std::vector<int> columns; // map column of each destination column, or -1
        const int x0 = std::max(d.left, m_frame.left), x1 = std::min(d.right, m_frame.right);
        for (int x = x0; x < x1; ++x) {
            const int sx =
                s.left + int(std::int64_t(x - d.left) * s.Width() / d.Width()) - map.bounds.left;
            columns.push_back(sx >= 0 && sx < mapWidth ? sx : -1);
        }
        const int y0 = std::max(d.top, m_frame.top), y1 = std::min(d.bottom, m_frame.bottom);
        // A bitmap of a few bytes may be stretched over the whole frame; without a bound, a file
        // of many such records would keep the reader drawing for hours.
        if (x1 > x0 && y1 > y0) {
            m_nDrawn += std::uint64_t(x1 - x0) * std::uint64_t(y1 - y0);
            const std::uint64_t area =
                std::uint64_t(m_frame.Width()) * std::uint64_t(m_frame.Height());
            if (m_nDrawn > std::max<std::uint64_t>(kOverdraw * area, std::uint64_t(1) << 24))
                Fail(7, kTooMuchDrawing);
        }
        for (int y = y0; y < y1; ++y) {
            const int sy =
                s.top + int(std::int64_t(y - d.top) * s.Height() / d.Height()) - map.bounds.top;
            if (sy < 0 || sy >= map.bounds.Height())
                continue;
            RGBQuad* out = m_canvas.data() +
                           std::size_t(y - m_frame.top) * std::size_t(m_frame.Width()) +
                           (x0 - m_frame.left);
            const std::size_t row = std::size_t(sy) * std::size_t(mapWidth);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (columns[i] < 0)
                    continue;
                out[i] = map.indexed ? map.palette[map.indexes[row + std::size_t(columns[i])]]
                                     : map.colors[row + std::size_t(columns[i])];
            }
        }
    }

    // A picture drawn from bitmaps that share one colour table has the table's depth: the
    // canvas goes back to indexes when every colour on it (the white paper too) is in the table.
    bool OutputIndexed(CImageBitmap& bitmap) const {
        const auto key = [](RGBQuad c) {
            return std::uint32_t(c.blue) | (std::uint32_t(c.green) << 8) |
                   (std::uint32_t(c.red) << 16);
        };
        std::unordered_map<std::uint32_t, std::uint8_t> indexOf;
        for (int i = 255; i >= 0; --i) // the lowest index of a colour wins
            indexOf[key((*m_palette)[std::size_t(i)])] = std::uint8_t(i);
        const int width = m_frame.Width(), height = m_frame.Height();
        std::vector<std::uint8_t> indexes(m_canvas.size());
        std::uint32_t lastKey = key(m_canvas[0]) ^ 1u;
        std::uint8_t lastIndex = 0;
        for (std::size_t i = 0; i < m_canvas.size(); ++i) {
            const std::uint32_t k = key(m_canvas[i]);
            if (k != lastKey) {
                const auto found = indexOf.find(k);
                if (found == indexOf.end())
                    return false;
                lastKey = k;
                lastIndex = found->second;
            }
            indexes[i] = lastIndex;
        }
        bitmap.Create(width, height, 8);
        std::copy(m_palette->begin(), m_palette->end(), bitmap.Palette());
        for (int y = 0; y < height; ++y)
            std::memcpy(bitmap.Line(y), indexes.data() + std::size_t(y) * std::size_t(width),
                        std::size_t(width));
        return true;
    }

    static void OutputPixmap(const Pixmap& map, CImageBitmap& bitmap, int depth) {
        const int width = map.bounds.Width(), height = map.bounds.Height();
        const int resultDepth = codec::ResultDepth(depth, map.bitsPerPixel);
        bitmap.Create(width, height, resultDepth);
        if (resultDepth == 8)
            std::copy(map.palette.begin(), map.palette.end(), bitmap.Palette());
        for (int y = 0; y < height; ++y) {
            const std::size_t row = std::size_t(y) * std::size_t(width);
            if (resultDepth == 8)
                std::memcpy(bitmap.Line(y), map.indexes.data() + row, std::size_t(width));
            else if (map.indexed)
                codec::ExpandIndexes(map.indexes.data() + row, width, map.palette.data(),
                                     bitmap.Row<RGBQuad>(y));
            else
                std::memcpy(bitmap.Line(y), map.colors.data() + row, std::size_t(width) * 4);
        }
    }

    Rect m_frame;
    std::size_t m_nLimit;
    std::optional<Pixmap> m_pending;
    std::optional<std::array<RGBQuad, 256>> m_palette; // of the first bitmap
    std::uint64_t m_nDrawn = 0; // pixels drawn so far, against the overdraw bound
    bool m_bOneTable = true;    // every bitmap indexed, through m_palette
    std::vector<RGBQuad> m_canvas;
};

// Bytes of data after an opcode that is skipped, or -1 for those read in their own way.
long FixedLength(int op) {
    if (op >= 0x0100 && op <= 0x7FFF)
        return (op >> 8) * 2;
    if (op >= 0x8000 && op <= 0x80FF)
        return 0;
    if (op >= 0xB0 && op <= 0xCF)
        return 0;
    if (op >= 0x30 && op <= 0x6F) {
        static constexpr long kShapes[] = {
            8, 0, 8, 0, 8, 0, 12, 4}; // rect, same, rrect, same, oval, same, arc, same
        return kShapes[(op - 0x30) / 8];
    }
    if (op >= 0x78 && op <= 0x7F)
        return 0;
    if (op >= 0x88 && op <= 0x8F)
        return 0;
    switch (op) {
    case 0x00:
    case 0x17:
    case 0x18:
    case 0x19:
    case 0x1C:
    case 0x1E:
        return 0;
    case 0x04:
        return 1;
    case 0x03:
    case 0x05:
    case 0x08:
    case 0x0D:
    case 0x15:
    case 0x16:
    case 0x23:
    case 0xA0:
        return 2;
    case 0x06:
    case 0x07:
    case 0x0B:
    case 0x0C:
    case 0x0E:
    case 0x0F:
    case 0x21:
        return 4;
    case 0x1A:
    case 0x1B:
    case 0x1D:
    case 0x1F:
    case 0x22:
        return 6;
    case 0x02:
    case 0x09:
    case 0x0A:
    case 0x10:
    case 0x20:
        return 8;
    default:
        return -1;
    }
}

class COpcodeWalker {
public:
    COpcodeWalker(CDataSource& source, const PictStart& start, std::size_t limit)
        : m_source(source), m_start(start), m_nLimit(limit) {}

    void Run(CImageBitmap& bitmap, int depth) {
        m_source.Seek(m_start.start + 2); // picture size: nothing depends on it
        CPictCanvas canvas(codec::pict::ReadRect(m_source), m_nLimit);
        for (;;) {
            const int op = NextOpcode();
            if (op == kEndOfPicture)
                break;
            if (op == kHeaderOpcode && m_start.version == 2) {
                ReadHeader(canvas);
                continue;
            }
            if (op >= 0x90 && op <= 0x9B && op != 0x92 && op != 0x93 && op != 0x94 && op != 0x95 &&
                op != 0x96 && op != 0x97)
                canvas.Add(codec::pict::ReadBitsRecord(m_source, op, m_nLimit));
            else
                Skip(op);
        }
        if (canvas.Empty())
            Fail(6, m_bQuickTime ? kQuickTime : kVectorOnly);
        canvas.Output(bitmap, depth);
    }

private:
    // Opcode 0x0C00: version -2 (extended) carries resolutions and the rectangle of the
    // picture at its own resolution; version -1 fixed-point bounds that change nothing here.
    void ReadHeader(CPictCanvas& canvas) {
        const std::int16_t version = std::int16_t(m_source.U16BE());
        if (version != -2) {
            m_source.Skip(22);
            return;
        }
        m_source.Skip(2 + 4 + 4); // reserved, horizontal and vertical resolution
        const Rect frame = codec::pict::ReadRect(m_source);
        m_source.Skip(4);
        if (frame.Width() > 0 && frame.Height() > 0)
            canvas.SetFrame(frame);
    }

    int NextOpcode() {
        if (m_start.version == 1)
            return m_source.U8();
        if ((m_source.Position() - m_start.start) & 1)
            m_source.Skip(1); // version 2 data is word aligned
        return m_source.U16BE();
    }

    void Skip(int op) {
        const long fixed = FixedLength(op);
        if (fixed >= 0) {
            m_source.Skip(std::size_t(fixed));
            return;
        }
        if (op == 0x11) {
            m_source.Skip(m_start.version == 1 ? 1 : 2);
        } else if (op == 0x01 || (op >= 0x70 && op <= 0x87)) {
            if (op != 0x01)
                img::Trace("Skipping polygon or region.\n");
            codec::pict::SkipSizedRecord(m_source);
        } else if (op >= 0x12 && op <= 0x14) {
            codec::pict::SkipPixPat(m_source);
        } else if (op == 0x28) {
            m_source.Skip(4);
            m_source.Skip(m_source.U8());
        } else if (op == 0x29 || op == 0x2A) {
            m_source.Skip(1);
            m_source.Skip(m_source.U8());
        } else if (op == 0x2B) {
            m_source.Skip(2);
            m_source.Skip(m_source.U8());
        } else if (op == 0xA1) {
            m_source.Skip(2);
            m_source.Skip(m_source.U16BE());
        } else if ((op >= 0xD0 && op <= 0xFE) || op >= 0x8100) {
            if (op == 0x8200)
                m_bQuickTime = true;
            m_source.Skip(m_source.U32BE());
        } else { // 0x24-0x2F, 0x92-0x97, 0x9C-0xAF: a 16-bit length, then the data
            m_source.Skip(m_source.U16BE());
        }
    }

    CDataSource& m_source;
    PictStart m_start;
    std::size_t m_nLimit;
    bool m_bQuickTime = false;
};

} // namespace

void CPictDecoder::Decode(CDataSource& source, CImageBitmap& bitmap, int depth) {
    const PictStart start = FindStart(source);
    COpcodeWalker(source, start, PixelByteLimit()).Run(bitmap, depth);
}
