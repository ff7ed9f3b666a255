// SPDX-License-Identifier: MIT
// libFuzzer harness for the settings as the programs load them: any settings file gives a record
// and workspace settings whose every value lies in its range and obeys its rule, whatever the
// file holds. Each input is written where the settings file lives, in a folder of this process.
#include "platform/AppSettings.h"
#include "platform/WorkspaceSettings.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace platform;

// A folder of this process for the settings file and the home folder, removed at exit.
class CFuzzFolder {
public:
    CFuzzFolder() {
        std::string dir = std::filesystem::temp_directory_path() / "quorvi-settings-fuzz-XXXXXX";
        if (::mkdtemp(dir.data()) == nullptr)
            std::abort();
        m_dir = dir;
        ::setenv("HOME", dir.c_str(), 1);
        m_where.userHive = m_dir / "QuorviStudio.reg";
    }
    ~CFuzzFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    CFuzzFolder(const CFuzzFolder&) = delete;
    CFuzzFolder& operator=(const CFuzzFolder&) = delete;
    const HiveLocations& Where() const noexcept { return m_where; }

private:
    std::filesystem::path m_dir;
    HiveLocations m_where;
};

const HiveLocations& Locations() {
    static const CFuzzFolder s_folder;
    return s_folder.Where();
}

void Require(bool bHolds) {
    if (!bHolds)
        std::abort();
}

void RequireInRange(const SettingField& field, std::int64_t value) {
    const std::int64_t nMax = field.nMax + (field.outOfRange == OutOfRange::Counter ? 1 : 0);
    Require(!field.HasRange() || (value >= field.nMin && value <= nMax));
}

void CheckField(const SettingField& field, CAppSettings& settings) {
    using S = CAppSettings;
    switch (field.kind) {
    case SettingKind::Word:
        return RequireInRange(field, settings.*std::get<std::uint16_t S::*>(field.member));
    case SettingKind::Dword:
    case SettingKind::Flags:
    case SettingKind::Colour:
        return RequireInRange(field, settings.*std::get<std::uint32_t S::*>(field.member));
    case SettingKind::String: {
        const std::string& text = settings.*std::get<std::string S::*>(field.member);
        Require(CountCharacters(text) <= field.nMaxChars);
        Require(field.textRule != TextRule::AbsolutePath || IsAbsolutePathSetting(text));
        Require(field.textRule != TextRule::NamePart || IsNamePartSetting(text));
        return;
    }
    case SettingKind::Pair:
    case SettingKind::JpegDip: {
        const SizeValue& size = settings.*std::get<SizeValue S::*>(field.member);
        RequireInRange(field, size.cx);
        return RequireInRange(field, size.cy);
    }
    case SettingKind::Quad: {
        const RectValue& rect = settings.*std::get<RectValue S::*>(field.member);
        for (const std::int32_t n : {rect.left, rect.top, rect.right, rect.bottom})
            RequireInRange(field, n);
        return;
    }
    case SettingKind::Hotkey:
        return;
    }
}

void CheckWorkspace(const CWorkspaceSettings& workspace) {
    const LogoFontRecord& font = workspace.m_logoFont;
    Require(std::abs(font.nHeight) <= LogoFontRecord::kMaxPixels);
    Require(std::abs(font.nWidth) <= LogoFontRecord::kMaxPixels);
    Require(std::abs(font.nEscapement) <= LogoFontRecord::kMaxAngle);
    Require(std::abs(font.nOrientation) <= LogoFontRecord::kMaxAngle);
    Require(font.nWeight >= 0 && font.nWeight <= LogoFontRecord::kMaxWeight);
    Require(workspace.m_nDispType <= CWorkspaceSettings::Stretch && workspace.m_dwUseBitmap <= 1);
    Require(workspace.m_crBack <= 0x00FFFFFF && workspace.m_crLogo <= 0x00FFFFFF);
    Require(IsAbsolutePathSetting(workspace.m_strBitmapFile));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const HiveLocations& where = Locations();
    {
        std::ofstream out(where.userHive, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    CAppSettings settings("/nonexistent/quorvi-studio");
    settings.Load(where);
    for (const SettingField& field : SettingFields())
        CheckField(field, settings);
    CWorkspaceSettings workspace(0x112233, 0x445566, LogoFontRecord{});
    workspace.Load(where);
    CheckWorkspace(workspace);
    // A damaged input was set aside: this one must not pile up beside the next.
    std::error_code ec;
    std::filesystem::remove(where.userHive.string() + ".damaged", ec);
    return 0;
}
