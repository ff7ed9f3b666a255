// SPDX-License-Identifier: MIT
// Small helpers shared by the codec tests: file bytes, loading through the loader, bitmaps
// with known pixels.
#pragma once

#include "codecs/PictureFormat.h"
#include "image/MemoryBitmap.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace codectest {

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Loads path with a fresh CPictureDecoder; format receives what was recognised.
std::unique_ptr<CMemoryBitmap> Load(const std::filesystem::path& path, int depth = 0,
                                    PictureFormat* format = nullptr);

// A 32-bpp image whose pixels follow a fixed pattern (x, y and channel dependent), with the
// alpha flag and varying alpha when alpha is set.
std::unique_ptr<CMemoryBitmap> Pattern32(int width, int height, bool alpha = false);
// An 8-bpp image using every index of a palette of distinct colours.
std::unique_ptr<CMemoryBitmap> Pattern8(int width, int height);

} // namespace codectest
