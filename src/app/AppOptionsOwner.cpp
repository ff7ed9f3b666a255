// SPDX-License-Identifier: MIT
// The desktop program's side of the options dialog.
#include "app/AppOptionsOwner.h"

#include "app/MainFrame.h"
#include "app/MenuCaptions.h"
#include "app/ShellServices.h"
#include "app/TavixCaptureApp.h"
#include "hook/TavixHook.h"
#include "views/TavixCaptureView.h"

#include <algorithm>

CAppOptionsOwner::CAppOptionsOwner(CTavixCaptureApp& app, CMainFrame& frame,
                                   ICaptureEngine* pEngine)
    : m_app(app), m_frame(frame), m_pEngine(pEngine) {}

QString CAppOptionsOwner::CaptureActionCaption(int nAction) const {
    return m_frame.Captions().ActionCaption(nAction);
}

void CAppOptionsOwner::ClearRecentFileList() {
    m_app.ClearRecentFileList();
}

void CAppOptionsOwner::ResetDefaultColors() {
    const platform::CAppSettings defaults{std::string()};
    platform::CAppSettings& settings = m_app.Settings();
    settings.m_crViewBackground = defaults.m_crViewBackground;
    settings.m_crImageBackground = defaults.m_crImageBackground;
    settings.m_crTransparency = defaults.m_crTransparency;
    if (CTavixCaptureView* pView = m_frame.ActiveImageView())
        pView->viewport()->update();
}

void CAppOptionsOwner::ShowHelpTopic(int nTopic) {
    m_app.ShowHelpTopic(nTopic);
}

platform::HotkeyTable CAppOptionsOwner::ReadHotkeys() const {
    const std::uint16_t* pTable = m_pEngine != nullptr ? m_pEngine->HotkeyTable() : nullptr;
    if (pTable == nullptr)
        return m_app.Settings().Hotkeys();
    platform::HotkeyTable table{};
    std::copy(pTable, pTable + table.size(), table.begin());
    return table;
}

void CAppOptionsOwner::WriteHotkeys(const platform::HotkeyTable& table) {
    // The record keeps the table too, for a program that runs without the hook library.
    m_app.Settings().Hotkeys() = table;
    if (m_pEngine != nullptr)
        m_pEngine->SetHotkeyTable(table.data());
}

QString CAppOptionsOwner::KeyBindingNote() const {
    return m_app.StartupNote();
}

int CAppOptionsOwner::HotkeyState(int nIndex) const {
    if (m_pEngine == nullptr || m_pEngine->HotkeyTable() == nullptr)
        return QRZ_HOTKEY_INACTIVE;
    return m_pEngine->HotkeyStatus(nIndex);
}
