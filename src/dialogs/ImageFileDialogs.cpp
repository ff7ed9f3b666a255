// SPDX-License-Identifier: MIT
// The program's file prompts.
#include "dialogs/ImageFileDialogs.h"

#include "dialogs/CustomSaveDlg.h"
#include "dialogs/FilePreviewDlg.h"
#include "platform/AppSettings.h"

#include <QApplication>

namespace {

std::optional<QString> RunPrompt(QFileDialog& dialog, const FilePrompt& prompt) {
    if (!prompt.strFileName.isEmpty())
        dialog.selectFile(prompt.strFileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

} // namespace

CImageFileDialogs::CImageFileDialogs(const CUiServices& ui, platform::CAppSettings& settings,
                                     CPictureDecoder& decoder)
    : m_ui(ui), m_settings(settings), m_decoder(decoder) {}

std::optional<QString> CImageFileDialogs::PromptFileName(const FilePrompt& prompt) {
    QWidget* pParent = QApplication::activeWindow();
    if (prompt.bOpen) {
        CFilePreviewDlg dialog(m_ui, m_decoder, prompt.strTitle, pParent);
        return RunPrompt(dialog, prompt);
    }
    CCustomSaveDlg dialog(m_settings.WorkingJpegOptions(), prompt.strTitle, pParent);
    return RunPrompt(dialog, prompt);
}
