// SPDX-License-Identifier: MIT
// The registry hive: a tree of keys holding typed values, and its human-readable text form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

// The three value types of the hive, in the order of RegValue's alternatives.
enum class RegType : std::uint8_t { String, Dword, Binary };

using RegBinary = std::vector<std::uint8_t>;
using RegValue = std::variant<std::string, std::uint32_t, RegBinary>;

inline RegType TypeOf(const RegValue& value) noexcept {
    return static_cast<RegType>(value.index());
}
std::string_view TypeName(RegType type) noexcept; // "string", "32-bit", "binary"

// Key and value names compare without regard to ASCII case, as the registry does; the spelling
// of the first writer is kept.
bool NamesEqual(std::string_view a, std::string_view b) noexcept;

// A key name is one path component: not empty, no backslash, at most 255 bytes.
bool IsValidKeyName(std::string_view name) noexcept;

// Keys nest at most this many levels below the root. The program's own keys take four
// (software\Quorvi\Quorvi Studio\section); sixteen leave room for sections of sections while
// keeping every walk over the tree (destruction, the text form, comparison) a few calls deep
// and every key line of the text form a few kilobytes long. A file with deeper keys is damaged.
inline constexpr std::size_t kMaxKeyDepth = 16;
// A hive read from text holds at most this many keys. The program's own settings take under
// ten; the bound keeps what a 16 MiB file of short key lines can make (each line up to sixteen
// keys of some 250 bytes) to a few tens of megabytes instead of gigabytes.
inline constexpr std::size_t kMaxHiveKeys = 65536;

// Splits "a\b\c" into its components; nullopt when a component is not a valid key name.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);
std::string JoinKeyPath(std::span<const std::string> path);

// Positions in a list of names, found by the name compared as NamesEqual does: a flat table of
// (hash, position) beside the list, so that finding or adding the 200,000th value of a key costs
// what the fifth does, without an allocation per name. The list keeps its order and spellings.
class CNameIndex {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // nameAt(position) gives the stored name at a position of the list.
    template <class NameAt> std::size_t Find(std::string_view name, const NameAt& nameAt) const;
    void Add(std::string_view name, std::size_t position);
    // After an erase the positions behind it have moved: the index is made again.
    template <class NameAt> void Rebuild(std::size_t nCount, const NameAt& nameAt);

private:
    struct Slot {
        std::uint32_t nHash = 0;
        std::uint32_t nPositionPlusOne = 0; // 0: empty; 2^32 names would take 256 GiB
    };
    void Grow();
    void Place(Slot slot) noexcept;

    std::vector<Slot> m_slots; // a power of two long, at most half full
    std::size_t m_nCount = 0;
};

class CRegistryKey {
public:
    explicit CRegistryKey(std::string strName = {}) : m_strName(std::move(strName)) {}

    const std::string& Name() const noexcept { return m_strName; }
    // Levels below the key the tree was started from (the hive's root: 0).
    std::size_t Depth() const noexcept { return m_nDepth; }

    CRegistryKey* FindSubKey(std::string_view name) noexcept;
    const CRegistryKey* FindSubKey(std::string_view name) const noexcept;
    // Opens the sub-key, creating it when missing; nullptr when the name is not a valid key name
    // or the new key would lie deeper than kMaxKeyDepth.
    CRegistryKey* CreateSubKey(std::string_view name);
    bool DeleteSubKey(std::string_view name);

    const RegValue* FindValue(std::string_view name) const noexcept;
    // Replaces the value in place (keeping its position and spelling) or appends it.
    void SetValue(std::string_view name, RegValue value);
    bool DeleteValue(std::string_view name);

    const std::vector<std::pair<std::string, RegValue>>& Values() const noexcept {
        return m_values;
    }
    const std::vector<std::unique_ptr<CRegistryKey>>& SubKeys() const noexcept { return m_subKeys; }

    // Names, values and sub-keys in their order; the recursion is at most kMaxKeyDepth deep.
    bool operator==(const CRegistryKey& other) const;

private:
    std::string m_strName;
    std::size_t m_nDepth = 0;
    std::vector<std::pair<std::string, RegValue>> m_values;
    std::vector<std::unique_ptr<CRegistryKey>> m_subKeys;
    CNameIndex m_valueIndex;
    CNameIndex m_subKeyIndex;
};

// One root key and everything below it. The text form is:
//
//   Quorvi Registry Hive 1
//   [software\Quorvi\Quorvi Studio\PrintLayout]
//   "Title"="text with \"escapes\"\n"
//   "PrintMode"=dword:00000001
//   "Blob"=hex:01,ff
//   ; end of hive
//
// Strings escape \\ \" \n \r \t and other control bytes as \xHH; other bytes (UTF-8 included)
// are written as they are, so every string survives a round trip byte for byte. Key names escape
// control bytes, '%', '[' and ']' as %HH. The closing line tells a complete file from one cut
// short. Keys nest at most kMaxKeyDepth levels deep.
class CRegistryHive {
public:
    CRegistryKey& Root() noexcept { return m_root; }
    const CRegistryKey& Root() const noexcept { return m_root; }

    CRegistryKey* FindKey(std::span<const std::string> path) noexcept;
    const CRegistryKey* FindKey(std::span<const std::string> path) const noexcept;
    // Opens the key, creating each missing level; nullptr (and nothing created) for an invalid
    // name or a path longer than kMaxKeyDepth.
    CRegistryKey* CreateKey(std::span<const std::string> path);

    std::string Serialize() const;
    // nullopt with a reason ("line 7: unterminated string") for text that is not a whole hive.
    static std::optional<CRegistryHive> Parse(std::string_view text, std::string* pError = nullptr);

    bool operator==(const CRegistryHive& other) const { return m_root == other.m_root; }

private:
    CRegistryKey m_root;
};

// The quoting of hive strings, shared with the settings listing so both read the same way.
std::string QuoteHiveString(std::string_view text);

} // namespace platform
