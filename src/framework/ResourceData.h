// SPDX-License-Identifier: MIT
// Menus, toolbars and accelerator tables as data, read from resources/menus.json,
// toolbars.json and accelerators.json. The widgets are built from them in framework/ui.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

struct MenuItemData {
    enum class EKind { Command, Separator, Popup };
    EKind kind = EKind::Command;
    unsigned nID = 0;                // Command only
    QString strText;                 // label, a tab, then the accelerator text
    bool bGrayed = false;            // shown disabled until an update handler says otherwise
    std::vector<MenuItemData> items; // Popup only
};

struct AccelData {
    QString strKey; // portable key text, as QKeySequence reads it ("Ctrl+C", "Shift+Insert")
    unsigned nID = 0;
};

class CResourceData {
public:
    // The data compiled into the program (loaded on first use).
    static const CResourceData& Get();

    // Reads the three JSON texts; problems (unknown ids, bad shapes) go to *pErrors.
    static CResourceData FromJson(const QByteArray& menus, const QByteArray& toolbars,
                                  const QByteArray& accelerators, QStringList* pErrors);

    // The top-level items of a menu (popups for a menu bar), or null for an unknown menu.
    const std::vector<MenuItemData>* Menu(unsigned nID) const;
    // The buttons of a toolbar in order; 0 stands for a separator.
    const std::vector<unsigned>* ToolBar(unsigned nID) const;
    const std::vector<AccelData>* Accelerators(unsigned nID) const;

    QList<unsigned> MenuIds() const { return m_menus.keys(); }
    QList<unsigned> ToolBarIds() const { return m_toolbars.keys(); }

    // The first item with this command id anywhere in the menu, or null.
    static const MenuItemData* FindItem(const std::vector<MenuItemData>& items, unsigned nID);

private:
    QHash<unsigned, std::vector<MenuItemData>> m_menus;
    QHash<unsigned, std::vector<unsigned>> m_toolbars;
    QHash<unsigned, std::vector<AccelData>> m_accelerators;
};
