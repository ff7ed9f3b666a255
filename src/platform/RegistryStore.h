// SPDX-License-Identifier: MIT
// CRegistryStore: one load or save pass over the registry hive files, with the value rules of
// the settings record (type checks, 16-bit values, pairs and quads).
#pragma once

#include "platform/RegistryHive.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Where the two roots live. The current user's hive is read and written; the machine hives are
// only read, the first one that exists wins.
struct HiveLocations {
    std::filesystem::path userHive;
    std::vector<std::filesystem::path> machineHives;

    // $XDG_CONFIG_HOME/Quorvi/QuorviStudio.reg and each $XDG_CONFIG_DIRS/Quorvi/QuorviStudio.reg.
    static HiveLocations FromEnvironment();
};

// The path of the application key below each root: "software" \ key name \ application title.
inline constexpr std::string_view kRegistryKeyName = "Quorvi";
inline constexpr std::string_view kApplicationTitle = "Quorvi Studio";
std::vector<std::string> ApplicationKeyPath();
// A section below the application key: "" (the key itself) or a path of valid key names that
// stays within kMaxKeyDepth.
bool IsSectionName(std::string_view name);

// Reads a hive file; a damaged one yields an empty hive and, with bMoveDamagedAside, is renamed
// beside the original (under the folder's lock) so the next save cannot overwrite it.
struct HiveRead {
    CRegistryHive hive;
    bool bFailed = false; // the file exists but cannot be read; error says why
    std::string error;
    std::optional<std::filesystem::path> damagedKeptAs;
    bool bDamaged = false;
};
HiveRead ReadHiveFile(const std::filesystem::path& file, bool bMoveDamagedAside);

// Pairs and quads are stored as text "a, b"; these split and read it. Tokens are separated by
// blanks, commas, tabs and newlines; empty tokens do not count.
std::vector<std::string_view> SplitNumberTokens(std::string_view text);
// A whole base-10 token in the 32-bit range ("+7", "-12"); nullopt for anything else.
std::optional<std::int32_t> ParseNumberToken(std::string_view token);

// Characters of UTF-8 text (an invalid byte counts as one) and the text cut to at most nChars
// characters without splitting one.
std::size_t CountCharacters(std::string_view text);
std::string_view CutToCharacters(std::string_view text, std::size_t nChars);

class CRegistryStore {
public:
    enum class Direction { Load, Save };
    static constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

    explicit CRegistryStore(Direction direction,
                            HiveLocations locations = HiveLocations::FromEnvironment());
    ~CRegistryStore();
    CRegistryStore(const CRegistryStore&) = delete;
    CRegistryStore& operator=(const CRegistryStore&) = delete;

    bool IsLoading() const noexcept { return m_direction == Direction::Load; }

    // The application key of the current user's hive, created (on save) with each missing level.
    bool OpenCurrentUserRoot();
    // The application key of the machine hive, read-only; nothing is created or written.
    bool OpenLocalMachineRoot();
    // Selects a section below the application key; "" selects the application key itself. When
    // the section cannot be opened the application key is used instead and false is returned.
    bool OpenSection(std::string_view name);

    // Each exchange reads into its targets (load) or writes them (save). A value that is absent
    // or of another type leaves the targets unchanged.
    void String(std::string_view name, std::string& text, std::size_t nMaxChars = kNoLimit);
    void Dword(std::string_view name, std::uint32_t& value);
    void Word(std::string_view name, std::uint16_t& value);
    void Pair(std::string_view name, std::int32_t& a, std::int32_t& b);
    void Quad(std::string_view name, std::int32_t& a, std::int32_t& b, std::int32_t& c,
              std::int32_t& d);
    void Binary(std::string_view name, RegBinary& bytes);
    // Save only: removes a value of the open section.
    void DeleteValue(std::string_view name);

    // The open section (or its fallback) as read, for listings; nullptr when nothing is open.
    const CRegistryKey* SectionKey() const;

    // Writes what was changed, atomically, and closes. False when a save could not be written;
    // LastError() says why. Called by the destructor when forgotten.
    bool Close();
    const std::string& LastError() const noexcept { return m_strError; }
    const std::optional<std::filesystem::path>& DamagedFileKeptAs() const noexcept {
        return m_damagedKeptAs;
    }

private:
    struct Change {
        enum class Kind { CreateKey, SetValue, DeleteValue } kind;
        std::vector<std::string> path;
        std::string name;
        RegValue value;
    };

    const RegValue* Find(std::string_view name) const;
    void Write(std::string_view name, RegValue value);
    bool Flush();
    bool Failed(std::string error);

    Direction m_direction;
    HiveLocations m_locations;
    CRegistryHive m_hive;          // the root as read at open, plus this pass's writes
    std::vector<Change> m_changes; // replayed on the file as it is at Close
    std::vector<std::string> m_sectionPath;
    bool m_bRootOpen = false;
    bool m_bReadOnly = false;
    bool m_bClosed = false;
    std::string m_strError;
    std::optional<std::filesystem::path> m_damagedKeptAs;
};

} // namespace platform
