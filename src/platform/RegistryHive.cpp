// SPDX-License-Identifier: MIT
// The registry hive tree and its text form.
#include "platform/RegistryHive.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace platform {

namespace {

constexpr std::string_view kHeader = "Quorvi Registry Hive 1";
constexpr std::string_view kClosingLine = "; end of hive";
constexpr std::size_t kMaxKeyNameBytes = 255;
constexpr char kHexDigits[] = "0123456789abcdef";

char FoldAscii(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// FNV-1a over the case-folded bytes, then mixed so that the low bits that pick a slot depend on
// every byte.
std::uint32_t FoldedHash(std::string_view name) noexcept {
    std::uint64_t hash = 14695981039346656037ULL;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(FoldAscii(c));
        hash *= 1099511628211ULL;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdULL;
    hash ^= hash >> 33;
    return static_cast<std::uint32_t>(hash);
}

int HexValue(char c) noexcept {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsControl(unsigned char c) noexcept {
    return c < 0x20 || c == 0x7f;
}

bool NeedsEscape(char c) noexcept {
    return c == '\\' || c == '"' || IsControl(static_cast<unsigned char>(c));
}

void AppendHexByte(std::string& out, unsigned char c) {
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 15];
}

std::string EscapeKeyName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsControl(c) || ch == '%' || ch == '[' || ch == ']') {
            out += '%';
            AppendHexByte(out, c);
        } else {
            out += ch;
        }
    }
    return out;
}

std::optional<std::string> UnescapeKeyName(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

// Reads the quoted string starting at text[pos] (a '"'); advances pos past the closing quote.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t& pos, std::string& error) {
    std::string out;
    for (++pos; pos < text.size(); ++pos) {
        const std::size_t special = std::min(text.find_first_of("\"\\", pos), text.size());
        out.append(text.substr(pos, special - pos)); // plain runs in one go
        if ((pos = special) >= text.size())
            break;
        if (text[pos] == '"') {
            ++pos;
            return out;
        }
        if (++pos >= text.size())
            break;
        switch (text[pos]) {
        case '\\':
            out += '\\';
            break;
        case '"':
            out += '"';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            const int hi = pos + 1 < text.size() ? HexValue(text[pos + 1]) : -1;
            const int lo = pos + 2 < text.size() ? HexValue(text[pos + 2]) : -1;
            if (hi < 0 || lo < 0) {
                error = "bad \\x escape";
                return std::nullopt;
            }
            out += static_cast<char>(hi * 16 + lo);
            pos += 2;
            break;
        }
        default:
            error = "unknown escape";
            return std::nullopt;
        }
    }
    error = "unterminated string";
    return std::nullopt;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::optional<RegValue> ParseDword(std::string_view digits, std::string& error) {
    if (digits.empty() || digits.size() > 8) {
        error = "a dword needs 1 to 8 hex digits";
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : digits) {
        const int d = HexValue(c);
        if (d < 0) {
            error = "bad hex digit in dword";
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return RegValue(value);
}

std::optional<RegValue> ParseBinary(std::string_view list, std::string& error) {
    RegBinary bytes;
    list = TrimBlanks(list);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = TrimBlanks(list.substr(0, comma));
        const int hi = item.size() == 2 ? HexValue(item[0]) : -1;
        const int lo = item.size() == 2 ? HexValue(item[1]) : -1;
        if (hi < 0 || lo < 0) {
            error = "bad byte in hex list";
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
        if (TrimBlanks(list).empty()) {
            error = "hex list ends with a comma";
            return std::nullopt;
        }
    }
    return RegValue(std::move(bytes));
}

// Parses the data after "name=".
std::optional<RegValue> ParseData(std::string_view data, std::string& error) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 0;
        auto text = ReadQuoted(data, pos, error);
        if (!text)
            return std::nullopt;
        if (!TrimBlanks(data.substr(pos)).empty()) {
            error = "text after the closing quote";
            return std::nullopt;
        }
        return RegValue(std::move(*text));
    }
    data = TrimBlanks(data);
    if (data.starts_with("dword:"))
        return ParseDword(data.substr(6), error);
    if (data.starts_with("hex:"))
        return ParseBinary(data.substr(4), error);
    error = "unknown value type";
    return std::nullopt;
}

class CHiveParser {
public:
    explicit CHiveParser(CRegistryHive& hive) : m_hive(hive) {}

    bool ParseLine(std::string_view line, std::string& error) {
        line = TrimBlanks(line);
        if (line.empty() || line.front() == ';')
            return true;
        if (line.front() == '[')
            return ParseKeyLine(line, error);
        if (!m_pKey) {
            error = "value before the first key";
            return false;
        }
        return ParseValueLine(line, error);
    }

private:
    bool ParseKeyLine(std::string_view line, std::string& error) {
        if (line.size() < 2 || line.back() != ']') {
            error = "key line without ']'";
            return false;
        }
        const std::string_view inner = line.substr(1, line.size() - 2);
        std::vector<std::string> path;
        std::size_t start = 0;
        while (!inner.empty() && start <= inner.size()) {
            if (path.size() == kMaxKeyDepth) {
                error = "keys nest deeper than " + std::to_string(kMaxKeyDepth) + " levels";
                return false;
            }
            const std::size_t end = std::min(inner.find('\\', start), inner.size());
            auto name = UnescapeKeyName(inner.substr(start, end - start));
            if (!name || !IsValidKeyName(*name)) {
                error = "bad key name";
                return false;
            }
            path.push_back(std::move(*name));
            start = end + 1;
        }
        return OpenKey(path, error);
    }

    bool OpenKey(std::span<const std::string> path, std::string& error) {
        m_pKey = &m_hive.Root();
        for (const auto& name : path) {
            CRegistryKey* sub = m_pKey->FindSubKey(name);
            if (!sub && ++m_nKeys > kMaxHiveKeys) {
                error = "more than " + std::to_string(kMaxHiveKeys) + " keys";
                return false;
            }
            m_pKey = sub ? sub : m_pKey->CreateSubKey(name);
        }
        return m_pKey != nullptr;
    }

    bool ParseValueLine(std::string_view line, std::string& error) {
        std::string name;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (line.front() == '"') {
            auto quoted = ReadQuoted(line, pos, error);
            if (!quoted)
                return false;
            name = std::move(*quoted);
        } else {
            error = "unexpected text";
            return false;
        }
        const std::string_view rest = TrimBlanks(line.substr(pos));
        if (rest.empty() || rest.front() != '=') {
            error = "'=' missing after the value name";
            return false;
        }
        auto value = ParseData(TrimBlanks(rest.substr(1)), error);
        if (!value)
            return false;
        m_pKey->SetValue(name, std::move(*value));
        return true;
    }

    CRegistryHive& m_hive;
    CRegistryKey* m_pKey = nullptr;
    std::size_t m_nKeys = 0;
};

// Calls itself once per level: at most kMaxKeyDepth deep.
void SerializeKey(const CRegistryKey& key, std::vector<std::string>& path, std::string& out) {
    out += "\n[";
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i)
            out += '\\';
        out += EscapeKeyName(path[i]);
    }
    out += "]\n";
    for (const auto& [name, value] : key.Values()) {
        out += name.empty() ? std::string("@") : QuoteHiveString(name);
        out += '=';
        if (const auto* text = std::get_if<std::string>(&value)) {
            out += QuoteHiveString(*text);
        } else if (const auto* dword = std::get_if<std::uint32_t>(&value)) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(*dword));
            out += buffer;
        } else {
            out += "hex:";
            const auto& bytes = std::get<RegBinary>(value);
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                if (i)
                    out += ',';
                AppendHexByte(out, bytes[i]);
            }
        }
        out += '\n';
    }
    for (const auto& sub : key.SubKeys()) {
        path.push_back(sub->Name());
        SerializeKey(*sub, path, out);
        path.pop_back();
    }
}

} // namespace

std::string_view TypeName(RegType type) noexcept {
    switch (type) {
    case RegType::String:
        return "string";
    case RegType::Dword:
        return "32-bit";
    case RegType::Binary:
        return "binary";
    }
    return "?";
}

bool NamesEqual(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldAscii(x) == FoldAscii(y);
           });
}

bool IsValidKeyName(std::string_view name) noexcept {
    return !name.empty() && name.size() <= kMaxKeyNameBytes &&
           name.find('\\') == std::string_view::npos;
}

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    if (path.empty())
        return parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (!IsValidKeyName(part))
            return std::nullopt;
        parts.emplace_back(part);
        start = end + 1;
    }
    return parts;
}

std::string JoinKeyPath(std::span<const std::string> path) {
    std::string out;
    for (const auto& part : path) {
        if (!out.empty())
            out += '\\';
        out += part;
    }
    return out;
}

std::string QuoteHiveString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t run = i;
        while (i < text.size() && !NeedsEscape(text[i]))
            ++i;
        out.append(text.substr(run, i - run));
        if (i == text.size())
            break;
        const char ch = text[i];
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (IsControl(c)) {
                out += "\\x";
                AppendHexByte(out, c);
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

template <class NameAt>
std::size_t CNameIndex::Find(std::string_view name, const NameAt& nameAt) const {
    if (m_slots.empty())
        return npos;
    const std::uint32_t nHash = FoldedHash(name);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = nHash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.nPositionPlusOne == 0)
            return npos;
        if (slot.nHash == nHash && NamesEqual(nameAt(slot.nPositionPlusOne - 1), name))
            return slot.nPositionPlusOne - 1;
    }
}

void CNameIndex::Add(std::string_view name, std::size_t position) {
    if ((m_nCount + 1) * 2 > m_slots.size())
        Grow();
    Place({FoldedHash(name), static_cast<std::uint32_t>(position + 1)});
    ++m_nCount;
}

template <class NameAt> void CNameIndex::Rebuild(std::size_t nCount, const NameAt& nameAt) {
    std::fill(m_slots.begin(), m_slots.end(), Slot{});
    m_nCount = 0;
    for (std::size_t i = 0; i < nCount; ++i)
        Add(nameAt(i), i);
}

void CNameIndex::Grow() {
    std::vector<Slot> old(std::max<std::size_t>(8, m_slots.size() * 2));
    old.swap(m_slots);
    for (const Slot& slot : old)
        if (slot.nPositionPlusOne != 0)
            Place(slot);
}

void CNameIndex::Place(Slot slot) noexcept {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = slot.nHash & mask;
    while (m_slots[i].nPositionPlusOne != 0)
        i = (i + 1) & mask;
    m_slots[i] = slot;
}

CRegistryKey* CRegistryKey::FindSubKey(std::string_view name) noexcept {
    const std::size_t at = m_subKeyIndex.Find(
        name, [this](std::size_t i) -> std::string_view { return m_subKeys[i]->m_strName; });
    return at == CNameIndex::npos ? nullptr : m_subKeys[at].get();
}

const CRegistryKey* CRegistryKey::FindSubKey(std::string_view name) const noexcept {
    return const_cast<CRegistryKey*>(this)->FindSubKey(name);
}

CRegistryKey* CRegistryKey::CreateSubKey(std::string_view name) {
    if (!IsValidKeyName(name))
        return nullptr;
    if (CRegistryKey* existing = FindSubKey(name))
        return existing;
    if (m_nDepth >= kMaxKeyDepth)
        return nullptr;
    auto sub = std::make_unique<CRegistryKey>(std::string(name));
    sub->m_nDepth = m_nDepth + 1;
    m_subKeyIndex.Add(name, m_subKeys.size());
    m_subKeys.push_back(std::move(sub));
    return m_subKeys.back().get();
}

bool CRegistryKey::DeleteSubKey(std::string_view name) {
    auto subKeyName = [this](std::size_t i) -> std::string_view { return m_subKeys[i]->m_strName; };
    const std::size_t at = m_subKeyIndex.Find(name, subKeyName);
    if (at == CNameIndex::npos)
        return false;
    m_subKeys.erase(m_subKeys.begin() + static_cast<std::ptrdiff_t>(at));
    m_subKeyIndex.Rebuild(m_subKeys.size(), subKeyName);
    return true;
}

const RegValue* CRegistryKey::FindValue(std::string_view name) const noexcept {
    const std::size_t at = m_valueIndex.Find(
        name, [this](std::size_t i) -> std::string_view { return m_values[i].first; });
    return at == CNameIndex::npos ? nullptr : &m_values[at].second;
}

void CRegistryKey::SetValue(std::string_view name, RegValue value) {
    const std::size_t at = m_valueIndex.Find(
        name, [this](std::size_t i) -> std::string_view { return m_values[i].first; });
    if (at != CNameIndex::npos) {
        m_values[at].second = std::move(value);
        return;
    }
    m_valueIndex.Add(name, m_values.size());
    m_values.emplace_back(std::string(name), std::move(value));
}

bool CRegistryKey::DeleteValue(std::string_view name) {
    auto valueName = [this](std::size_t i) -> std::string_view { return m_values[i].first; };
    const std::size_t at = m_valueIndex.Find(name, valueName);
    if (at == CNameIndex::npos)
        return false;
    m_values.erase(m_values.begin() + static_cast<std::ptrdiff_t>(at));
    m_valueIndex.Rebuild(m_values.size(), valueName);
    return true;
}

bool CRegistryKey::operator==(const CRegistryKey& other) const {
    if (m_strName != other.m_strName || m_values != other.m_values ||
        m_subKeys.size() != other.m_subKeys.size())
        return false;
    for (std::size_t i = 0; i < m_subKeys.size(); ++i)
        if (!(*m_subKeys[i] == *other.m_subKeys[i]))
            return false;
    return true;
}

CRegistryKey* CRegistryHive::FindKey(std::span<const std::string> path) noexcept {
    CRegistryKey* key = &m_root;
    for (const auto& part : path)
        if (!(key = key->FindSubKey(part)))
            return nullptr;
    return key;
}

const CRegistryKey* CRegistryHive::FindKey(std::span<const std::string> path) const noexcept {
    return const_cast<CRegistryHive*>(this)->FindKey(path);
}

CRegistryKey* CRegistryHive::CreateKey(std::span<const std::string> path) {
    if (path.size() > kMaxKeyDepth)
        return nullptr;
    if (!std::all_of(path.begin(), path.end(), [](const auto& p) { return IsValidKeyName(p); }))
        return nullptr;
    CRegistryKey* key = &m_root;
    for (const auto& part : path)
        key = key->CreateSubKey(part);
    return key;
}

std::string CRegistryHive::Serialize() const {
    std::string out(kHeader);
    out += "\n; Settings of Quorvi Studio. The program rewrites this file when it exits.\n";
    std::vector<std::string> path;
    if (!m_root.Values().empty()) {
        SerializeKey(m_root, path, out); // "[]": values on the root itself
    } else {
        for (const auto& sub : m_root.SubKeys()) {
            path.assign(1, sub->Name());
            SerializeKey(*sub, path, out);
        }
    }
    out += '\n';
    out += kClosingLine;
    out += '\n';
    return out;
}

std::optional<CRegistryHive> CRegistryHive::Parse(std::string_view text, std::string* pError) {
    std::string error;
    auto fail = [&](std::size_t lineNo, std::string_view why) -> std::optional<CRegistryHive> {
        if (pError)
            *pError = lineNo ? "line " + std::to_string(lineNo) + ": " + std::string(why)
                             : std::string(why);
        return std::nullopt;
    };
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    CRegistryHive hive;
    CHiveParser parser(hive);
    std::string_view lastLine;
    std::size_t lineNo = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        ++lineNo;
        if (lineNo == 1) {
            if (TrimBlanks(line) != kHeader)
                return fail(0, "not a Quorvi registry hive (first line)");
            continue;
        }
        if (!parser.ParseLine(line, error))
            return fail(lineNo, error);
        if (!TrimBlanks(line).empty())
            lastLine = TrimBlanks(line);
    }
    if (lineNo == 0)
        return fail(0, "empty file");
    if (lastLine != kClosingLine)
        return fail(0, "the file ends before its closing line");
    return hive;
}

} // namespace platform
