// SPDX-License-Identifier: MIT
// The document manager of the desktop program: a save that capture output started takes the
// automatic file name instead of asking.
#pragma once

#include "framework/DocManager.h"

namespace platform {
class CAppSettings;
}

class CCaptureDocManager : public CDocManager {
public:
    explicit CCaptureDocManager(platform::CAppSettings& settings) : m_settings(settings) {}

    // Capture output is about to save a new capture: its file-name request is the next one.
    void SetAutoSavePending(bool bPending) noexcept { m_bAutoSavePending = bPending; }
    bool IsAutoSavePending() const noexcept { return m_bAutoSavePending; }

    // Save requests while an automatic save is pending and "OptionsA" asks for automatic
    // names get the automatic name (or none, which abandons the save); everything else asks.
    bool DoPromptFileName(QString& strFileName, unsigned nIDSTitle, bool bOpenFileDialog,
                          CDocTemplate* pTemplate) override;

private:
    platform::CAppSettings& m_settings;
    bool m_bAutoSavePending = false;
};
