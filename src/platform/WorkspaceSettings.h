// SPDX-License-Identifier: MIT
// CWorkspaceSettings: the "Settings" section of the application key: the look of the empty
// workspace behind the image windows and whether new image windows open maximised.
#pragma once

#include "platform/RegistryStore.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The logo font as the hive keeps it: a 60-byte record (height, width, escapement, orientation,
// weight as little-endian 32-bit numbers; italic, underline, strike-out, character set, output
// precision, clip precision, quality, pitch and family as bytes; a 32-byte NUL-padded face name).
struct LogoFontRecord {
    static constexpr std::size_t kSize = 60;

    std::int32_t nHeight = 0; // negative: character height in pixels of the desktop
    std::int32_t nWidth = 0;
    std::int32_t nEscapement = 0;
    std::int32_t nOrientation = 0;
    std::int32_t nWeight = 400;
    std::uint8_t bItalic = 0;
    std::uint8_t bUnderline = 0;
    std::uint8_t bStrikeOut = 0;
    std::uint8_t nCharSet = 0;
    std::uint8_t nOutPrecision = 0;
    std::uint8_t nClipPrecision = 0;
    std::uint8_t nQuality = 0;
    std::uint8_t nPitchAndFamily = 0;
    std::string strFaceName; // at most 31 bytes

    // Far above any lettering of the workspace and far below where arithmetic on a size or an
    // angle could overflow.
    static constexpr std::int32_t kMaxPixels = 1000;
    static constexpr std::int32_t kMaxAngle = 3600; // tenths of a degree
    static constexpr std::int32_t kMaxWeight = 1000;

    // nullopt for a value of any other size; the numbers are clamped to the ranges above.
    static std::optional<LogoFontRecord> FromBytes(const RegBinary& bytes);
    RegBinary ToBytes() const;
    bool operator==(const LogoFontRecord&) const = default;
};

class CWorkspaceSettings {
public:
    enum EDispType : std::uint32_t { Tile = 0, Center = 1, Stretch = 2 };

    // Every value at its default; the two colours and the font are the desktop's, known only to
    // the caller.
    CWorkspaceSettings(std::uint32_t crBackDefault, std::uint32_t crLogoDefault,
                       LogoFontRecord logoFontDefault);

    // Values that are absent or of another type keep their defaults; a display type outside
    // 0 to 2 is read as centred, a picture flag other than 0 or 1 as 1, colours lose their top
    // byte and a relative picture path is taken from the home folder.
    void Load(const HiveLocations& locations);
    bool Save(const HiveLocations& locations, std::string* pError = nullptr) const;
    // "TVChildWinState" alone, when the last image window closes.
    static bool SaveChildWinState(bool bMaximized, const HiveLocations& locations);

    bool m_bChildMaximized = true;      // "TVChildWinState"
    std::uint32_t m_dwUseBitmap = 1;    // "TVBkBitmap": kept and written back, never consulted
    std::uint32_t m_crBack;             // "TVBackColor", 0x00BBGGRR
    std::uint32_t m_crLogo;             // "TVLogoColor"
    std::uint32_t m_nDispType = Center; // "TVDispType"
    std::string m_strBitmapFile;        // "TVFileName"
    LogoFontRecord m_logoFont;          // "TVLogoFont"
};

} // namespace platform
