// SPDX-License-Identifier: MIT
// CRegistryStore: reads a snapshot of the hive at open, replays its writes on the file at close.
#include "platform/RegistryStore.h"

#include "base/AtomicFile.h"
#include "platform/FileAccess.h"
#include "platform/PlatformLog.h"
#include "platform/XdgPaths.h"

#include <charconv>
#include <cstdio>

namespace platform {

namespace {

constexpr std::string_view kHiveFolder = "Quorvi";
constexpr std::string_view kHiveFileName = "QuorviStudio.reg";
// Far beyond any settings file; a bigger one is treated as damaged rather than read into memory.
constexpr std::size_t kMaxHiveBytes = 16u << 20;

std::string FormatNumbers(std::initializer_list<std::int32_t> numbers) {
    std::string out;
    for (std::int32_t n : numbers) {
        if (!out.empty())
            out += ", ";
        out += std::to_string(n);
    }
    return out;
}

// Each token found replaces its target in order; missing tokens leave the rest unchanged.
void ReadNumbers(const std::string& text, std::initializer_list<std::int32_t*> targets) {
    const auto tokens = SplitNumberTokens(text);
    std::size_t i = 0;
    for (std::int32_t* target : targets) {
        if (i >= tokens.size())
            break;
        if (auto n = ParseNumberToken(tokens[i++]))
            *target = *n;
    }
}

std::size_t SequenceLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t len = lead < 0x80                   ? 1
                            : lead >= 0xF0 && lead < 0xF5 ? 4
                            : lead >= 0xE0                ? 3
                            : lead >= 0xC2                ? 2
                                                          : 1;
    if (len == 1 || pos + len > text.size())
        return 1;
    for (std::size_t i = 1; i < len; ++i)
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80)
            return 1;
    return len;
}

} // namespace

HiveLocations HiveLocations::FromEnvironment() {
    HiveLocations where;
    where.userHive = xdg::ConfigHome() / kHiveFolder / kHiveFileName;
    for (const auto& dir : xdg::ConfigDirs())
        where.machineHives.push_back(dir / kHiveFolder / kHiveFileName);
    return where;
}

std::vector<std::string> ApplicationKeyPath() {
    return {"software", std::string(kRegistryKeyName), std::string(kApplicationTitle)};
}

bool IsSectionName(std::string_view name) {
    const auto parts = SplitKeyPath(name);
    return parts && ApplicationKeyPath().size() + parts->size() <= kMaxKeyDepth;
}

namespace {

// ReadHiveFile without taking the lock: for callers that already hold it.
HiveRead ReadHiveLocked(const std::filesystem::path& file, bool bMoveDamagedAside,
                        std::string* pText = nullptr) {
    HiveRead result;
    FileText read = ReadWholeFile(file, kMaxHiveBytes);
    if (read.status == ReadStatus::Missing)
        return result;
    if (read.status == ReadStatus::Failed) {
        result.bFailed = true;
        result.error = read.error;
        return result;
    }
    std::string why = read.status == ReadStatus::TooLarge
                          ? "larger than " + std::to_string(kMaxHiveBytes) + " bytes"
                          : read.error; // not a regular file: never waited for, set aside
    if (read.status == ReadStatus::Ok) {
        if (auto hive = CRegistryHive::Parse(read.text, &why)) {
            result.hive = std::move(*hive);
            if (pText)
                *pText = std::move(read.text);
            return result;
        }
    }
    result.bDamaged = true;
    std::string moveError;
    if (bMoveDamagedAside)
        result.damagedKeptAs = MoveAside(file, &moveError);
    if (result.damagedKeptAs)
        Warn("damaged settings file " + file.string() + " (" + why + ") kept as " +
             result.damagedKeptAs->string() + "; using defaults");
    else
        Warn("damaged settings file " + file.string() + " (" + why + "); using defaults" +
             (moveError.empty() ? "" : " (" + moveError + ")"));
    if (bMoveDamagedAside && !result.damagedKeptAs) {
        result.bFailed = true; // saving now would overwrite the only copy
        result.error = moveError;
    }
    return result;
}

} // namespace

HiveRead ReadHiveFile(const std::filesystem::path& file, bool bMoveDamagedAside) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return {};
    std::optional<CDirectoryLock> lock;
    if (bMoveDamagedAside)
        lock.emplace(file.parent_path());
    return ReadHiveLocked(file, bMoveDamagedAside);
}

std::vector<std::string_view> SplitNumberTokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    constexpr std::string_view kSeparators = " ,\t\n";
    std::size_t pos = 0;
    while ((pos = text.find_first_not_of(kSeparators, pos)) != std::string_view::npos) {
        const std::size_t end = std::min(text.find_first_of(kSeparators, pos), text.size());
        tokens.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return tokens;
}

std::optional<std::int32_t> ParseNumberToken(std::string_view token) {
    if (token.starts_with('+'))
        token.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value, 10);
    if (ec != std::errc() || end != token.data() + token.size() || token.empty())
        return std::nullopt;
    return value;
}

std::size_t CountCharacters(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += SequenceLength(text, pos))
        ++n;
    return n;
}

std::string_view CutToCharacters(std::string_view text, std::size_t nChars) {
    std::size_t pos = 0;
    for (std::size_t n = 0; n < nChars && pos < text.size(); ++n)
        pos += SequenceLength(text, pos);
    return text.substr(0, pos);
}

CRegistryStore::CRegistryStore(Direction direction, HiveLocations locations)
    : m_direction(direction), m_locations(std::move(locations)) {}

CRegistryStore::~CRegistryStore() {
    Close();
}

bool CRegistryStore::Failed(std::string error) {
    if (m_strError.empty())
        m_strError = std::move(error);
    return false;
}

bool CRegistryStore::OpenCurrentUserRoot() {
    if (!m_changes.empty())
        Flush();
    m_bRootOpen = false;
    m_bReadOnly = false;
    HiveRead read = ReadHiveFile(m_locations.userHive, true);
    if (read.damagedKeptAs)
        m_damagedKeptAs = read.damagedKeptAs;
    if (read.bFailed)
        return Failed(read.error);
    m_hive = std::move(read.hive);
    m_sectionPath = ApplicationKeyPath();
    m_hive.CreateKey(m_sectionPath);
    if (!IsLoading())
        m_changes.push_back({Change::Kind::CreateKey, m_sectionPath, {}, {}});
    m_bRootOpen = true;
    return true;
}

bool CRegistryStore::OpenLocalMachineRoot() {
    if (!m_changes.empty())
        Flush();
    m_bRootOpen = false;
    m_bReadOnly = true;
    m_hive = CRegistryHive();
    std::error_code ec;
    for (const auto& file : m_locations.machineHives) {
        if (!std::filesystem::exists(file, ec))
            continue;
        m_hive = std::move(ReadHiveFile(file, false).hive);
        break;
    }
    m_sectionPath = ApplicationKeyPath();
    m_bRootOpen = m_hive.FindKey(m_sectionPath) != nullptr;
    return m_bRootOpen;
}

bool CRegistryStore::OpenSection(std::string_view name) {
    if (!m_bRootOpen)
        return false;
    m_sectionPath = ApplicationKeyPath();
    if (name.empty())
        return true;
    auto parts = SplitKeyPath(name);
    if (!parts)
        return false;
    std::vector<std::string> path = m_sectionPath;
    path.insert(path.end(), parts->begin(), parts->end());
    if (m_bReadOnly ? m_hive.FindKey(path) == nullptr : m_hive.CreateKey(path) == nullptr)
        return false;
    if (!m_bReadOnly && !IsLoading())
        m_changes.push_back({Change::Kind::CreateKey, path, {}, {}});
    m_sectionPath = std::move(path);
    return true;
}

const CRegistryKey* CRegistryStore::SectionKey() const {
    return m_bRootOpen ? m_hive.FindKey(m_sectionPath) : nullptr;
}

const RegValue* CRegistryStore::Find(std::string_view name) const {
    const CRegistryKey* key = SectionKey();
    return key ? key->FindValue(name) : nullptr;
}

void CRegistryStore::Write(std::string_view name, RegValue value) {
    if (!m_bRootOpen || m_bReadOnly)
        return;
    if (CRegistryKey* key = m_hive.FindKey(m_sectionPath))
        key->SetValue(name, value);
    m_changes.push_back(
        {Change::Kind::SetValue, m_sectionPath, std::string(name), std::move(value)});
}

void CRegistryStore::DeleteValue(std::string_view name) {
    if (IsLoading() || !m_bRootOpen || m_bReadOnly)
        return;
    if (CRegistryKey* key = m_hive.FindKey(m_sectionPath))
        key->DeleteValue(name);
    m_changes.push_back({Change::Kind::DeleteValue, m_sectionPath, std::string(name), {}});
}

void CRegistryStore::String(std::string_view name, std::string& text, std::size_t nMaxChars) {
    if (!IsLoading())
        return Write(name, text);
    if (const auto* stored = Find(name); stored && TypeOf(*stored) == RegType::String)
        text = CutToCharacters(std::get<std::string>(*stored), nMaxChars);
}

void CRegistryStore::Dword(std::string_view name, std::uint32_t& value) {
    if (!IsLoading())
        return Write(name, value);
    if (const auto* stored = Find(name); stored && TypeOf(*stored) == RegType::Dword)
        value = std::get<std::uint32_t>(*stored);
}

void CRegistryStore::Word(std::string_view name, std::uint16_t& value) {
    std::uint32_t wide = value;
    Dword(name, wide);
    value = static_cast<std::uint16_t>(wide & 0xFFFF);
}

void CRegistryStore::Pair(std::string_view name, std::int32_t& a, std::int32_t& b) {
    if (!IsLoading())
        return Write(name, FormatNumbers({a, b}));
    if (const auto* stored = Find(name); stored && TypeOf(*stored) == RegType::String)
        ReadNumbers(std::get<std::string>(*stored), {&a, &b});
}

void CRegistryStore::Quad(std::string_view name, std::int32_t& a, std::int32_t& b, std::int32_t& c,
                          std::int32_t& d) {
    if (!IsLoading())
        return Write(name, FormatNumbers({a, b, c, d}));
    if (const auto* stored = Find(name); stored && TypeOf(*stored) == RegType::String)
        ReadNumbers(std::get<std::string>(*stored), {&a, &b, &c, &d});
}

void CRegistryStore::Binary(std::string_view name, RegBinary& bytes) {
    if (!IsLoading())
        return Write(name, bytes);
    if (const auto* stored = Find(name); stored && TypeOf(*stored) == RegType::Binary)
        bytes = std::get<RegBinary>(*stored);
}

bool CRegistryStore::Flush() {
    const std::filesystem::path& file = m_locations.userHive;
    std::string error;
    if (!CreateDirectories(file.parent_path(), &error))
        return Failed(error);
    CDirectoryLock lock(file.parent_path());
    if (!lock.IsLocked())
        return Failed("cannot lock " + file.parent_path().string() + ": " + ErrnoText(errno));
    // Also when nothing is written below.
    base::RemoveStaleTemporaries(file);
    // Replay on the file as it is now, so values written by another pass since our open survive.
    std::string before;
    HiveRead current = ReadHiveLocked(file, true, &before);
    if (current.damagedKeptAs)
        m_damagedKeptAs = current.damagedKeptAs;
    if (current.bFailed)
        return Failed(current.error);
    for (const Change& change : m_changes) {
        CRegistryKey* key = current.hive.CreateKey(change.path);
        if (!key)
            continue;
        if (change.kind == Change::Kind::SetValue)
            key->SetValue(change.name, change.value);
        else if (change.kind == Change::Kind::DeleteValue)
            key->DeleteValue(change.name);
    }
    m_changes.clear();
    const std::string text = current.hive.Serialize();
    if (before == text)
        return true;
    if (text.size() > kMaxHiveBytes) // it would be read back as damaged
        return Failed("the settings would take more than " + std::to_string(kMaxHiveBytes) +
                      " bytes; " + file.string() + " left as it was");
    if (!WriteFileAtomically(file, text, &error))
        return Failed(error);
    return true;
}

bool CRegistryStore::Close() {
    if (m_bClosed)
        return m_strError.empty();
    m_bClosed = true;
    if (!IsLoading() && !m_changes.empty())
        Flush();
    m_bRootOpen = false;
    return IsLoading() || m_strError.empty();
}

} // namespace platform
