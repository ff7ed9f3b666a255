// SPDX-License-Identifier: MIT
// The workspace's "Settings" section.
#include "platform/WorkspaceSettings.h"

#include "platform/AppSettings.h"
#include "platform/XdgPaths.h"

#include <algorithm>
#include <string_view>

namespace platform {

namespace {

constexpr std::string_view kSection = "Settings";
constexpr std::size_t kFaceNameSize = 32;

std::int32_t ReadInt32(const RegBinary& bytes, std::size_t nOffset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::uint32_t(bytes[nOffset + i]) << (8 * i);
    return static_cast<std::int32_t>(value);
}

void AppendInt32(RegBinary& bytes, std::int32_t nValue) {
    const auto value = static_cast<std::uint32_t>(nValue);
    for (std::size_t i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::optional<LogoFontRecord> LogoFontRecord::FromBytes(const RegBinary& bytes) {
    if (bytes.size() != kSize)
        return std::nullopt;
    LogoFontRecord record;
    std::int32_t* numbers[] = {&record.nHeight, &record.nWidth, &record.nEscapement,
                               &record.nOrientation, &record.nWeight};
    for (std::size_t i = 0; i < 5; ++i)
        *numbers[i] = ReadInt32(bytes, 4 * i);
    record.nHeight = std::clamp(record.nHeight, -kMaxPixels, kMaxPixels);
    record.nWidth = std::clamp(record.nWidth, -kMaxPixels, kMaxPixels);
    record.nEscapement = std::clamp(record.nEscapement, -kMaxAngle, kMaxAngle);
    record.nOrientation = std::clamp(record.nOrientation, -kMaxAngle, kMaxAngle);
    record.nWeight = std::clamp(record.nWeight, 0, kMaxWeight);
    std::uint8_t* flags[] = {&record.bItalic,  &record.bUnderline,     &record.bStrikeOut,
                             &record.nCharSet, &record.nOutPrecision,  &record.nClipPrecision,
                             &record.nQuality, &record.nPitchAndFamily};
    for (std::size_t i = 0; i < 8; ++i)
        *flags[i] = bytes[20 + i];
    const auto* pFace = reinterpret_cast<const char*>(bytes.data() + 28);
    record.strFaceName.assign(pFace, std::find(pFace, pFace + kFaceNameSize - 1, '\0'));
    return record;
}

RegBinary LogoFontRecord::ToBytes() const {
    RegBinary bytes;
    bytes.reserve(kSize);
    for (std::int32_t nValue : {nHeight, nWidth, nEscapement, nOrientation, nWeight})
        AppendInt32(bytes, nValue);
    for (std::uint8_t nFlag : {bItalic, bUnderline, bStrikeOut, nCharSet, nOutPrecision,
                               nClipPrecision, nQuality, nPitchAndFamily})
        bytes.push_back(nFlag);
    const std::string_view face = std::string_view(strFaceName).substr(0, kFaceNameSize - 1);
    bytes.insert(bytes.end(), face.begin(), face.end());
    bytes.resize(kSize, 0);
    return bytes;
}

CWorkspaceSettings::CWorkspaceSettings(std::uint32_t crBackDefault, std::uint32_t crLogoDefault,
                                       LogoFontRecord logoFontDefault)
    : m_crBack(crBackDefault), m_crLogo(crLogoDefault), m_logoFont(std::move(logoFontDefault)) {}

void CWorkspaceSettings::Load(const HiveLocations& locations) {
    CRegistryStore store(CRegistryStore::Direction::Load, locations);
    store.OpenCurrentUserRoot();
    if (!store.OpenSection(kSection))
        return;
    std::uint32_t dwChildState = m_bChildMaximized ? 1 : 0;
    store.Dword("TVChildWinState", dwChildState);
    m_bChildMaximized = dwChildState != 0;
    RegBinary font;
    store.Binary("TVLogoFont", font);
    if (auto record = LogoFontRecord::FromBytes(font))
        m_logoFont = *record;
    store.Dword("TVBkBitmap", m_dwUseBitmap);
    if (m_dwUseBitmap > 1)
        m_dwUseBitmap = 1;
    store.Dword("TVLogoColor", m_crLogo);
    store.Dword("TVBackColor", m_crBack);
    m_crLogo &= 0x00FFFFFF; // the top byte is no part of a colour
    m_crBack &= 0x00FFFFFF;
    store.Dword("TVDispType", m_nDispType);
    if (m_nDispType > Stretch)
        m_nDispType = Center;
    store.String("TVFileName", m_strBitmapFile);
    if (!IsAbsolutePathSetting(m_strBitmapFile))
        m_strBitmapFile = PathFromHome(m_strBitmapFile, xdg::HomeDir());
}

bool CWorkspaceSettings::Save(const HiveLocations& locations, std::string* pError) const {
    CRegistryStore store(CRegistryStore::Direction::Save, locations);
    store.OpenCurrentUserRoot();
    store.OpenSection(kSection);
    std::uint32_t dwChildState = m_bChildMaximized ? 1 : 0;
    store.Dword("TVChildWinState", dwChildState);
    RegBinary font = m_logoFont.ToBytes();
    store.Binary("TVLogoFont", font);
    std::uint32_t values[] = {m_dwUseBitmap, m_crLogo, m_crBack, m_nDispType};
    store.Dword("TVBkBitmap", values[0]);
    store.Dword("TVLogoColor", values[1]);
    store.Dword("TVBackColor", values[2]);
    store.Dword("TVDispType", values[3]);
    std::string strFile = m_strBitmapFile;
    store.String("TVFileName", strFile);
    if (store.Close())
        return true;
    if (pError != nullptr)
        *pError = store.LastError();
    return false;
}

bool CWorkspaceSettings::SaveChildWinState(bool bMaximized, const HiveLocations& locations) {
    CRegistryStore store(CRegistryStore::Direction::Save, locations);
    store.OpenCurrentUserRoot();
    store.OpenSection(kSection);
    std::uint32_t dwChildState = bMaximized ? 1 : 0;
    store.Dword("TVChildWinState", dwChildState);
    return store.Close();
}

} // namespace platform
