// SPDX-License-Identifier: MIT
// CMenuCaptions: the capture items of the menus show their caption, a tab and their hotkey, from
// the hook library's table once the capture engine runs and from the settings until then; the
// same texts name the hotkeys in messages.
#pragma once

#include "app/HotkeyCaptions.h"

#include <QString>

#include <cstdint>

class ICaptureEngine;
class QMenu;

namespace platform {
class CAppSettings;
}

class CMenuCaptions {
public:
    // The captions come from menu nCaptionMenuID's first popup.
    CMenuCaptions(const platform::CAppSettings& settings, unsigned nCaptionMenuID);

    // Non-owning; null until the engine runs (and without X).
    void SetCaptureEngine(const ICaptureEngine* pEngine) noexcept { m_pEngine = pEngine; }

    // The hotkey table the captions show (35 words by action index).
    const std::uint16_t* CurrentHotkeyTable() const;
    // Rewrites the capture items of the menu with their captions and hotkeys.
    void Apply(QMenu* pMenu) const;
    // The caption of a capture action index, as the menus show it without the hotkey.
    QString ActionCaption(int nAction) const { return m_captions.CaptionOf(nAction); }
    // "Ctrl+Shift+Alt+C" for a capture action index, or empty.
    QString HotkeyText(int nAction) const;
    const CKeyNameMap& KeyNames() const noexcept { return m_keyNames; }

private:
    const platform::CAppSettings& m_settings;
    CKeyNameMap m_keyNames;
    CCaptionMap m_captions;
    const ICaptureEngine* m_pEngine = nullptr;
};
