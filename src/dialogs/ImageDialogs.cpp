// SPDX-License-Identifier: MIT
// The operation dialogs run for the document.
#include "dialogs/ImageDialogs.h"

#include "dialogs/BrightnessDlg.h"
#include "dialogs/ContrastDlg.h"
#include "dialogs/DialogGeometry.h"
#include "dialogs/IntensityDlg.h"
#include "dialogs/ResizeDlg.h"
#include "dialogs/RotateAngleDlg.h"
#include "dialogs/ScaleDlg.h"
#include "dialogs/StretchDlg.h"
#include "document/TavixCaptureDoc.h"
#include "framework/FrameWnd.h"
#include "framework/View.h"
#include "platform/AppSettings.h"
#include "platform/ProgramPaths.h"

#include <QApplication>

#include <memory>

namespace {

// The window the user works on doc in: the active image window when it shows doc, otherwise
// the first that does; null when none is on screen.
const QWidget* ImageWindowOf(const CDocument& doc) {
    const QWidget* pFirst = nullptr;
    for (const CView* pView : doc.Views()) {
        const CFrameWnd* pFrame = pView->GetParentFrame();
        const auto* pWindow = dynamic_cast<const QWidget*>(pFrame);
        if (pWindow == nullptr || !pWindow->isVisible())
            continue;
        const CFrameWnd* pMain = pFrame->GetParentFrame();
        if (pMain != nullptr && pMain->GetActiveChildFrame() == pFrame)
            return pWindow;
        if (pFirst == nullptr)
            pFirst = pWindow;
    }
    return pFirst;
}

} // namespace

CImageDialogs::CImageDialogs(const CUiServices& ui, const platform::CAppSettings& settings,
                             std::function<void(int)> showHelp)
    : m_ui(ui), m_settings(settings), m_showHelp(std::move(showHelp)) {}

template <class Dlg> bool CImageDialogs::RunPreview(Dlg& dialog, int nHelpTopic) {
    QObject::connect(&dialog, &Dlg::helpRequested, &dialog, [this, nHelpTopic] {
        if (m_showHelp)
            m_showHelp(nHelpTopic);
    });
    return dialog.exec() == QDialog::Accepted;
}

std::optional<int> CImageDialogs::RunBrightness(CTavixCaptureDoc& doc) {
    CBrightnessDlg dialog(m_ui, doc.GetImage(), QApplication::activeWindow());
    if (!RunPreview(dialog, platform::HelpBrightnessDialog))
        return std::nullopt;
    return dialog.Brightness();
}

std::optional<ContrastDialogResult> CImageDialogs::RunContrast(CTavixCaptureDoc& doc) {
    CContrastDlg dialog(m_ui, doc.GetImage(), QApplication::activeWindow());
    if (!RunPreview(dialog, platform::HelpContrastDialog))
        return std::nullopt;
    return dialog.Result();
}

std::optional<IntensityDialogResult> CImageDialogs::RunIntensity(CTavixCaptureDoc& doc) {
    CIntensityDlg dialog(m_ui, doc.GetImage(), QApplication::activeWindow());
    if (!RunPreview(dialog, platform::HelpIntensityDialog))
        return std::nullopt;
    return dialog.Result();
}

std::optional<RotateDialogResult> CImageDialogs::RunRotate(CTavixCaptureDoc& doc) {
    CRotateAngleDlg dialog(m_ui, doc.GetImage(), m_settings.m_crTransparency,
                           QApplication::activeWindow());
    if (!RunPreview(dialog, platform::HelpRotateDialog))
        return std::nullopt;
    return dialog.Result();
}

void CImageDialogs::RunSizeDialog(ESizeDialog kind, CTavixCaptureDoc& doc) {
    QWidget* pParent = QApplication::activeWindow();
    std::unique_ptr<CLiveApplyDlg> pDialog;
    switch (kind) {
    case ESizeDialog::Resize:
        pDialog = std::make_unique<CResizeDlg>(m_ui, doc, pParent);
        break;
    case ESizeDialog::Scale:
        pDialog = std::make_unique<CScaleDlg>(m_ui, doc, pParent);
        break;
    case ESizeDialog::Stretch:
        pDialog = std::make_unique<CStretchDlg>(m_ui, doc, pParent);
        break;
    }
    // Apply changes the image at once: the user must see it beside the dialog, not under it.
    if (const QWidget* pImageWindow = ImageWindowOf(doc))
        dialogs::MoveBeside(*pDialog, *pImageWindow);
    RunPreview(*pDialog, platform::HelpResizeDialog);
}
