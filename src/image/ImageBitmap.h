// SPDX-License-Identifier: MIT
// Abstract bitmap: size, depth (1, 4, 8, 24 or 32 bits per pixel), palette, alpha flag and a
// top-down line array over pixel memory whose layout each subclass chooses.
#pragma once

#include "image/ImageObject.h"
#include "image/Pixel.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Packed DIB header (BITMAPINFOHEADER), little-endian on disk and on the clipboard.
struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

class CImageBitmap : public CImageObject {
public:
    // Upper bounds of one bitmap, checked before any allocation. 32768 pixels covers every
    // real multi-monitor desktop and photo; 1 GiB of pixels keeps ten undo copies of the largest
    // image within what a desktop machine can hold.
    static constexpr int kMaxSide = 32768;
    static constexpr std::size_t kMaxPixelBytes = std::size_t(1) << 30;

    CImageBitmap(const CImageBitmap&) = delete;
    CImageBitmap& operator=(const CImageBitmap&) = delete;
    ~CImageBitmap() override = default;

    // Reallocates the pixels (left uninitialised) and, for depth <= 8, installs the default
    // palette (grey ramp). Throws CTextException 10 for sizes out of range or out of memory.
    void Create(int width, int height, int depth, bool alpha = false);
    // Makes this bitmap a copy of source converted to depth (0 keeps the source's depth).
    void CreateCopy(const CImageBitmap& source, int depth = 0);
    // Reads a packed DIB (header, palette, pixels). Uncompressed 1, 4, 8, 24 and 32 bpp, and
    // 16/32 bpp with bit fields; a replacement palette may be given for depth <= 8.
    // Throws CTextException 10 on a block too short for what its header claims.
    void CreateFromPackedDib(std::span<const std::uint8_t> dib,
                             std::span<const RGBQuad> replacementPalette = {});
    // Header, palette and bottom-up padded rows in one block, as the clipboard and BMP files
    // want them.
    virtual std::vector<std::uint8_t> ToPackedDib() const;

    int Width() const noexcept { return m_nWidth; }
    int Height() const noexcept { return m_nHeight; }
    int Depth() const noexcept { return m_nDepth; }
    bool HasAlpha() const noexcept { return m_bAlpha; }
    void SetAlpha(bool alpha) noexcept { m_bAlpha = alpha; }

    // 2^depth entries for depth <= 8, otherwise none.
    int PaletteSize() const noexcept { return m_nDepth <= 8 ? 1 << m_nDepth : 0; }
    RGBQuad* Palette() noexcept { return m_pPalette; }
    const RGBQuad* Palette() const noexcept { return m_pPalette; }
    std::span<RGBQuad> PaletteSpan() noexcept { return {m_pPalette, std::size_t(PaletteSize())}; }
    std::span<const RGBQuad> PaletteSpan() const noexcept {
        return {m_pPalette, std::size_t(PaletteSize())};
    }

    // Row y counted from the top, whatever the memory order.
    std::uint8_t* Line(int y) noexcept { return m_lines[std::size_t(y)]; }
    const std::uint8_t* Line(int y) const noexcept { return m_lines[std::size_t(y)]; }
    template <class Px> Px* Row(int y) noexcept { return reinterpret_cast<Px*>(Line(y)); }
    template <class Px> const Px* Row(int y) const noexcept {
        return reinterpret_cast<const Px*>(Line(y));
    }

    // For painters: the lowest address of the pixel memory; rows follow at BytesPerLine()
    // apart, top row first unless IsBottomUp().
    std::uint8_t* Bits() noexcept { return m_pBits; }
    const std::uint8_t* Bits() const noexcept { return m_pBits; }
    virtual bool IsBottomUp() const noexcept = 0;
    virtual std::size_t BytesPerLine() const noexcept = 0;
    virtual std::size_t MemoryUsed() const noexcept = 0;
    // Bytes of pixel data in one row without padding: ceil(width * depth / 8).
    std::size_t PixelBytesPerLine() const noexcept { return PackedRowBytes(m_nWidth, m_nDepth); }

    // A new 16 x 16 bitmap of the same class, for results that later trade storage with this.
    virtual std::unique_ptr<CImageBitmap> CreateEmptyLike() const = 0;
    // Exchanges pixels, palette, size, depth and alpha with other, which must be of the same
    // class; both objects keep their identity (views hold pointers to them).
    void SwapStorage(CImageBitmap& other) noexcept;

    void Lock() noexcept { ++m_nLockCount; }
    void Unlock() noexcept { --m_nLockCount; }
    int LockCount() const noexcept { return m_nLockCount; }

    int DitherMode() const noexcept { return m_nDitherMode; }
    void SetDitherMode(int mode) noexcept { m_nDitherMode = mode; }
    int PaletteMode() const noexcept { return m_nPaletteMode; }
    void SetPaletteMode(int mode) noexcept { m_nPaletteMode = mode; }

    static std::size_t PackedRowBytes(int width, int depth) noexcept {
        return (std::size_t(width) * std::size_t(depth) + 7) / 8;
    }
    static std::size_t DibRowBytes(int width, int depth) noexcept {
        return (PackedRowBytes(width, depth) + 3) & ~std::size_t(3);
    }
    static bool IsSupportedDepth(int depth) noexcept;
    // Throws CTextException 10 unless width x height x depth fits the limits above with rows of
    // rowBytes each; past them the text gives the size and the limit (img::ThrowPictureTooLarge).
    static void CheckSize(int width, int height, int depth, std::size_t rowBytes);
    static void InstallDefaultPalette(std::span<RGBQuad> palette) noexcept;

protected:
    CImageBitmap() = default;

    // Subclasses allocate pixels and palette for the validated size and set m_pBits and
    // m_pPalette; the base then builds the line array.
    virtual void Allocate(int width, int height, int depth) = 0;
    virtual void Free() noexcept = 0;
    // Exchanges the subclass's owned blocks with other's (same class).
    virtual void SwapBlocks(CImageBitmap& other) noexcept = 0;

    std::uint8_t* m_pBits = nullptr;
    RGBQuad* m_pPalette = nullptr;

private:
    void BuildLineArray();
    void ConvertFrom(const CImageBitmap& source, int depth);

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nDepth = 0;
    bool m_bAlpha = false;
    int m_nLockCount = 0;
    int m_nDitherMode = 0;
    int m_nPaletteMode = 2;
    std::vector<std::uint8_t*> m_lines;
};

namespace img {
// Frees what AllocateBytes handed out: a mapping of its own for a large block, the heap else.
class CBlockDeleter {
public:
    CBlockDeleter() noexcept = default;
    explicit CBlockDeleter(std::size_t mappedBytes) noexcept : m_nMapped(mappedBytes) {}
    void operator()(std::uint8_t* block) const noexcept;

private:
    std::size_t m_nMapped = 0; // 0: from operator new[]
};
using ByteBlock = std::unique_ptr<std::uint8_t[], CBlockDeleter>;

// Uninitialised bytes; throws CTextException 10 instead of std::bad_alloc. A large block starts
// on a 2 MiB boundary and covers whole 2 MiB pages, so that the kernel can back all of it with
// large pages: a fresh block then costs a few faults instead of thousands.
ByteBlock AllocateBytes(std::size_t count);
// Asks for 2 MiB pages for a large block that is not touched yet (a hint; small blocks are left).
void AdviseLargePages(void* block, std::size_t count) noexcept;

// Throws CTextException 10 for a picture of width x height pixels (both at least 1) that passes
// CImageBitmap::kMaxSide, or cbPixelLimit bytes of pixels at depth bpp, saying which: "The
// picture is 40000x40000 pixels, larger than the limit of 32768 pixels a side."
[[noreturn]] void ThrowPictureTooLarge(std::int64_t width, std::int64_t height, int depth,
                                       std::size_t cbPixelLimit);
} // namespace img
