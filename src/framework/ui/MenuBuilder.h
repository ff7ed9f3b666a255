// SPDX-License-Identifier: MIT
// Builds Qt menus, toolbars and accelerator actions from the resource data, every action bound
// to its command id through a dispatcher.
#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <vector>

class CCommandDispatcher;
class CIconMenu;
struct MenuItemData;
class QAction;
class QMenu;
class QPoint;
class QToolBar;
class QWidget;

class CMenuBuilder {
public:
    // The status-bar text of a command: by default the prompt of its string-table entry.
    using PromptFunction = std::function<QString(unsigned nID)>;

    explicit CMenuBuilder(CCommandDispatcher& dispatcher);
    void SetPromptFunction(PromptFunction fn) { m_promptFor = std::move(fn); }

    // The top-level popups of menu nID, parented to pParent (which keeps them), watched for
    // updates. Empty for an unknown menu.
    QList<QMenu*> BuildMenus(unsigned nID, QWidget* pParent) const;
    // Popup nIndex of menu nID, or null. Like every menu built here it is a CIconMenu with the
    // images of toolbars 128 and 234.
    QMenu* BuildPopup(unsigned nID, int nIndex, QWidget* pParent) const;
    // The context menu nID (its popup 0) shown at ptScreen without waiting; its commands go
    // through the dispatcher's routing and the menu deletes itself once it closes. Null for an
    // unknown menu.
    QMenu* TrackPopup(unsigned nID, const QPoint& ptScreen, QWidget* pParent) const;
    // Appends the items to pMenu.
    void FillMenu(QMenu* pMenu, const std::vector<MenuItemData>& items) const;

    // Toolbar nID: one button per command (icon, tool tip and prompt from the data), separators
    // where the data has them. Updated on the dispatcher's timer.
    QToolBar* BuildToolBar(unsigned nID, const QString& strTitle, QWidget* pParent) const;

    // The accelerators of table nID as actions added to pWindow (active anywhere in its window);
    // one action per command with all its keys.
    QList<QAction*> InstallAccelerators(unsigned nID, QWidget* pWindow) const;

private:
    CIconMenu* BuildMenu(const MenuItemData& popup, QWidget* pParent) const;
    QAction* CommandAction(unsigned nID, const QString& strText, QWidget* pParent) const;

    CCommandDispatcher& m_dispatcher;
    PromptFunction m_promptFor;
};
