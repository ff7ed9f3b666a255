// SPDX-License-Identifier: MIT
// Automatic file names of saved captures: lead name, zero-padded counter, lower-case extension,
// and what happens to the counter after each name.
#pragma once

#include <cstdint>
#include <string>

namespace capture {

// The auto-save settings a name is made from.
struct AutoSaveParams {
    std::string strDirectory; // "AutoSavePath"
    std::string strLeadName;  // "AutoSaveLeadFileName"
    int nDigitCount = 5;      // "AutoSaveDigitCount"; kept within 2 to 6
    std::uint32_t dwStartNo = 1;
    std::uint32_t dwImageType = 1; // 0 BMP, 1 JPEG, 2 PNG, 3 GIF, 4 TIFF, else no extension
    std::uint32_t dwOptions = 0;   // 0x1 replace existing files, 0x4 wrap the counter
    // An existing file is never replaced nor asked about: the next free number is taken. For
    // when the counter cannot be stored, so that the next run, starting from the old number,
    // cannot take this run's captures for its own.
    bool bKeepExisting = false;
};

inline constexpr std::uint32_t kAutoSaveReplaceExisting = 0x1;
inline constexpr std::uint32_t kAutoSaveWrapCounter = 0x4;

enum class AutoNameStatus {
    Ready,            // save under strPath
    AskReplace,       // strPath (an existing file) may be replaced only if the user agrees
    CounterExhausted, // the counter has passed the largest number of the digit count
    NoDirectory,      // the directory does not exist
};

struct AutoNamePlan {
    AutoNameStatus status = AutoNameStatus::Ready;
    // The path to write (for AskReplace the existing file, whose name may differ in case from
    // the generated one), empty for the failures.
    std::string strPath;
    // The value "AutoSaveStartNO" takes once the name is used.
    std::uint32_t dwNextStartNo = 0;
    // strPath names an existing file (Ready: replaced without asking).
    bool bReplaces = false;
};

// ".bmp", ".jpg", ".png", ".gif", ".tif", or "" for any other type: lower case, so that a
// "*.png" pattern finds them.
const char* AutoSaveExtension(std::uint32_t dwImageType) noexcept;
// The digit count actually used: the setting kept within 2 to 6.
int AutoSaveDigits(int nDigitCount) noexcept;
// The number the next name uses, or -1 when the counter is exhausted (no wrap and the start
// number has reached 10 to the power of the digit count).
std::int64_t AutoSaveNumber(const AutoSaveParams& params) noexcept;
// The counter after a name with this number was handed out: one more; with wrap it runs
// modulo 10^digits and 0 becomes 1.
std::uint32_t AdvanceAutoSaveCounter(std::uint32_t dwUsed, const AutoSaveParams& params) noexcept;
// Lead name, number padded with zeros to the digit count, extension.
std::string AutoSaveFileName(const AutoSaveParams& params, std::uint32_t dwNumber);

// Decides the next automatic name by looking at the file system: an existing file with the
// same name compared without regard to case asks for replacement unless replacing is allowed,
// or is skipped with bKeepExisting (CounterExhausted when every number is taken).
AutoNamePlan PlanAutoSaveName(const AutoSaveParams& params);

} // namespace capture
