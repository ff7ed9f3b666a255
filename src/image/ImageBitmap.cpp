// SPDX-License-Identifier: MIT
#include "image/ImageBitmap.h"

#include "image/DepthConversion.h"
#include "image/MemoryBitmap.h"
#include "image/TextException.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include <sys/mman.h>

static_assert(std::endian::native == std::endian::little,
              "pixel and DIB layouts assume a little-endian machine");

namespace img {

void AdviseLargePages(void* block, std::size_t count) noexcept {
#if defined(MADV_HUGEPAGE)
    // A large block is a fresh mapping whose every 4 KiB page faults and is cleared on first
    // touch; in 2 MiB pages that costs a few faults instead of thousands. Only a hint.
    constexpr std::size_t kPage = 4096;
    constexpr std::size_t kLargeBlock = std::size_t(4) << 20;
    if (block && count >= kLargeBlock) {
        const auto start = (reinterpret_cast<std::uintptr_t>(block) + kPage - 1) & ~(kPage - 1);
        const auto end = (reinterpret_cast<std::uintptr_t>(block) + count) & ~(kPage - 1);
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
#else
    (void)block;
    (void)count;
#endif
}

namespace {

constexpr std::size_t kLargePage = std::size_t(2) << 20;
constexpr std::size_t kMappedBlock = std::size_t(4) << 20;

// A private mapping of whole large pages, aligned to a large page: mmap only promises 4 KiB
// alignment, so one large page more is mapped and the unaligned ends are given back.
std::uint8_t* MapAlignedBlock(std::size_t bytes) noexcept {
    void* raw = ::mmap(nullptr, bytes + kLargePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const auto aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
    if (aligned > start)
        ::munmap(raw, aligned - start);
    if (const std::size_t tail = start + kLargePage - aligned; tail > 0)
        ::munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    AdviseLargePages(reinterpret_cast<void*>(aligned), bytes);
    return reinterpret_cast<std::uint8_t*>(aligned);
}

} // namespace

void CBlockDeleter::operator()(std::uint8_t* block) const noexcept {
    if (m_nMapped)
        ::munmap(block, m_nMapped);
    else
        delete[] block;
}

namespace {

// "1 GiB", "64 MiB", "40000 bytes": the largest unit that gives a whole number.
std::string ByteCountText(std::size_t count) {
    for (const auto& [shift, unit] : {std::pair{30, " GiB"}, {20, " MiB"}, {10, " KiB"}}) {
        const std::size_t size = std::size_t(1) << shift;
        if (count >= size && count % size == 0)
            return std::to_string(count / size) + unit;
    }
    return std::to_string(count) + " bytes";
}

} // namespace

void ThrowPictureTooLarge(std::int64_t width, std::int64_t height, int depth,
                          std::size_t cbPixelLimit) {
    std::string text = "The picture is " + std::to_string(width) + "x" + std::to_string(height) +
                       " pixels, larger than the limit of ";
    if (width > CImageBitmap::kMaxSide || height > CImageBitmap::kMaxSide)
        text += std::to_string(CImageBitmap::kMaxSide) + " pixels a side.";
    else
        text += ByteCountText(cbPixelLimit) + " at " + std::to_string(depth) + " bits per pixel.";
    throw CTextException(err::kOutOfMemory, text);
}

ByteBlock AllocateBytes(std::size_t count) {
    if (count >= kMappedBlock && count <= std::numeric_limits<std::size_t>::max() / 2) {
        const std::size_t bytes = (count + kLargePage - 1) & ~(kLargePage - 1);
        if (std::uint8_t* block = MapAlignedBlock(bytes))
            return ByteBlock(block, CBlockDeleter(bytes));
        throw CTextException(err::kOutOfMemory, err::kOutOfMemoryCreatingBitmap);
    }
    // Default-initialised on purpose: pixel memory is never cleared by allocation.
    ByteBlock block(new (std::nothrow) std::uint8_t[std::max<std::size_t>(count, 1)]);
    if (!block)
        throw CTextException(err::kOutOfMemory, err::kOutOfMemoryCreatingBitmap);
    return block;
}

} // namespace img

bool CImageBitmap::IsSupportedDepth(int depth) noexcept {
    return depth == 1 || depth == 4 || depth == 8 || depth == 24 || depth == 32;
}

void CImageBitmap::CheckSize(int width, int height, int depth, std::size_t rowBytes) {
    if (width < 1 || height < 1 || !IsSupportedDepth(depth))
        throw CTextException(img::err::kOutOfMemory, img::err::kOutOfMemoryCreatingBitmap);
    if (width > kMaxSide || height > kMaxSide || rowBytes > kMaxPixelBytes / std::size_t(height))
        img::ThrowPictureTooLarge(width, height, depth, kMaxPixelBytes);
}

void CImageBitmap::InstallDefaultPalette(std::span<RGBQuad> palette) noexcept {
    if (palette.size() < 2)
        return;
    const int step = 255 / int(palette.size() - 1);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const auto v = static_cast<std::uint8_t>(step * int(i));
        palette[i] = RGBQuad{v, v, v, 255};
    }
}

void CImageBitmap::Create(int width, int height, int depth, bool alpha) {
    // Allocate validates before touching memory; on failure this bitmap keeps its old image.
    Allocate(width, height, depth);
    m_nWidth = width;
    m_nHeight = height;
    m_nDepth = depth;
    m_bAlpha = alpha;
    BuildLineArray();
    InstallDefaultPalette(PaletteSpan());
}

void CImageBitmap::BuildLineArray() {
    m_lines.resize(std::size_t(m_nHeight));
    const std::size_t stride = BytesPerLine();
    for (int y = 0; y < m_nHeight; ++y) {
        const int memoryRow = IsBottomUp() ? m_nHeight - 1 - y : y;
        m_lines[std::size_t(y)] = m_pBits + std::size_t(memoryRow) * stride;
    }
}

void CImageBitmap::CreateCopy(const CImageBitmap& source, int depth) {
    if (depth == 0)
        depth = source.Depth();
    if (&source == this) {
        if (depth == m_nDepth)
            return;
        CMemoryBitmap snapshot;
        snapshot.CreateCopy(*this);
        ConvertFrom(snapshot, depth);
        return;
    }
    ConvertFrom(source, depth);
}

void CImageBitmap::ConvertFrom(const CImageBitmap& source, int depth) {
    const bool alpha = depth == 32 && source.HasAlpha();
    Create(source.Width(), source.Height(), depth, alpha);
    img::ConvertPixels(source, *this);
}

void CImageBitmap::SwapStorage(CImageBitmap& other) noexcept {
    SwapBlocks(other);
    std::swap(m_pBits, other.m_pBits);
    std::swap(m_pPalette, other.m_pPalette);
    std::swap(m_nWidth, other.m_nWidth);
    std::swap(m_nHeight, other.m_nHeight);
    std::swap(m_nDepth, other.m_nDepth);
    std::swap(m_bAlpha, other.m_bAlpha);
    std::swap(m_lines, other.m_lines);
}

std::vector<std::uint8_t> CImageBitmap::ToPackedDib() const {
    const std::size_t stride = DibRowBytes(m_nWidth, m_nDepth);
    const std::size_t rowBytes = PixelBytesPerLine();
    const std::size_t paletteBytes = std::size_t(PaletteSize()) * sizeof(RGBQuad);
    BitmapInfoHeader header;
    header.biWidth = m_nWidth;
    header.biHeight = m_nHeight;
    header.biBitCount = static_cast<std::uint16_t>(m_nDepth);
    header.biSizeImage = static_cast<std::uint32_t>(stride * std::size_t(m_nHeight));

    std::vector<std::uint8_t> dib(sizeof header + paletteBytes + header.biSizeImage);
    std::memcpy(dib.data(), &header, sizeof header);
    if (paletteBytes)
        std::memcpy(dib.data() + sizeof header, m_pPalette, paletteBytes);
    std::uint8_t* out = dib.data() + sizeof header + paletteBytes;
    for (int y = m_nHeight - 1; y >= 0; --y, out += stride) {
        std::memcpy(out, Line(y), rowBytes);
        std::memset(out + rowBytes, 0, stride - rowBytes);
    }
    return dib;
}
