// SPDX-License-Identifier: MIT
// CImageFileDialogs: the program's file prompts: opening shows the image types and a preview,
// saving the writers' types and the JPEG options of the working set.
#pragma once

#include "framework/UiServices.h"

class CPictureDecoder;

namespace platform {
class CAppSettings;
}

class CImageFileDialogs final : public IFileDialogs {
public:
    CImageFileDialogs(const CUiServices& ui, platform::CAppSettings& settings,
                      CPictureDecoder& decoder);

    // The prompt's title and proposed name; its file types are replaced by the image ones.
    std::optional<QString> PromptFileName(const FilePrompt& prompt) override;
    // The same; an open prompt that allows several takes Ctrl and Shift clicks.
    QStringList PromptFileNames(const FilePrompt& prompt) override;

private:
    const CUiServices& m_ui;
    platform::CAppSettings& m_settings;
    CPictureDecoder& m_decoder;
};
