// SPDX-License-Identifier: MIT
// `quorvi settings`: lists the settings as a registry view, shows or changes one value.
#include "CliCommand.h"

#include "base/HotkeyWord.h"
#include "platform/AppProfile.h"
#include "platform/AppSettings.h"
#include "platform/RegistryHive.h"
#include "platform/StartupEntry.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <sstream>

namespace {

using namespace platform;

constexpr int kNameWidth = 22;
constexpr int kTypeWidth = 8;
constexpr int kValueWidth = 20;

std::string Hex(std::uint32_t value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, value);
    return buffer;
}

std::string Number(std::uint32_t value) {
    return std::to_string(value);
}

std::string_view KindName(SettingKind kind) {
    switch (kind) {
    case SettingKind::Word:
        return "16-bit";
    case SettingKind::Dword:
    case SettingKind::Flags:
        return "32-bit";
    case SettingKind::Colour:
        return "colour";
    case SettingKind::String:
        return "string";
    case SettingKind::Pair:
    case SettingKind::JpegDip:
    case SettingKind::Hotkey:
        return "pair";
    case SettingKind::Quad:
        return "quad";
    }
    return "?";
}

RegType StoredType(SettingKind kind) {
    switch (kind) {
    case SettingKind::Word:
    case SettingKind::Dword:
    case SettingKind::Flags:
    case SettingKind::Colour:
        return RegType::Dword;
    default:
        return RegType::String;
    }
}

std::string FieldText(const SettingField& field, CAppSettings& settings) {
    switch (field.kind) {
    case SettingKind::Word:
        return Number(settings.*std::get<std::uint16_t CAppSettings::*>(field.member));
    case SettingKind::Dword:
        return Number(settings.*std::get<std::uint32_t CAppSettings::*>(field.member));
    case SettingKind::Flags:
    case SettingKind::Colour:
        return Hex(settings.*std::get<std::uint32_t CAppSettings::*>(field.member), 8);
    case SettingKind::String:
        return QuoteHiveString(settings.*std::get<std::string CAppSettings::*>(field.member));
    case SettingKind::Pair:
    case SettingKind::JpegDip: {
        const SizeValue& v = settings.*std::get<SizeValue CAppSettings::*>(field.member);
        return std::to_string(v.cx) + ", " + std::to_string(v.cy);
    }
    case SettingKind::Quad: {
        const RectValue& v = settings.*std::get<RectValue CAppSettings::*>(field.member);
        return std::to_string(v.left) + ", " + std::to_string(v.top) + ", " +
               std::to_string(v.right) + ", " + std::to_string(v.bottom);
    }
    case SettingKind::Hotkey: {
        const std::uint16_t word = settings.Hotkeys()[static_cast<std::size_t>(field.nHotkeyIndex)];
        return std::to_string(field.nHotkeyIndex) + ", " + std::to_string(word);
    }
    }
    return {};
}

std::string GenericText(const RegValue& value) {
    switch (TypeOf(value)) {
    case RegType::String:
        return QuoteHiveString(std::get<std::string>(value));
    case RegType::Dword:
        return Number(std::get<std::uint32_t>(value));
    case RegType::Binary: {
        std::string text;
        for (std::uint8_t b : std::get<RegBinary>(value)) {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%s%02x", text.empty() ? "" : " ", b);
            text += buffer;
        }
        return text.empty() ? "(empty)" : text;
    }
    }
    return {};
}

void PrintLine(std::ostream& out, std::string_view name, std::string_view type,
               std::string_view text, std::string_view note = {}) {
    std::string padded(name);
    padded.resize(std::max<std::size_t>(padded.size() + 1, kNameWidth), ' ');
    std::string typePadded(type);
    typePadded.resize(std::max<std::size_t>(typePadded.size() + 1, kTypeWidth), ' ');
    out << "  " << padded << typePadded << text;
    if (!note.empty())
        out << std::string(text.size() < kValueWidth ? kValueWidth - text.size() : 1, ' ') << note;
    out << "\n";
}

// What the file holds for a field: nothing, the right type, or another type ("" without a key).
std::string StorageNote(const CRegistryKey* appKey, const SettingField& field) {
    if (!appKey)
        return {};
    const CRegistryKey* section = appKey->FindSubKey(field.section);
    const RegValue* value = section ? section->FindValue(field.name) : nullptr;
    if (!value)
        return "(default)";
    if (TypeOf(*value) != StoredType(field.kind))
        return "(stored as " + std::string(TypeName(TypeOf(*value))) + ": ignored)";
    return {};
}

std::string Notes(const SettingField& field, const CAppSettings& settings,
                  const CRegistryKey* appKey) {
    std::string notes;
    if (field.kind == SettingKind::Hotkey) {
        const std::uint16_t word = settings.Hotkeys()[static_cast<std::size_t>(field.nHotkeyIndex)];
        notes = word != 0 ? base::HotkeyText(word) : "None";
    }
    const std::string storage = StorageNote(appKey, field);
    return notes.empty() || storage.empty() ? notes + storage : notes + "  " + storage;
}

void PrintGenericValues(std::ostream& out, const CRegistryKey& key, std::string_view section) {
    bool bHeader = false;
    for (const auto& [name, value] : key.Values()) {
        if (FindSettingField(section, name))
            continue;
        if (!bHeader)
            out << "\n[" << (section.empty() ? "(application key)" : std::string(section)) << "]\n";
        bHeader = true;
        PrintLine(out, name.empty() ? "@" : name, TypeName(TypeOf(value)), GenericText(value));
    }
}

int ListSettings(const HiveLocations& where) {
    CAppSettings settings;
    settings.Load(where);
    CRegistryStore store(CRegistryStore::Direction::Load, where);
    if (!store.OpenCurrentUserRoot()) // the values below are then the defaults
        std::cerr << "quorvi settings: warning: " << store.LastError() << "\n";
    const CRegistryKey* appKey = store.SectionKey();
    std::error_code ec;
    std::ostream& out = std::cout;
    out << "Settings file:  " << where.userHive.string()
        << (std::filesystem::exists(where.userHive, ec) ? "" : " (not written yet)") << "\n"
        << "Registry key:   " << JoinKeyPath(ApplicationKeyPath()) << "\n"
        << "Program path:   " << settings.ProgramPath() << "\n"
        << "Start-up entry: " << (QueryStartupEntry() ? "on" : "off") << " ("
        << StartupEntryPath().string() << ")\n";
    std::string_view section;
    for (const SettingField& field : SettingFields()) {
        if (field.section != section) {
            section = field.section;
            out << "\n[" << section << "]\n";
        }
        PrintLine(out, field.name, KindName(field.kind), FieldText(field, settings),
                  Notes(field, settings, appKey));
    }
    if (appKey) {
        PrintGenericValues(out, *appKey, "");
        for (const auto& sub : appKey->SubKeys())
            PrintGenericValues(out, *sub, sub->Name());
    }
    return cli::kExitOk;
}

std::optional<std::uint64_t> ParseUnsigned(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

[[noreturn]] void Usage(std::string message) {
    throw cli::UsageError{std::move(message)};
}

void CheckRange(const SettingField& field, std::int64_t value) {
    if (field.HasRange() && (value < field.nMin || value > field.nMax))
        Usage(std::string(field.name) + " must be between " + std::to_string(field.nMin) + " and " +
              std::to_string(field.nMax));
}

std::uint64_t ParseNumberValue(const SettingField& field, std::string_view text,
                               std::uint64_t nTypeMax) {
    const auto value = ParseUnsigned(text);
    if (!value || *value > nTypeMax)
        Usage(std::string(field.name) + " takes a " + std::string(KindName(field.kind)) +
              " number (0 to " + std::to_string(nTypeMax) + "), not '" + std::string(text) + "'");
    CheckRange(field, static_cast<std::int64_t>(*value));
    return *value;
}

std::vector<std::int32_t> ParseNumbers(const SettingField& field, std::string_view text,
                                       std::size_t nCount) {
    std::vector<std::int32_t> numbers;
    for (std::string_view token : SplitNumberTokens(text)) {
        const auto n = ParseNumberToken(token);
        if (!n)
            Usage(std::string(field.name) + ": '" + std::string(token) +
                  "' is not a 32-bit decimal number");
        CheckRange(field, *n);
        numbers.push_back(*n);
    }
    if (numbers.size() != nCount)
        Usage(std::string(field.name) + " takes " + std::to_string(nCount) + " numbers, like \"" +
              (nCount == 2 ? "10, 20" : "120, 120, 120, 120") + "\"");
    return numbers;
}

std::uint16_t ParseHotkeyValue(const SettingField& field, std::string_view text) {
    // A number is the word itself ("0" is no hotkey, not the key 0), two numbers the stored pair,
    // anything else a key name.
    if (ParseUnsigned(text))
        return static_cast<std::uint16_t>(ParseNumberValue(field, text, 0xFFFF));
    if (SplitNumberTokens(text).size() != 2 || !ParseNumberToken(SplitNumberTokens(text)[0])) {
        if (NamesEqual(text, "None"))
            return 0;
        if (auto word = base::ParseHotkeyText(text))
            return *word;
        Usage(std::string(field.name) + " takes a key like Ctrl+Alt+S, None, a word number or \"" +
              std::to_string(field.nHotkeyIndex) + ", WORD\", not '" + std::string(text) + "'");
    }
    const auto pair = ParseNumbers(field, text, 2);
    if (pair[0] != field.nHotkeyIndex)
        Usage(std::string(field.name) + " is hotkey " + std::to_string(field.nHotkeyIndex) +
              "; give \"" + std::to_string(field.nHotkeyIndex) +
              ", WORD\" or a key like Ctrl+Alt+S");
    if (pair[1] < 0 || pair[1] > 0xFFFF)
        Usage(std::string(field.name) + ": a hotkey word is 0 to 65535");
    return static_cast<std::uint16_t>(pair[1]);
}

void CheckText(const SettingField& field, std::string_view text) {
    if (CountCharacters(text) > field.nMaxChars)
        Usage(std::string(field.name) + " takes at most " + std::to_string(field.nMaxChars) +
              " characters");
    // A relative folder would depend on the folder each program happens to run in.
    if (field.textRule == TextRule::AbsolutePath && !IsAbsolutePathSetting(text))
        Usage(std::string(field.name) + " takes a full path starting with /, not '" +
              std::string(text) + "'");
    if (field.textRule == TextRule::NamePart && !IsNamePartSetting(text))
        Usage(std::string(field.name) + " is the start of a file name and cannot hold '/': '" +
              std::string(text) + "'");
}

void AssignField(const SettingField& field, CAppSettings& settings, std::string_view text) {
    using S = CAppSettings;
    switch (field.kind) {
    case SettingKind::Word:
        settings.*std::get<std::uint16_t S::*>(field.member) =
            static_cast<std::uint16_t>(ParseNumberValue(field, text, 0xFFFF));
        return;
    case SettingKind::Dword:
    case SettingKind::Flags:
    case SettingKind::Colour:
        settings.*std::get<std::uint32_t S::*>(field.member) =
            static_cast<std::uint32_t>(ParseNumberValue(field, text, 0xFFFFFFFF));
        return;
    case SettingKind::String:
        CheckText(field, text);
        settings.*std::get<std::string S::*>(field.member) = std::string(text);
        return;
    case SettingKind::Pair:
    case SettingKind::JpegDip: {
        const auto n = ParseNumbers(field, text, 2);
        settings.*std::get<SizeValue S::*>(field.member) = {n[0], n[1]};
        return;
    }
    case SettingKind::Quad: {
        const auto n = ParseNumbers(field, text, 4);
        settings.*std::get<RectValue S::*>(field.member) = {n[0], n[1], n[2], n[3]};
        return;
    }
    case SettingKind::Hotkey:
        settings.Hotkeys()[static_cast<std::size_t>(field.nHotkeyIndex)] =
            ParseHotkeyValue(field, text);
        return;
    }
}

RegBinary ParseBytes(std::string_view name, std::string_view text) {
    RegBinary bytes;
    for (std::string_view token : SplitNumberTokens(text)) {
        std::uint8_t byte = 0;
        const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), byte, 16);
        if (token.size() > 2 || ec != std::errc() || end != token.data() + token.size())
            Usage(std::string(name) + " takes hex bytes like \"01 ff 20\", not '" +
                  std::string(token) + "'");
        bytes.push_back(byte);
    }
    return bytes;
}

// A value outside the record (recent files, workspace settings) keeps the type it is stored with.
int SetStoredValue(const HiveLocations& where, std::string_view section, std::string_view name,
                   std::string_view text) {
    CRegistryStore store(CRegistryStore::Direction::Load, where);
    const RegValue* stored = nullptr;
    if (store.OpenCurrentUserRoot() && store.OpenSection(section) && store.SectionKey())
        stored = store.SectionKey()->FindValue(name);
    if (!stored)
        Usage("unknown setting '" + std::string(section) + "/" + std::string(name) +
              "'; run 'quorvi settings' for the list");
    CAppProfile profile(where);
    bool bOk = false;
    switch (TypeOf(*stored)) {
    case RegType::String:
        bOk = profile.WriteProfileString(section, name, text);
        break;
    case RegType::Dword: {
        const auto value = ParseUnsigned(text);
        if (!value || *value > 0xFFFFFFFF)
            Usage(std::string(name) + " takes a 32-bit number, not '" + std::string(text) + "'");
        bOk = profile.WriteProfileInt(section, name, static_cast<std::uint32_t>(*value));
        break;
    }
    case RegType::Binary:
        bOk = profile.WriteProfileBinary(section, name, ParseBytes(name, text));
        break;
    }
    if (!bOk) {
        std::cerr << "quorvi settings: " << profile.LastError() << "\n";
        return cli::kExitFailure;
    }
    return cli::kExitOk;
}

std::pair<std::string, std::string> SplitSettingName(std::string_view arg) {
    const std::size_t slash = arg.rfind('/');
    if (slash == std::string_view::npos || slash + 1 == arg.size())
        Usage("name the setting as SECTION/NAME, e.g. CaptureOptions/JPEGQuality");
    return {std::string(arg.substr(0, slash)), std::string(arg.substr(slash + 1))};
}

int ShowOrSetSetting(const HiveLocations& where, std::span<const std::string> args) {
    const auto [section, name] = SplitSettingName(args[0]);
    const SettingField* field = FindSettingField(section, name);
    CAppSettings settings;
    if (args.size() == 1) {
        if (!field)
            Usage("unknown setting '" + args[0] + "'; run 'quorvi settings' for the list");
        settings.Load(where);
        PrintLine(std::cout, field->name, KindName(field->kind), FieldText(*field, settings),
                  Notes(*field, settings, nullptr));
        return cli::kExitOk;
    }
    if (!field)
        return SetStoredValue(where, section, name, args[1]);
    AssignField(*field, settings, args[1]);
    std::string error;
    if (!SaveSettingField(*field, settings, where, &error)) {
        std::cerr << "quorvi settings: " << error << "\n";
        return cli::kExitFailure;
    }
    PrintLine(std::cout, field->name, KindName(field->kind), FieldText(*field, settings),
              Notes(*field, settings, nullptr));
    return cli::kExitOk;
}

int RunSettings(std::span<const std::string> args) {
    const HiveLocations where = HiveLocations::FromEnvironment();
    if (args.empty())
        return ListSettings(where);
    if (args.size() > 2)
        Usage("too many arguments");
    return ShowOrSetSetting(where, args);
}

} // namespace

QUORVI_CLI_COMMAND("settings", "[SECTION/NAME [VALUE]]",
                   "list every setting; show one; or change one (numbers, \"a, b\" pairs, text, "
                   "keys like Ctrl+Alt+S)",
                   RunSettings);
