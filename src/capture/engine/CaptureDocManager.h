// SPDX-License-Identifier: MIT
// The document manager of the desktop program: an automatic save (capture output) takes the
// automatic file name instead of asking.
#pragma once

#include "framework/DocManager.h"

namespace platform {
class CAppSettings;
}

class CCaptureDocManager : public CDocManager {
public:
    CCaptureDocManager(platform::CAppSettings& settings, CUiServices& ui,
                       IRecentFiles* pRecentFiles)
        : CDocManager(ui, pRecentFiles), m_settings(settings) {}

    // An automatic save gets the automatic name when "OptionsA" asks for automatic names (or
    // none, which abandons the save); everything else asks.
    bool DoPromptFileName(QString& strFileName, unsigned nIDSTitle, bool bOpenFileDialog,
                          CDocTemplate* pTemplate, ESaveKind kind) override;

private:
    platform::CAppSettings& m_settings;
};
