// SPDX-License-Identifier: MIT
// The settings record: its field table and the load and save passes over the registry.
#include "platform/AppSettings.h"

#include "platform/XdgPaths.h"

#include <algorithm>

namespace platform {

namespace {

constexpr std::string_view kPrintLayout = "PrintLayout";
constexpr std::string_view kHotkey = "Hotkey";
constexpr std::string_view kCaptureOptions = "CaptureOptions";

// Control, Circle and SingleWindow have no key of their own: the obvious choices (Ctrl+N,
// Ctrl+Shift+C, Ctrl+Shift+S) are New, terminal Copy and Save As everywhere, and a global grab
// would take them from every program, this one's File New included.
constexpr std::uint16_t kDefaultHotkeys[kCaptureActionCount] = {
    0x202C, // ActiveWindow: Alt+Print Screen
    0xE043, // ActiveWindowClient: Ctrl+Shift+Alt+C
    0x0000, // Control: none
    0xA053, // Square: Ctrl+Alt+S
    0xA052, // Rectangle: Ctrl+Alt+R
    0x0000, // Circle: none
    0xA045, // Ellipse: Ctrl+Alt+E
    0xA050, // Polygon: Ctrl+Alt+P
    0xC04D, // PopupMenu: Ctrl+Shift+M
    0xA044, // Desktop: Ctrl+Alt+D
    0x0000, // SingleWindow: none
    0xC04C, // RepeatLast: Ctrl+Shift+L
    0x002C, // Default: Print Screen
};

using S = CAppSettings;

SettingField Hotkey(std::string_view name, int index) {
    return {kHotkey, name, SettingKind::Hotkey, {}, CRegistryStore::kNoLimit, index};
}

SettingField Ranged(SettingField field, std::int64_t nMin, std::int64_t nMax,
                    OutOfRange outOfRange = OutOfRange::Clamp) {
    field.nMin = nMin;
    field.nMax = nMax;
    field.outOfRange = outOfRange;
    return field;
}

SettingField Length(std::string_view name, SettingKind kind, SettingMember member) {
    return Ranged({kPrintLayout, name, kind, member}, 0, kMaxLayoutLength);
}

SettingField Colour(std::string_view name, std::uint32_t S::*member) {
    return Ranged({kCaptureOptions, name, SettingKind::Colour, member}, 0, 0x00FFFFFF);
}

SettingField Text(std::string_view name, std::string S::*member, std::size_t nMaxChars,
                  TextRule rule) {
    SettingField field{kCaptureOptions, name, SettingKind::String, member, nMaxChars};
    field.textRule = rule;
    return field;
}

const SettingField kFields[] = {
    Length("SizePage", SettingKind::Pair, &S::m_sizePage),
    Length("SizePrint", SettingKind::Pair, &S::m_sizePrint),
    Ranged({kPrintLayout, "ImageCenterFlag", SettingKind::Word, &S::m_wImageCenterFlag}, 0, 3,
           OutOfRange::Default),
    {kPrintLayout, "Title", SettingKind::String, &S::m_strTitle, 255},
    Ranged({kPrintLayout, "PrintMode", SettingKind::Dword, &S::m_dwPrintMode}, 1, 4,
           OutOfRange::Default),
    {kPrintLayout, "TitleAlign", SettingKind::Word, &S::m_wTitleAlign}, // stored, never used
    Length("Margins", SettingKind::Quad, &S::m_rcMargins),
    Hotkey("ActiveWindow", ActiveWindow),
    Hotkey("ActiveWindowClient", ActiveWindowClient),
    Hotkey("Control", Control),
    Hotkey("Square", Square),
    Hotkey("Rectangle", Rectangle),
    Hotkey("Circle", Circle),
    Hotkey("Ellipse", Ellipse),
    Hotkey("Polygon", Polygon),
    Hotkey("PopupMenu", PopupMenu),
    Hotkey("Desktop", Desktop),
    Hotkey("SingleWindow", SingleWindow),
    Hotkey("RepeatLast", RepeatLast),
    Hotkey("Default", Default),
    {kCaptureOptions, "OptionsA", SettingKind::Flags, &S::m_dwOptionsA},
    Colour("ColorViewBackground", &S::m_crViewBackground),
    Colour("ColorImageBackground", &S::m_crImageBackground),
    Colour("ColorTransparency", &S::m_crTransparency),
    Ranged(
        {kCaptureOptions, "DefaultCaptureAction", SettingKind::Dword, &S::m_dwDefaultCaptureAction},
        0, 10, OutOfRange::Default),
    Ranged({kCaptureOptions, "CaptureDelayTime", SettingKind::Word, &S::m_wCaptureDelayTime}, 0,
           5000),
    Ranged({kCaptureOptions, "JPEGOptimizeCoding", SettingKind::Word, &S::m_wJPEGOptimizeCoding}, 0,
           1),
    Ranged({kCaptureOptions, "JPEGQuality", SettingKind::Word, &S::m_wJPEGQuality}, 0, 100),
    Ranged({kCaptureOptions, "JPEGSmootingFactor", SettingKind::Word, &S::m_wJPEGSmootingFactor}, 0,
           100),
    // The options page's bound; the writer could store up to 65535.
    Ranged({kCaptureOptions, "JPEGDIP", SettingKind::JpegDip, &S::m_sizeJPEGDIP}, 0, 10000),
    Text("AutoSavePath", &S::m_strAutoSavePath, 259, TextRule::AbsolutePath),
    Text("AutoSaveLeadFileName", &S::m_strAutoSaveLeadFileName, 127, TextRule::NamePart),
    {kCaptureOptions, "AutoSaveOptions", SettingKind::Flags, &S::m_dwAutoSaveOptions},
    Ranged({kCaptureOptions, "AutoSaveDigitCount", SettingKind::Word, &S::m_wAutoSaveDigitCount}, 2,
           6),
    // Without wrapping, the counter after the name 999999 is 1000000 and stays there: clamping
    // it to 999999 would hand out that name again.
    Ranged({kCaptureOptions, "AutoSaveStartNO", SettingKind::Dword, &S::m_dwAutoSaveStartNO}, 1,
           999999, OutOfRange::Counter),
    Ranged({kCaptureOptions, "AutoSaveImageType", SettingKind::Dword, &S::m_dwAutoSaveImageType}, 0,
           4, OutOfRange::Default),
    Ranged({kCaptureOptions, "UndoMemoryMB", SettingKind::Dword, &S::m_dwUndoMemoryMB}, 0, 1 << 20),
};

// (index read) modulo 35, never negative: a stored index of -1 must not reach outside the table.
std::size_t HotkeySlot(std::int32_t index) {
    const std::int32_t slot = index % static_cast<std::int32_t>(kHotkeyTableSize);
    return static_cast<std::size_t>(slot < 0 ? slot + static_cast<std::int32_t>(kHotkeyTableSize)
                                             : slot);
}

void ExchangeHotkey(CRegistryStore& store, const SettingField& field, HotkeyTable& table) {
    std::int32_t index = field.nHotkeyIndex;
    std::int32_t word = table[static_cast<std::size_t>(field.nHotkeyIndex)];
    store.Pair(field.name, index, word);
    if (store.IsLoading())
        table[HotkeySlot(index)] = static_cast<std::uint16_t>(word & 0xFFFF);
}

// A loaded number brought into the field's range; current is what the field holds.
std::int64_t InRange(const SettingField& field, std::int64_t value, std::int64_t current) {
    if (!field.HasRange() || (value >= field.nMin && value <= field.nMax))
        return value;
    switch (field.outOfRange) {
    case OutOfRange::Default:
        return current;
    case OutOfRange::Counter:
        return std::clamp(value, field.nMin, field.nMax + 1);
    case OutOfRange::Clamp:
        break;
    }
    return std::clamp(value, field.nMin, field.nMax);
}

template <class Number>
void LoadInRange(const SettingField& field, Number& target, std::int64_t value) {
    target = static_cast<Number>(InRange(field, value, target));
}

void ExchangeJpegDip(CRegistryStore& store, const SettingField& field, SizeValue& dip) {
    if (!store.IsLoading())
        return store.Pair(field.name, dip.cx, dip.cy);
    // An absent value therefore gives 0, 0 rather than the record's 720, 720.
    std::int32_t cx = 0, cy = 0;
    store.Pair(field.name, cx, cy);
    if (cx >= 0)
        LoadInRange(field, dip.cx, cx);
    if (cy >= 0)
        LoadInRange(field, dip.cy, cy);
}

void LoadNumber(CRegistryStore& store, const SettingField& field, std::uint32_t& target) {
    std::uint32_t value = target;
    store.Dword(field.name, value);
    if (field.kind == SettingKind::Colour)
        value &= 0x00FFFFFF; // the top byte is no part of a colour
    LoadInRange(field, target, value);
}

void LoadWord(CRegistryStore& store, const SettingField& field, std::uint16_t& target) {
    if (!field.HasRange())
        return store.Word(field.name, target);
    // The whole stored number is checked: 65636 is out of range, not 100.
    std::uint32_t value = target;
    store.Dword(field.name, value);
    target = static_cast<std::uint16_t>(InRange(field, value, target));
}

void LoadText(CRegistryStore& store, const SettingField& field, std::string& target) {
    std::string text = target;
    store.String(field.name, text, field.nMaxChars);
    if (field.textRule == TextRule::NamePart && !IsNamePartSetting(text))
        return;
    if (field.textRule == TextRule::AbsolutePath && !IsAbsolutePathSetting(text)) {
        text = PathFromHome(text, xdg::HomeDir());
        if (CountCharacters(text) > field.nMaxChars) // the next load would cut it elsewhere
            return;
    }
    target = std::move(text);
}

void LoadSize(CRegistryStore& store, const SettingField& field, SizeValue& size) {
    SizeValue read = size;
    store.Pair(field.name, read.cx, read.cy);
    LoadInRange(field, size.cx, read.cx);
    LoadInRange(field, size.cy, read.cy);
}

void LoadRect(CRegistryStore& store, const SettingField& field, RectValue& rect) {
    RectValue read = rect;
    store.Quad(field.name, read.left, read.top, read.right, read.bottom);
    LoadInRange(field, rect.left, read.left);
    LoadInRange(field, rect.top, read.top);
    LoadInRange(field, rect.right, read.right);
    LoadInRange(field, rect.bottom, read.bottom);
}

void LoadSettingField(CRegistryStore& store, const SettingField& field, CAppSettings& settings) {
    switch (field.kind) {
    case SettingKind::Word:
        return LoadWord(store, field, settings.*std::get<std::uint16_t S::*>(field.member));
    case SettingKind::Dword:
    case SettingKind::Flags:
    case SettingKind::Colour:
        return LoadNumber(store, field, settings.*std::get<std::uint32_t S::*>(field.member));
    case SettingKind::String:
        return LoadText(store, field, settings.*std::get<std::string S::*>(field.member));
    case SettingKind::Pair:
        return LoadSize(store, field, settings.*std::get<SizeValue S::*>(field.member));
    case SettingKind::Quad:
        return LoadRect(store, field, settings.*std::get<RectValue S::*>(field.member));
    case SettingKind::Hotkey:
        return ExchangeHotkey(store, field, settings.Hotkeys());
    case SettingKind::JpegDip:
        return ExchangeJpegDip(store, field, settings.*std::get<SizeValue S::*>(field.member));
    }
}

void ExchangeAll(CRegistryStore& store, CAppSettings& settings) {
    std::string_view section;
    for (const SettingField& field : kFields) {
        if (field.section != section) {
            section = field.section;
            store.OpenSection(section);
        }
        ExchangeSettingField(store, field, settings);
    }
}

} // namespace

CAppSettings::CAppSettings(std::string strModulePath)
    : m_strModulePath(std::move(strModulePath)), m_strProgramPath(m_strModulePath),
      m_strDefaultAutoSavePath(DefaultOutputDirectory(m_strModulePath).string()) {
    std::copy(std::begin(kDefaultHotkeys), std::end(kDefaultHotkeys), m_wHotkeyTable.begin());
    m_strAutoSavePath = m_strDefaultAutoSavePath;
    m_jpegWorking = StoredJpegOptions();
}

void CAppSettings::Load(const HiveLocations& locations) {
    {
        CRegistryStore store(CRegistryStore::Direction::Load, locations);
        store.OpenCurrentUserRoot();
        ExchangeAll(store, *this);
    }
    m_strProgramPath = ResolveProgramPath(m_strModulePath, locations);
    m_jpegWorking = StoredJpegOptions();
}

bool CAppSettings::Save(const HiveLocations& locations, std::string* pError) {
    // The hotkey table is refreshed from the hook library here once it owns the live table.
    CRegistryStore store(CRegistryStore::Direction::Save, locations);
    store.OpenCurrentUserRoot();
    ExchangeAll(store, *this);
    if (store.Close())
        return true;
    if (pError)
        *pError = store.LastError();
    return false;
}

void CAppSettings::ApplyStartupCounterReset() {
    if (m_dwAutoSaveOptions & autosave::kResetCounterAtStart)
        m_dwAutoSaveStartNO = 1;
}

bool CAppSettings::SaveAutoSaveCounter(const HiveLocations& locations, std::string* pError) {
    const SettingField* pField = FindSettingField(kCaptureOptions, "AutoSaveStartNO");
    return pField != nullptr && SaveSettingField(*pField, *this, locations, pError);
}

JpegOptions CAppSettings::StoredJpegOptions() const {
    return {m_wJPEGOptimizeCoding, m_wJPEGQuality, m_wJPEGSmootingFactor, m_sizeJPEGDIP};
}

bool IsAbsolutePathSetting(std::string_view text) noexcept {
    return text.empty() || text.front() == '/';
}

bool IsNamePartSetting(std::string_view text) noexcept {
    return text.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::string PathFromHome(std::string_view path, const std::filesystem::path& home) {
    if (path == "~")
        return home.string();
    if (path.starts_with("~/"))
        path.remove_prefix(2);
    return (home / path).string();
}

std::span<const SettingField> SettingFields() {
    return kFields;
}

const SettingField* FindSettingField(std::string_view section, std::string_view name) {
    for (const SettingField& field : kFields)
        if (NamesEqual(field.section, section) && NamesEqual(field.name, name))
            return &field;
    return nullptr;
}

void ExchangeSettingField(CRegistryStore& store, const SettingField& field,
                          CAppSettings& settings) {
    if (store.IsLoading())
        return LoadSettingField(store, field, settings);
    switch (field.kind) {
    case SettingKind::Word:
        return store.Word(field.name, settings.*std::get<std::uint16_t S::*>(field.member));
    case SettingKind::Dword:
    case SettingKind::Flags:
    case SettingKind::Colour:
        return store.Dword(field.name, settings.*std::get<std::uint32_t S::*>(field.member));
    case SettingKind::String:
        return store.String(field.name, settings.*std::get<std::string S::*>(field.member),
                            field.nMaxChars);
    case SettingKind::Pair: {
        SizeValue& size = settings.*std::get<SizeValue S::*>(field.member);
        return store.Pair(field.name, size.cx, size.cy);
    }
    case SettingKind::Quad: {
        RectValue& rect = settings.*std::get<RectValue S::*>(field.member);
        return store.Quad(field.name, rect.left, rect.top, rect.right, rect.bottom);
    }
    case SettingKind::Hotkey:
        return ExchangeHotkey(store, field, settings.Hotkeys());
    case SettingKind::JpegDip:
        return ExchangeJpegDip(store, field, settings.*std::get<SizeValue S::*>(field.member));
    }
}

bool SaveSettingField(const SettingField& field, CAppSettings& settings,
                      const HiveLocations& locations, std::string* pError) {
    CRegistryStore store(CRegistryStore::Direction::Save, locations);
    store.OpenCurrentUserRoot();
    store.OpenSection(field.section);
    ExchangeSettingField(store, field, settings);
    if (store.Close())
        return true;
    if (pError)
        *pError = store.LastError();
    return false;
}

} // namespace platform
