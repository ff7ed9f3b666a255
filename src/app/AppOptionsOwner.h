// SPDX-License-Identifier: MIT
// CAppOptionsOwner: what the options dialog needs of the desktop program: the capture captions,
// the recent-file list, the colours in use, the help pages and the hotkey table, which the hook
// library holds while the capture engine runs and the settings record holds otherwise.
#pragma once

#include "dialogs/options/HotkeyTableAccess.h"
#include "dialogs/options/OptionsOwner.h"

class CMainFrame;
class CTavixCaptureApp;
class ICaptureEngine;

class CAppOptionsOwner final : public IOptionsOwner, public IHotkeyTableAccess {
public:
    // pEngine may be null (no X connection): the hotkeys then live in the settings only.
    CAppOptionsOwner(CTavixCaptureApp& app, CMainFrame& frame, ICaptureEngine* pEngine);

    // IOptionsOwner
    QString CaptureActionCaption(int nAction) const override;
    void ClearRecentFileList() override;
    void ResetDefaultColors() override;
    void ShowHelpTopic(int nTopic) override;

    // IHotkeyTableAccess
    platform::HotkeyTable ReadHotkeys() const override;
    void WriteHotkeys(const platform::HotkeyTable& table) override;
    int HotkeyState(int nIndex) const override;
    QString KeyBindingNote() const override;

private:
    CTavixCaptureApp& m_app;
    CMainFrame& m_frame;
    ICaptureEngine* m_pEngine;
};
