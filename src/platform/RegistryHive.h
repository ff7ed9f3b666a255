// SPDX-License-Identifier: MIT
// The registry hive: a tree of keys holding typed values, and its human-readable text form.
#pragma once

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

// Splits "a\b\c" into its components; nullopt when a component is not a valid key name.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);
std::string JoinKeyPath(std::span<const std::string> path);

class CRegistryKey {
public:
    explicit CRegistryKey(std::string strName = {}) : m_strName(std::move(strName)) {}

    const std::string& Name() const noexcept { return m_strName; }

    CRegistryKey* FindSubKey(std::string_view name) noexcept;
    const CRegistryKey* FindSubKey(std::string_view name) const noexcept;
    // Opens the sub-key, creating it when missing; nullptr when the name is not a valid key name.
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

    bool operator==(const CRegistryKey& other) const;

private:
    std::string m_strName;
    std::vector<std::pair<std::string, RegValue>> m_values;
    std::vector<std::unique_ptr<CRegistryKey>> m_subKeys;
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
// short.
class CRegistryHive {
public:
    CRegistryKey& Root() noexcept { return m_root; }
    const CRegistryKey& Root() const noexcept { return m_root; }

    CRegistryKey* FindKey(std::span<const std::string> path) noexcept;
    const CRegistryKey* FindKey(std::span<const std::string> path) const noexcept;
    // Opens the key, creating each missing level; nullptr for an invalid name.
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
