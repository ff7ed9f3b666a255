// SPDX-License-Identifier: MIT
// The program's file prompts.
#include "dialogs/ImageFileDialogs.h"

#include "dialogs/CustomSaveDlg.h"
#include "dialogs/FilePreviewDlg.h"
#include "platform/AppSettings.h"

#include <QApplication>

namespace {

// The paths the user chose, empty when cancelled.
QStringList RunPrompt(QFileDialog& dialog, const FilePrompt& prompt) {
    if (!prompt.strFileName.isEmpty())
        dialog.selectFile(prompt.strFileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace

CImageFileDialogs::CImageFileDialogs(const CUiServices& ui, platform::CAppSettings& settings,
                                     CPictureDecoder& decoder)
    : m_ui(ui), m_settings(settings), m_decoder(decoder) {}

std::optional<QString> CImageFileDialogs::PromptFileName(const FilePrompt& prompt) {
    FilePrompt single = prompt;
    single.bMultiple = false;
    const QStringList files = PromptFileNames(single);
    if (files.isEmpty())
        return std::nullopt;
    return files.front();
}

QStringList CImageFileDialogs::PromptFileNames(const FilePrompt& prompt) {
    QWidget* pParent = QApplication::activeWindow();
    if (prompt.bOpen) {
        CFilePreviewDlg dialog(m_ui, m_decoder, prompt.strTitle, pParent);
        if (prompt.bMultiple)
            dialog.setFileMode(QFileDialog::ExistingFiles);
        return RunPrompt(dialog, prompt);
    }
    CCustomSaveDlg dialog(m_settings.WorkingJpegOptions(), prompt.strTitle, pParent);
    return RunPrompt(dialog, prompt);
}
