// SPDX-License-Identifier: MIT
// COptionsTreeDlg: the options dialog's frame: a tree of the pages at the left, the caption bar
// above the page area, OK, Cancel and Help under the tree. Pages are made on first display; OK
// checks every page that was shown and only then has each of them store its values.
#pragma once

#include "framework/ui/Dialog.h"

#include <QString>

#include <vector>

class COptionsCaption;
class COptionsSubDlg;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

class COptionsTreeDlg : public CDialog {
    Q_OBJECT

public:
    explicit COptionsTreeDlg(const CUiServices& ui, QWidget* pParent = nullptr);
    // The pages belong to the caller: they leave the frame before it goes.
    ~COptionsTreeDlg() override;

    // Only before the dialog first shows (false afterwards, nothing changed). pPage must outlive
    // the dialog; pParentPage (may be null) puts it under another page in the tree.
    bool AppendPage(COptionsSubDlg* pPage, const QString& strCaption,
                    COptionsSubDlg* pParentPage = nullptr);
    void SetDialogTitle(const QString& strTitle);
    void SetBannerText(const QString& strBanner);
    // The page shown first (else the first appended).
    void SelectInitialPage(COptionsSubDlg* pPage) noexcept { m_pInitialPage = pPage; }

    int CurrentPage() const noexcept { return m_nCurrent; }
    int PageCount() const noexcept { return static_cast<int>(m_entries.size()); }
    COptionsSubDlg* Page(int nIndex) const;
    // Shows page nIndex in place of the current one; false for an index that has no page (what
    // was shown is hidden then).
    bool ActivatePage(int nIndex);

    COptionsCaption* Caption() const noexcept { return m_pCaption; }
    QTreeWidget* Tree() const noexcept { return m_pTree; }
    QPushButton* HelpButton() const noexcept { return m_pHelp; }

    // OK: every shown page checked in order, then stored; a page that fails is shown instead.
    void accept() override;
    // Cancel (and the window's close box): nothing is stored.
    void reject() override;

signals:
    // The Help button; the owner shows the options' help topic.
    void helpRequested();

protected:
    void OnInitDialog() override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    struct PageEntry {
        COptionsSubDlg* pPage = nullptr;
        int nTemplateID = 0;
        COptionsSubDlg* pParentPage = nullptr;
        QString strCaption;
        QTreeWidgetItem* pItem = nullptr;
    };

    void BuildTree();
    void FitTreeToCaptions();
    void OpenAtFullSize();
    int IndexOf(const COptionsSubDlg* pPage) const;
    void OnTreeSelectionChanged(QTreeWidgetItem* pItem);
    void OnActivatePosted(int nIndex);
    void ShowFailedPage(int nIndex);
    void GrowToFit(const COptionsSubDlg& page);

    std::vector<PageEntry> m_entries;
    int m_nCurrent = -1;
    COptionsSubDlg* m_pInitialPage = nullptr;
    bool m_bCreated = false;
    QTreeWidget* m_pTree;
    COptionsCaption* m_pCaption;
    QWidget* m_pPageArea;
    QVBoxLayout* m_pPageLayout;
    QPushButton* m_pHelp;
};
