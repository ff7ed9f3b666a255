// SPDX-License-Identifier: MIT
// CAppSettings: the settings record of the application object, with its defaults, its registry
// sections and the order in which they are loaded and saved.
#pragma once

#include "platform/CaptureAction.h"
#include "platform/ProgramPaths.h"
#include "platform/RegistryStore.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace platform {

struct SizeValue {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    bool operator==(const SizeValue&) const = default;
};

struct RectValue {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const RectValue&) const = default;
};

// The five JPEG options: the stored set drives automatic saves, a working copy the save dialog.
struct JpegOptions {
    std::uint16_t wOptimizeCoding = 0; // 1 = optimal Huffman tables
    std::uint16_t wQuality = 95;
    std::uint16_t wSmoothingFactor = 0;
    SizeValue sizeDip; // resolution written into JPEG files, dots per inch
    bool operator==(const JpegOptions&) const = default;
};

// "OptionsA" flag bits.
namespace options {
inline constexpr std::uint32_t kPlaySound = 0x00001;
inline constexpr std::uint32_t kStartHidden = 0x00002;
inline constexpr std::uint32_t kShowAfterCapture = 0x00008;
inline constexpr std::uint32_t kIncludePointer = 0x00010;
inline constexpr std::uint32_t kOpenImageWindow = 0x00020;
inline constexpr std::uint32_t kCopyToClipboard = 0x00040;
inline constexpr std::uint32_t kPrintCapture = 0x00080;
inline constexpr std::uint32_t kPrintWithoutDialog = 0x00100;
inline constexpr std::uint32_t kSaveToFile = 0x00200;
inline constexpr std::uint32_t kAutoNameFile = 0x00400;
inline constexpr std::uint32_t kAskBeforeDiscard = 0x01000;
inline constexpr std::uint32_t kClearRecentAtExit = 0x40000;
inline constexpr std::uint32_t kMinimizeToTray = 0x80000;
} // namespace options

// "AutoSaveOptions" flag bits.
namespace autosave {
inline constexpr std::uint32_t kReplaceExisting = 0x1;
inline constexpr std::uint32_t kResetCounterAtStart = 0x2;
inline constexpr std::uint32_t kWrapCounter = 0x4;
} // namespace autosave

// The hotkey words of the capture actions, indexed by CaptureAction; entries 13 to 34 are spare.
inline constexpr std::size_t kHotkeyTableSize = 35;
using HotkeyTable = std::array<std::uint16_t, kHotkeyTableSize>;

class CAppSettings {
public:
    // Every field at its default; modulePath is the running program, whose folder decides the
    // default "AutoSavePath".
    explicit CAppSettings(std::string strModulePath = RunningModulePath());

    // One load pass: "PrintLayout", "Hotkey", "CaptureOptions", then "InstallPath" from the
    // machine root; finally the working JPEG options are copied from the stored ones. Values that
    // are absent or of another type keep their defaults; the others are brought into their
    // ranges and rules as each SettingField says.
    void Load(const HiveLocations& locations = HiveLocations::FromEnvironment());
    // One save pass in the same order ("InstallPath" is never written). False with the reason in
    // *pError when the file could not be written.
    bool Save(const HiveLocations& locations = HiveLocations::FromEnvironment(),
              std::string* pError = nullptr);

    // Start-up step: with "AutoSaveOptions" 0x2 the counter starts again at 1.
    void ApplyStartupCounterReset();
    // Writes "AutoSaveStartNO" alone, at once: a run that ends without its exit path (killed,
    // the X server gone) must not hand the next run numbers whose files it already wrote.
    bool SaveAutoSaveCounter(const HiveLocations& locations, std::string* pError = nullptr);

    // The hotkey table. This record owns it until the hook library takes it over; Save writes it.
    HotkeyTable& Hotkeys() noexcept { return m_wHotkeyTable; }
    const HotkeyTable& Hotkeys() const noexcept { return m_wHotkeyTable; }
    std::uint16_t Hotkey(CaptureAction action) const { return m_wHotkeyTable[action]; }
    void SetHotkey(CaptureAction action, std::uint16_t wWord) { m_wHotkeyTable[action] = wWord; }

    JpegOptions StoredJpegOptions() const;
    // The set "Save As" uses and edits; it lives only while the program runs.
    JpegOptions& WorkingJpegOptions() noexcept { return m_jpegWorking; }

    // The running program, or "InstallPath" once loaded.
    const std::string& ProgramPath() const noexcept { return m_strProgramPath; }
    // The default "AutoSavePath", fixed at construction.
    const std::string& DefaultAutoSavePath() const noexcept { return m_strDefaultAutoSavePath; }

    // "PrintLayout"; lengths in hundredths of a centimetre.
    SizeValue m_sizePage;
    SizeValue m_sizePrint;
    std::uint16_t m_wImageCenterFlag = 3; // 0x1 horizontally, 0x2 vertically
    std::string m_strTitle;               // at most 255 characters
    std::uint32_t m_dwPrintMode = 1;
    std::uint16_t m_wTitleAlign = 4;
    RectValue m_rcMargins{120, 120, 120, 120};

    // "CaptureOptions"; colours are 0x00BBGGRR.
    std::uint32_t m_dwOptionsA = 0x0008167B;
    std::uint32_t m_crViewBackground = 0x00CC9966;
    std::uint32_t m_crImageBackground = 0x00C0C0C0;
    std::uint32_t m_crTransparency = 0x00C0C0C0;
    std::uint32_t m_dwDefaultCaptureAction = Desktop;
    std::uint16_t m_wCaptureDelayTime = 100; // ms, added to the fixed 300 ms
    std::uint16_t m_wJPEGOptimizeCoding = 0;
    std::uint16_t m_wJPEGQuality = 95;
    std::uint16_t m_wJPEGSmootingFactor = 0;
    SizeValue m_sizeJPEGDIP{720, 720};
    std::string m_strAutoSavePath;                  // at most 259 characters
    std::string m_strAutoSaveLeadFileName = "Qorv"; // at most 127 characters
    std::uint32_t m_dwAutoSaveOptions = autosave::kReplaceExisting | autosave::kWrapCounter;
    std::uint16_t m_wAutoSaveDigitCount = 5;
    std::uint32_t m_dwAutoSaveStartNO = 1;
    std::uint32_t m_dwAutoSaveImageType = 1; // 0 BMP, 1 JPEG, 2 PNG, 3 GIF, 4 TIFF
    std::uint32_t m_dwUndoMemoryMB = 0; // undo copies of an image at most; 0: a quarter of memory

private:
    HotkeyTable m_wHotkeyTable{};
    JpegOptions m_jpegWorking;
    std::string m_strModulePath;
    std::string m_strProgramPath;
    std::string m_strDefaultAutoSavePath;
};

// How a field is stored.
enum class SettingKind {
    Word,    // 16-bit, stored as 32-bit
    Dword,   // 32-bit
    Flags,   // 32-bit flag word
    Colour,  // 32-bit 0x00BBGGRR
    String,  // text with a length cap
    Pair,    // "a, b"
    Quad,    // "a, b, c, d"
    Hotkey,  // pair "index, word"; the word lands at (index read) modulo 35
    JpegDip, // pair whose load starts from 0, 0 and takes only components that are not negative
};

// What a load does with a stored number outside the field's range.
enum class OutOfRange : std::uint8_t {
    Clamp,   // takes the nearer end of the range
    Default, // leaves the field at its default (an enum: the value means nothing)
    Counter, // clamped to nMin .. nMax + 1, where nMax + 1 is a counter that has run out
};

// What a stored or typed text must be.
enum class TextRule : std::uint8_t {
    Any,
    AbsolutePath, // a path from "/" (or empty: none); a relative one found in the file is
                  // taken from the home folder, as the current folder changes while we run
    NamePart,     // the start of a file name: no "/" and no NUL; a stored one with them gives
                  // the default
};

// The largest length of the "PrintLayout" section: 100,000 inches in hundredths of a centimetre,
// the most the layout dialog takes.
inline constexpr std::int32_t kMaxLayoutLength = 25'400'000;

bool IsAbsolutePathSetting(std::string_view text) noexcept;
bool IsNamePartSetting(std::string_view text) noexcept;
// A relative path found in the settings taken from home ("~/x" and "x" both give home/x).
std::string PathFromHome(std::string_view path, const std::filesystem::path& home);

using SettingMember =
    std::variant<std::monostate, std::uint16_t CAppSettings::*, std::uint32_t CAppSettings::*,
                 std::string CAppSettings::*, SizeValue CAppSettings::*, RectValue CAppSettings::*>;

// One registry value of the record. The table of them is the only place that names the values.
struct SettingField {
    std::string_view section;
    std::string_view name;
    SettingKind kind;
    SettingMember member;
    std::size_t nMaxChars = CRegistryStore::kNoLimit; // String
    int nHotkeyIndex = -1;                            // Hotkey
    std::int64_t nMin = 0; // valid range (each number of a pair or quad); nMax < nMin: none
    std::int64_t nMax = -1;
    OutOfRange outOfRange = OutOfRange::Clamp;
    TextRule textRule = TextRule::Any;

    bool HasRange() const noexcept { return nMax >= nMin; }
};

// Every field in load and save order.
std::span<const SettingField> SettingFields();
const SettingField* FindSettingField(std::string_view section, std::string_view name);

// Loads or saves one field through an open store (its section already selected). A load
// brings every value into its field's range and rule, so no user of the record sees another.
void ExchangeSettingField(CRegistryStore& store, const SettingField& field, CAppSettings& settings);
// Writes one field of settings to the user's hive in a pass of its own.
bool SaveSettingField(const SettingField& field, CAppSettings& settings,
                      const HiveLocations& locations, std::string* pError = nullptr);

} // namespace platform
