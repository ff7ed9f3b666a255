// SPDX-License-Identifier: MIT
// The document manager of the desktop program: an automatic save (capture output) takes the
// automatic file name instead of asking.
#pragma once

#include "capture/engine/CaptureOutput.h"
#include "framework/DocManager.h"
#include "platform/RegistryStore.h"

namespace platform {
class CAppSettings;
}

class CCaptureDocManager : public CDocManager {
public:
    // locations: where each advance of the automatic-save counter is stored.
    CCaptureDocManager(platform::CAppSettings& settings, platform::HiveLocations locations,
                       CUiServices& ui, IRecentFiles* pRecentFiles)
        : CDocManager(ui, pRecentFiles), m_settings(settings), m_locations(std::move(locations)) {}

    // An automatic save gets the automatic name when "OptionsA" asks for automatic names (or
    // none, which abandons the save); everything else asks.
    bool DoPromptFileName(QString& strFileName, unsigned nIDSTitle, bool bOpenFileDialog,
                          CDocTemplate* pTemplate, ESaveKind kind) override;

private:
    platform::CAppSettings& m_settings;
    platform::HiveLocations m_locations;
    capture::CounterStoreState m_counterStore;
};
