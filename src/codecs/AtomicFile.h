// SPDX-License-Identifier: MIT
// Replacing a file so that it is never half-written: the new contents go to a temporary file
// in the same folder, which is flushed to disk and then renamed over the target.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace codec {

// Writes bytes to path. The old file (if any) stays untouched until the new one is complete
// on disk (a new name is written without waiting for the disk); on any failure the temporary is
// removed and CTextException is thrown with the system's error code ("Opening %s failed" when no
// file can be created in the folder, "Writing %s failed: <reason>" otherwise). A symbolic link at
// path keeps pointing at the file it names, which is the one replaced; an existing file keeps its
// permission bits.
void ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace codec
