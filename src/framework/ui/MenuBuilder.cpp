// SPDX-License-Identifier: MIT
// Menus, toolbars and accelerators from the resource data.
#include "framework/ui/MenuBuilder.h"

#include "framework/CommandIds.h"
#include "framework/ResourceData.h"
#include "framework/StringTable.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/CommandIcons.h"
#include "framework/ui/IconMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMap>
#include <QMenu>
#include <QToolBar>

CMenuBuilder::CMenuBuilder(CCommandDispatcher& dispatcher)
    : m_dispatcher(dispatcher),
      m_promptFor([](unsigned nID) { return CStringTable::Get().Prompt(nID); }) {}

QList<QMenu*> CMenuBuilder::BuildMenus(unsigned nID, QWidget* pParent) const {
    QList<QMenu*> menus;
    const std::vector<MenuItemData>* pItems = CResourceData::Get().Menu(nID);
    if (pItems == nullptr)
        return menus;
    for (const MenuItemData& item : *pItems) {
        if (item.kind != MenuItemData::EKind::Popup)
            continue;
        menus.push_back(BuildMenu(item, pParent));
    }
    return menus;
}

QMenu* CMenuBuilder::BuildPopup(unsigned nID, int nIndex, QWidget* pParent) const {
    const std::vector<MenuItemData>* pItems = CResourceData::Get().Menu(nID);
    if (pItems == nullptr || nIndex < 0 || static_cast<size_t>(nIndex) >= pItems->size())
        return nullptr;
    return BuildMenu((*pItems)[static_cast<size_t>(nIndex)], pParent);
}

QMenu* CMenuBuilder::TrackPopup(unsigned nID, const QPoint& ptScreen, QWidget* pParent) const {
    QMenu* pMenu = BuildPopup(nID, 0, pParent);
    if (pMenu == nullptr)
        return nullptr;
    // A chosen command runs before the deferred delete, which waits for the event loop.
    QObject::connect(pMenu, &QMenu::aboutToHide, pMenu, &QObject::deleteLater);
    pMenu->popup(ptScreen);
    return pMenu;
}

CIconMenu* CMenuBuilder::BuildMenu(const MenuItemData& popup, QWidget* pParent) const {
    auto* pMenu = new CIconMenu(popup.strText, pParent);
    FillMenu(pMenu, popup.items);
    pMenu->LoadToolbars({IDR_MAINFRAME, IDR_TOOLBAR_MENU_IMAGES});
    pMenu->ConvertToOwnerDraw();
    m_dispatcher.WatchMenu(pMenu);
    return pMenu;
}

void CMenuBuilder::FillMenu(QMenu* pMenu, const std::vector<MenuItemData>& items) const {
    for (const MenuItemData& item : items) {
        switch (item.kind) {
        case MenuItemData::EKind::Separator:
            pMenu->addSeparator();
            break;
        case MenuItemData::EKind::Popup: {
            auto* pSub = new CIconMenu(item.strText, pMenu);
            FillMenu(pSub, item.items);
            pSub->ConvertToOwnerDraw();
            pMenu->addMenu(pSub);
            break;
        }
        case MenuItemData::EKind::Command: {
            QAction* pAction = CommandAction(item.nID, item.strText, pMenu);
            pAction->setProperty("quorviOriginalText", item.strText);
            pAction->setEnabled(!item.bGrayed);
            pMenu->addAction(pAction);
            break;
        }
        }
    }
}

QAction* CMenuBuilder::CommandAction(unsigned nID, const QString& strText, QWidget* pParent) const {
    auto* pAction = new QAction(strText, pParent);
    m_dispatcher.Bind(pAction, nID);
    pAction->setStatusTip(m_promptFor(nID));
    return pAction;
}

QToolBar* CMenuBuilder::BuildToolBar(unsigned nID, const QString& strTitle,
                                     QWidget* pParent) const {
    auto* pBar = new QToolBar(strTitle, pParent);
    pBar->setObjectName(QStringLiteral("toolbar%1").arg(nID));
    pBar->setIconSize(QSize(16, 16));
    if (const std::vector<unsigned>* pButtons = CResourceData::Get().ToolBar(nID)) {
        for (unsigned nButton : *pButtons) {
            if (nButton == 0) {
                pBar->addSeparator();
                continue;
            }
            const QString strTip = CStringTable::Get().ToolTip(nButton);
            QAction* pAction = CommandAction(nButton, strTip, pBar);
            pAction->setToolTip(strTip);
            pAction->setIcon(CCommandIcons::Get().Icon(nButton));
            pBar->addAction(pAction);
        }
    }
    m_dispatcher.WatchActions(pBar);
    return pBar;
}

QList<QAction*> CMenuBuilder::InstallAccelerators(unsigned nID, QWidget* pWindow) const {
    QList<QAction*> actions;
    const std::vector<AccelData>* pTable = CResourceData::Get().Accelerators(nID);
    if (pTable == nullptr)
        return actions;
    // Keys grouped by command, in table order.
    QList<unsigned> order;
    QMap<unsigned, QList<QKeySequence>> keys;
    for (const AccelData& accel : *pTable) {
        if (!keys.contains(accel.nID))
            order.push_back(accel.nID);
        keys[accel.nID].push_back(
            QKeySequence::fromString(accel.strKey, QKeySequence::PortableText));
    }
    for (unsigned nCommand : order) {
        auto* pAction = new QAction(pWindow);
        m_dispatcher.Bind(pAction, nCommand);
        pAction->setShortcuts(keys.value(nCommand));
        pAction->setShortcutContext(Qt::WindowShortcut);
        pWindow->addAction(pAction);
        actions.push_back(pAction);
    }
    return actions;
}
