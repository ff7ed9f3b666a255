// SPDX-License-Identifier: MIT
// CWindowListDlg: "Windows", the list of the open image windows (front-most first) to activate,
// close, save, minimise, tile or cascade, several at a time.
#pragma once

#include "framework/ui/Dialog.h"

#include <QList>

class CMDIChildWnd;
class CMDIFrameWnd;
class QListWidget;
class QPushButton;

class CWindowListDlg : public CDialog {
    Q_OBJECT

public:
    // The buttons, by their control ids.
    enum EButton {
        Activate = 1000,
        CloseWindows = 1001,
        Save = 1002,
        TileHorizontally = 1003,
        Minimize = 1004,
        Cascade = 1005,
        TileVertically = 1006,
    };

    CWindowListDlg(const CUiServices& ui, CMDIFrameWnd& frame, QWidget* pParent = nullptr);

    QListWidget* List() const noexcept { return m_pList; }
    QPushButton* Button(EButton id) const;
    // The windows of the list's rows, in order.
    QList<CMDIChildWnd*> ListedWindows() const;

protected:
    void OnInitDialog() override;

private:
    void FillList();
    void SelectActive();
    void EnableButtons();
    void Refill();
    QList<CMDIChildWnd*> SelectedWindows() const;
    void OnActivate();
    void OnCloseWindows();
    void OnSave();
    void OnMinimize();
    void OnArrange(EButton how);

    CMDIFrameWnd& m_frame;
    QListWidget* m_pList;
    QList<QPushButton*> m_buttons;
};
