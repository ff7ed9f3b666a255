// SPDX-License-Identifier: MIT
// Automatic file names of saved captures.
#include "capture/AutoSaveName.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace capture {
namespace {

std::uint64_t Limit(const AutoSaveParams& params) noexcept {
    std::uint64_t m = 1;
    for (int i = 0; i < AutoSaveDigits(params.nDigitCount); ++i)
        m *= 10;
    return m;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string JoinPath(const std::string& strDirectory, const std::string& strName) {
    if (strDirectory.empty() || strDirectory.back() == '/')
        return strDirectory + strName;
    return strDirectory + '/' + strName;
}

} // namespace

const char* AutoSaveExtension(std::uint32_t dwImageType) noexcept {
    switch (dwImageType) {
    case 0:
        return ".BMP";
    case 1:
        return ".JPG";
    case 2:
        return ".PNG";
    case 3:
        return ".GIF";
    case 4:
        return ".TIF";
    default:
        return "";
    }
}

int AutoSaveDigits(int nDigitCount) noexcept {
    return std::clamp(nDigitCount, 2, 6);
}

std::int64_t AutoSaveNumber(const AutoSaveParams& params) noexcept {
    const std::uint64_t m = Limit(params);
    if ((params.dwOptions & kAutoSaveWrapCounter) == 0 && params.dwStartNo >= m)
        return -1;
    return std::int64_t(std::min<std::uint64_t>(params.dwStartNo, m - 1));
}

std::uint32_t AdvanceAutoSaveCounter(std::uint32_t dwUsed, const AutoSaveParams& params) noexcept {
    std::uint64_t next = std::uint64_t(dwUsed) + 1; // 64 bits: the stored value may be 2^32 - 1
    if (params.dwOptions & kAutoSaveWrapCounter) {
        next %= Limit(params);
        if (next == 0)
            next = 1;
    }
    return std::uint32_t(std::min<std::uint64_t>(next, UINT32_MAX));
}

std::string AutoSaveFileName(const AutoSaveParams& params, std::uint32_t dwNumber) {
    std::string digits = std::to_string(dwNumber);
    const std::size_t width = std::size_t(AutoSaveDigits(params.nDigitCount));
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return params.strLeadName + digits + AutoSaveExtension(params.dwImageType);
}

AutoNamePlan PlanAutoSaveName(const AutoSaveParams& params) {
    AutoNamePlan plan;
    const std::int64_t n = AutoSaveNumber(params);
    if (n < 0) {
        plan.status = AutoNameStatus::CounterExhausted;
        plan.dwNextStartNo = params.dwStartNo;
        return plan;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(fs::path(params.strDirectory), ec)) {
        plan.status = AutoNameStatus::NoDirectory;
        plan.dwNextStartNo = params.dwStartNo;
        return plan;
    }
    const std::string strName = AutoSaveFileName(params, std::uint32_t(n));
    plan.strPath = JoinPath(params.strDirectory, strName);
    plan.dwNextStartNo = AdvanceAutoSaveCounter(params.dwStartNo, params);
    if (params.dwOptions & kAutoSaveReplaceExisting)
        return plan;
    if (fs::exists(fs::path(plan.strPath), ec)) {
        plan.status = AutoNameStatus::AskReplace;
        return plan;
    }
    // Names differing only in case are the same file to the user: look for any of them, so
    // that agreeing to replace really replaces it instead of adding a near-twin beside it.
    for (fs::directory_iterator it(fs::path(params.strDirectory), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string strEntry = it->path().filename().string();
        if (SameIgnoringCase(strEntry, strName)) {
            plan.status = AutoNameStatus::AskReplace;
            plan.strPath = JoinPath(params.strDirectory, strEntry);
            break;
        }
    }
    return plan;
}

} // namespace capture
