// SPDX-License-Identifier: MIT
// The document manager's automatic file names for capture output.
#include "capture/engine/CaptureDocManager.h"

#include "capture/engine/CaptureOutput.h"
#include "platform/AppSettings.h"

#include <utility>

bool CCaptureDocManager::DoPromptFileName(QString& strFileName, unsigned nIDSTitle,
                                          bool bOpenFileDialog, CDocTemplate* pTemplate) {
    // The mark belongs to one save only: a later save of any document asks as usual.
    const bool bPending = !bOpenFileDialog && std::exchange(m_bAutoSavePending, false);
    if (bPending && (m_settings.m_dwOptionsA & platform::options::kAutoNameFile) != 0) {
        const std::optional<QString> name = capture::PromptAutoSaveFileName(m_settings);
        if (!name)
            return false;
        strFileName = *name;
        return true;
    }
    return CDocManager::DoPromptFileName(strFileName, nIDSTitle, bOpenFileDialog, pTemplate);
}
