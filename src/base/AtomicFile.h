// SPDX-License-Identifier: MIT
// Replacing a whole file so that a crash or kill at any moment leaves either the old file or the
// new one, never a mixture: the one writer of image files and of the settings store.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace base {

struct ReplaceResult {
    int nError = 0;            // errno of the step that failed; 0 when the file was replaced
    bool bNoTemporary = false; // the folder would not take a new file (nothing was written)
    explicit operator bool() const noexcept { return nError == 0; }
};

// Writes bytes to path through a temporary in the same folder, renamed over the old file.
// - A symbolic link at path keeps pointing where it did: the file it names is the one replaced.
// - An existing file keeps its permission bits; a new one gets 0666 less the umask (the kernel
//   applies it, the process umask is never touched).
// - When a file is replaced, the temporary reaches the disk before the rename and the folder
//   after it; a new name skips both flushes (nothing old can be lost).
// - Temporaries of earlier writes that crashed are removed first (RemoveStaleTemporaries).
// On failure the old file is untouched and the temporary is gone.
ReplaceResult ReplaceFileAtomically(const std::filesystem::path& path,
                                    std::span<const std::uint8_t> bytes);

// Appends to the temporary of a replacement; after a failed write it keeps the error and drops
// what follows.
class CFileWriter {
public:
    explicit CFileWriter(int fd) noexcept : m_fd(fd) {}
    void Write(std::span<const std::uint8_t> bytes) noexcept;
    int Error() const noexcept { return m_nError; }

private:
    int m_fd;
    int m_nError = 0;
};

// The same for a file produced piece by piece: fill writes the contents (a large file need never
// be whole in memory). An exception from fill leaves the old file untouched, removes the
// temporary and passes on.
ReplaceResult ReplaceFileAtomically(const std::filesystem::path& path,
                                    const std::function<void(CFileWriter&)>& fill);

// Removes the temporaries a killed or crashed writer of file left in its folder. A write still
// in progress, in this process or another, holds a lock on its temporary and is left alone.
void RemoveStaleTemporaries(const std::filesystem::path& file);

} // namespace base
