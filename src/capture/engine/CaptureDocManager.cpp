// SPDX-License-Identifier: MIT
// The document manager's automatic file names for capture output.
#include "capture/engine/CaptureDocManager.h"

#include "capture/engine/CaptureOutput.h"
#include "platform/AppSettings.h"

bool CCaptureDocManager::DoPromptFileName(QString& strFileName, unsigned nIDSTitle,
                                          bool bOpenFileDialog, CDocTemplate* pTemplate,
                                          ESaveKind kind) {
    const bool bAutomatic = !bOpenFileDialog && kind == ESaveKind::Automatic;
    if (bAutomatic && (m_settings.m_dwOptionsA & platform::options::kAutoNameFile) != 0) {
        const std::optional<QString> name =
            capture::PromptAutoSaveFileName(m_settings, Ui(), m_locations, m_counterStore);
        if (!name)
            return false;
        strFileName = *name;
        return true;
    }
    return CDocManager::DoPromptFileName(strFileName, nIDSTitle, bOpenFileDialog, pTemplate, kind);
}
