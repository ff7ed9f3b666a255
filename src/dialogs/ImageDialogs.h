// SPDX-License-Identifier: MIT
// CImageDialogs: the operation dialogs as the document runs them, each modal over the active
// window for one document.
#pragma once

#include "document/DocumentHost.h"

#include <functional>

class CUiServices;

namespace platform {
class CAppSettings;
}

class CImageDialogs final : public IImageDialogs {
public:
    // settings: "ColorTransparency" starts the rotate dialog's colour. showHelp opens a help
    // topic (platform::HelpTopic).
    CImageDialogs(const CUiServices& ui, const platform::CAppSettings& settings,
                  std::function<void(int)> showHelp);

    std::optional<int> RunBrightness(CTavixCaptureDoc& doc) override;
    std::optional<ContrastDialogResult> RunContrast(CTavixCaptureDoc& doc) override;
    std::optional<IntensityDialogResult> RunIntensity(CTavixCaptureDoc& doc) override;
    std::optional<RotateDialogResult> RunRotate(CTavixCaptureDoc& doc) override;
    void RunSizeDialog(ESizeDialog kind, CTavixCaptureDoc& doc) override;

private:
    template <class Dlg> bool RunPreview(Dlg& dialog, int nHelpTopic);

    const CUiServices& m_ui;
    const platform::CAppSettings& m_settings;
    std::function<void(int)> m_showHelp;
};
