// SPDX-License-Identifier: MIT
// CAboutDlg: the program's name and version with links to its website and to its support
// address. Nothing is stored.
#pragma once

#include "framework/ui/Dialog.h"

class CHyperLink;
class CShellOpener;
class QPushButton;

class CAboutDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr const char* kSupportAddress = "support@quorvi.example.org";

    // strVersion: the build's version ("0.1.0"); the links open through opener.
    CAboutDlg(const CUiServices& ui, CShellOpener& opener, const QString& strVersion,
              QWidget* pParent = nullptr);

    CHyperLink* WebsiteLink() const noexcept { return m_pWebsite; }
    CHyperLink* SupportLink() const noexcept { return m_pSupport; }

protected:
    void OnInitDialog() override;

private:
    CHyperLink* m_pWebsite;
    CHyperLink* m_pSupport;
    QPushButton* m_pOk = nullptr;
};
