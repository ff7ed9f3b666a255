// SPDX-License-Identifier: MIT
// Whole-file reads and writes of the settings files, and an advisory lock on a folder.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Creates dir and each missing parent with mode 0700 (the XDG rule for configuration folders).
bool CreateDirectories(const std::filesystem::path& dir, std::string* pError);

// Replaces file by content (base::ReplaceFileAtomically), creating its folder first. False with
// a reason in *pError.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view content,
                         std::string* pError);

enum class ReadStatus { Ok, Missing, TooLarge, NotRegular, Failed };
struct FileText {
    ReadStatus status = ReadStatus::Failed;
    std::string text;
    std::string error; // for NotRegular and Failed
};
// Only a regular file is read (a symbolic link to one is too); a FIFO, socket or device is
// NotRegular and never waited for, a folder Failed.
FileText ReadWholeFile(const std::filesystem::path& file, std::size_t cbMax);

// Moves file aside as "<name>.damaged" (or ".damaged.2", ...) without replacing an earlier one.
// Returns the new path, or nullopt with a reason.
std::optional<std::filesystem::path> MoveAside(const std::filesystem::path& file,
                                               std::string* pError);

// An exclusive flock on a folder, held while the object lives. Serialises the read-modify-write
// passes of every process that shares the folder.
class CDirectoryLock {
public:
    explicit CDirectoryLock(const std::filesystem::path& dir);
    ~CDirectoryLock();
    CDirectoryLock(const CDirectoryLock&) = delete;
    CDirectoryLock& operator=(const CDirectoryLock&) = delete;
    bool IsLocked() const noexcept { return m_fd >= 0; }

private:
    int m_fd = -1;
};

std::string ErrnoText(int error);

} // namespace platform
