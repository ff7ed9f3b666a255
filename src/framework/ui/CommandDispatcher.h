// SPDX-License-Identifier: MIT
// Binds QActions to command ids: runs a triggered command through the routing chain of its
// root target (the main frame), and asks the update handlers about every action before a menu
// opens and, on a timer, for toolbars.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class CCmdTarget;
class CCmdUI;
class CUiServices;
class QAction;
class QMenu;
class QWidget;

class CCommandDispatcher : public QObject {
    Q_OBJECT

public:
    // pRoot is where routing starts (the main frame); it must outlive the dispatcher or be
    // replaced with SetRoot(nullptr) first.
    // Failed handlers are reported through ui.
    CCommandDispatcher(CCmdTarget* pRoot, const CUiServices& ui, QObject* pParent = nullptr);

    void SetRoot(CCmdTarget* pRoot) noexcept { m_pRoot = pRoot; }
    CCmdTarget* Root() const noexcept { return m_pRoot; }

    // The command id an action stands for (0 for separators and submenus).
    static unsigned ActionId(const QAction* pAction);
    static void SetActionId(QAction* pAction, unsigned nID);

    // Gives the action its id and runs the command when it is triggered.
    void Bind(QAction* pAction, unsigned nID);

    // Runs the command if its update handlers leave it enabled. True when a handler ran.
    bool Execute(unsigned nID);
    // Asks the update handlers; a command no handler enables is enabled when some target of the
    // chain has a command handler for it, and disabled otherwise.
    void Update(CCmdUI& cmdUI);
    bool IsEnabled(unsigned nID);

    // Updates one action, or every action of a menu (its submenus update when they open).
    void UpdateAction(QAction* pAction);
    void UpdateMenu(QMenu* pMenu);
    // Updates the menu and its submenus each time they are about to show.
    void WatchMenu(QMenu* pMenu);
    // Updates the widget's actions (a toolbar) on the timer and after every command.
    void WatchActions(QWidget* pWidget);
    void UpdateWatched();
    void SetUpdateInterval(int nMilliseconds) { m_timer.setInterval(nMilliseconds); }

signals:
    // A menu is about to show, before its update handlers run: the place to rewrite captions.
    void initMenuPopup(QMenu* pMenu);
    // A command ran (a handler took it).
    void commandExecuted(unsigned nID);

private:
    CCmdTarget* m_pRoot;
    const CUiServices& m_ui;
    QList<QPointer<QWidget>> m_watched;
    QTimer m_timer;
};
