// SPDX-License-Identifier: MIT
// Automatic file names of saved captures.
#include "capture/AutoSaveName.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <unordered_map>

namespace capture {
namespace {

std::uint64_t Limit(const AutoSaveParams& params) noexcept {
    std::uint64_t m = 1;
    for (int i = 0; i < AutoSaveDigits(params.nDigitCount); ++i)
        m *= 10;
    return m;
}

std::string Folded(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Names differing only in case are the same file to the user: the directory's entries by their
// folded name, so that replacing really replaces instead of adding a near-twin beside it.
std::unordered_map<std::string, std::string> FoldedEntries(const std::string& strDirectory) {
    std::unordered_map<std::string, std::string> entries;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(std::filesystem::path(strDirectory), ec), end;
         !ec && it != end; it.increment(ec)) {
        std::string strEntry = it->path().filename().string();
        entries.emplace(Folded(strEntry), std::move(strEntry));
    }
    return entries;
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
        return ".bmp";
    case 1:
        return ".jpg";
    case 2:
        return ".png";
    case 3:
        return ".gif";
    case 4:
        return ".tif";
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
    plan.dwNextStartNo = params.dwStartNo;
    std::int64_t n = AutoSaveNumber(params);
    if (n < 0) {
        plan.status = AutoNameStatus::CounterExhausted;
        return plan;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::path(params.strDirectory), ec)) {
        plan.status = AutoNameStatus::NoDirectory;
        return plan;
    }
    const std::unordered_map<std::string, std::string> taken = FoldedEntries(params.strDirectory);
    AutoSaveParams at = params;
    for (std::uint64_t nTried = 1;; ++nTried) {
        const std::string strName = AutoSaveFileName(params, std::uint32_t(n));
        const auto existing = taken.find(Folded(strName));
        plan.bReplaces = existing != taken.end();
        plan.strPath = JoinPath(params.strDirectory, plan.bReplaces ? existing->second : strName);
        plan.dwNextStartNo = AdvanceAutoSaveCounter(at.dwStartNo, params);
        if (!plan.bReplaces || !params.bKeepExisting)
            break;
        at.dwStartNo = plan.dwNextStartNo;
        n = AutoSaveNumber(at);
        if (n < 0 || nTried >= Limit(params)) {
            plan = {AutoNameStatus::CounterExhausted, {}, params.dwStartNo, false};
            return plan;
        }
    }
    if (plan.bReplaces && (params.dwOptions & kAutoSaveReplaceExisting) == 0)
        plan.status = AutoNameStatus::AskReplace;
    return plan;
}

} // namespace capture
