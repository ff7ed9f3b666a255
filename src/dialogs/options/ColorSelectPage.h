// SPDX-License-Identifier: MIT
// CColorSelectPage: "Color Select": the background of the image windows, the fill behind
// images (rotations) and the fill outside non-rectangular captures.
#pragma once

#include "dialogs/options/OptionsSubDlg.h"

#include <array>
#include <cstdint>

class CColorSwatch;
class IOptionsOwner;

namespace platform {
class CAppSettings;
}

class CColorSelectPage : public COptionsSubDlg {
    Q_OBJECT

public:
    static constexpr int kTemplateID = 349;
    static constexpr int kColorCount = 3;

    CColorSelectPage(const CUiServices& ui, platform::CAppSettings& settings, IOptionsOwner& owner);

    void OnOK() override;
    CColorSwatch* Swatch(int nIndex) const { return m_swatches[std::size_t(nIndex)]; }

protected:
    void BuildControls() override;
    void OnInitDialog() override;

private:
    void ShowColors();
    void ChooseColor(int nIndex);
    void OnResetDefaultColors();
    std::uint32_t& Setting(int nIndex) const;

    platform::CAppSettings& m_settings;
    IOptionsOwner& m_owner;
    std::array<CColorSwatch*, kColorCount> m_swatches{};
};
