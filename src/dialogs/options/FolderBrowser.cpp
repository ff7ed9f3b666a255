// SPDX-License-Identifier: MIT
// The folder choice of the options pages.
#include "dialogs/options/FolderBrowser.h"

#include <QDir>
#include <QFileDialog>

CFolderBrowser::CFolderBrowser(QWidget* pOwner, QString strTitle)
    : m_pOwner(pOwner), m_strTitle(std::move(strTitle)) {}

std::optional<QString> CFolderBrowser::Browse(const QString& strStart) const {
    // Qt's own dialog: file-system folders only, the same on every desktop.
    QFileDialog dialog(m_pOwner, m_strTitle);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!strStart.isEmpty() && QDir(strStart).exists())
        dialog.setDirectory(strStart);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().front());
}
