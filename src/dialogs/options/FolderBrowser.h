// SPDX-License-Identifier: MIT
// CFolderBrowser: asks for a folder, starting at a given one.
#pragma once

#include <QString>

#include <optional>

class QWidget;

class CFolderBrowser {
public:
    CFolderBrowser(QWidget* pOwner, QString strTitle);

    // The folder chosen, or nothing when the user cancelled.
    std::optional<QString> Browse(const QString& strStart) const;

private:
    QWidget* m_pOwner;
    QString m_strTitle;
};
