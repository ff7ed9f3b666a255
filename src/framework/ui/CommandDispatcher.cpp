// SPDX-License-Identifier: MIT
// Binding of actions to commands and the update passes.
#include "framework/ui/CommandDispatcher.h"

#include "framework/CmdTarget.h"
#include "framework/GuardCommand.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace {

const char* const kIdProperty = "quorviCommandId";
const char* const kOriginalTextProperty = "quorviOriginalText";

// The update request of one action; in a menu it can also replace a range of items (the
// recent-file list) and change the item's text.
class CActionCmdUI final : public CCmdUI {
public:
    CActionCmdUI(CCommandDispatcher& dispatcher, QAction* pAction, QMenu* pMenu)
        : CCmdUI(CCommandDispatcher::ActionId(pAction)), m_dispatcher(dispatcher),
          m_pAction(pAction), m_pMenu(pMenu) {}

    bool ReplaceItems(unsigned nFirst, unsigned nLast,
                      const std::vector<MenuEntry>& entries) override {
        if (m_pMenu == nullptr)
            return false;
        const QString strOriginal = OriginalText();
        const QList<QAction*> actions = m_pMenu->actions();
        QAction* pBefore = nullptr;
        qsizetype nLastRemoved = -1;
        for (qsizetype i = 0; i < actions.size(); ++i) {
            const unsigned nID = CCommandDispatcher::ActionId(actions[i]);
            if (nID < nFirst || nID > nLast)
                continue;
            m_pMenu->removeAction(actions[i]);
            actions[i]->deleteLater();
            nLastRemoved = i;
        }
        if (nLastRemoved >= 0 && nLastRemoved + 1 < actions.size())
            pBefore = actions[nLastRemoved + 1];
        for (const MenuEntry& entry : entries) {
            auto* pNew = new QAction(entry.strText, m_pMenu);
            m_dispatcher.Bind(pNew, entry.nID);
            pNew->setProperty(kOriginalTextProperty, strOriginal);
            pNew->setEnabled(entry.bEnabled);
            m_pMenu->insertAction(pBefore, pNew);
        }
        m_bReplaced = true;
        return true;
    }

    QString OriginalText() const override {
        if (m_pAction == nullptr)
            return {};
        const QVariant original = m_pAction->property(kOriginalTextProperty);
        return original.isValid() ? original.toString() : m_pAction->text();
    }

    void Apply() const {
        if (m_bReplaced || m_pAction == nullptr)
            return;
        m_pAction->setEnabled(IsEnabled());
        if (const std::optional<int> nCheck = Check()) {
            m_pAction->setCheckable(true);
            m_pAction->setChecked(*nCheck != 0);
        }
        // Only menu items change their text; a toolbar button keeps its tool tip.
        if (Text() && m_pMenu != nullptr)
            m_pAction->setText(*Text());
    }

private:
    CCommandDispatcher& m_dispatcher;
    QPointer<QAction> m_pAction;
    QMenu* m_pMenu;
    bool m_bReplaced = false;
};

} // namespace

CCommandDispatcher::CCommandDispatcher(CCmdTarget* pRoot, const CUiServices& ui, QObject* pParent)
    : QObject(pParent), m_pRoot(pRoot), m_ui(ui) {
    m_timer.setInterval(250);
    connect(&m_timer, &QTimer::timeout, this, &CCommandDispatcher::UpdateWatched);
}

unsigned CCommandDispatcher::ActionId(const QAction* pAction) {
    return pAction != nullptr ? pAction->property(kIdProperty).toUInt() : 0;
}

void CCommandDispatcher::SetActionId(QAction* pAction, unsigned nID) {
    pAction->setProperty(kIdProperty, nID);
}

void CCommandDispatcher::Bind(QAction* pAction, unsigned nID) {
    SetActionId(pAction, nID);
    connect(pAction, &QAction::triggered, this, [this, nID] { Execute(nID); });
}

bool CCommandDispatcher::Execute(unsigned nID) {
    if (m_pRoot == nullptr || nID == 0)
        return false;
    bool bHandled = false;
    // A handler may end in the destruction of whoever owns this dispatcher.
    QPointer<CCommandDispatcher> pGuard(this);
    GuardCommand(m_ui, [&] {
        // A stale button or a shortcut must not run a command its handlers have disabled.
        if (IsEnabled(nID))
            bHandled = m_pRoot->OnCmdMsg(nID, ECmdKind::Command, nullptr);
    });
    if (pGuard.isNull())
        return bHandled;
    if (bHandled)
        emit commandExecuted(nID);
    UpdateWatched();
    return bHandled;
}

void CCommandDispatcher::Update(CCmdUI& cmdUI) {
    if (m_pRoot == nullptr) {
        cmdUI.Enable(false);
        return;
    }
    const bool bOk = GuardCommand(m_ui, [&] {
        m_pRoot->OnCmdMsg(cmdUI.ID(), ECmdKind::Update, &cmdUI);
        if (!cmdUI.EnableChanged())
            cmdUI.Enable(m_pRoot->OnCmdMsg(cmdUI.ID(), ECmdKind::HasHandler, nullptr));
    });
    if (!bOk)
        cmdUI.Enable(false);
}

bool CCommandDispatcher::IsEnabled(unsigned nID) {
    CCmdUI cmdUI(nID);
    Update(cmdUI);
    return cmdUI.IsEnabled();
}

void CCommandDispatcher::UpdateAction(QAction* pAction) {
    if (ActionId(pAction) == 0)
        return;
    CActionCmdUI cmdUI(*this, pAction, nullptr);
    Update(cmdUI);
    cmdUI.Apply();
}

void CCommandDispatcher::UpdateMenu(QMenu* pMenu) {
    // Handlers may replace items while this runs: walk a guarded copy.
    QList<QPointer<QAction>> actions;
    for (QAction* pAction : pMenu->actions())
        actions.push_back(pAction);
    for (const QPointer<QAction>& pAction : actions) {
        if (pAction.isNull() || ActionId(pAction) == 0 ||
            !pMenu->actions().contains(pAction.data()))
            continue;
        CActionCmdUI cmdUI(*this, pAction, pMenu);
        Update(cmdUI);
        cmdUI.Apply();
    }
}

void CCommandDispatcher::WatchMenu(QMenu* pMenu) {
    connect(pMenu, &QMenu::aboutToShow, this, [this, pMenu] {
        emit initMenuPopup(pMenu);
        UpdateMenu(pMenu);
    });
    for (QAction* pAction : pMenu->actions()) {
        if (QMenu* pSub = pAction->menu())
            WatchMenu(pSub);
    }
}

void CCommandDispatcher::WatchActions(QWidget* pWidget) {
    m_watched.push_back(pWidget);
    if (!m_timer.isActive())
        m_timer.start();
    for (QAction* pAction : pWidget->actions())
        UpdateAction(pAction);
}

void CCommandDispatcher::UpdateWatched() {
    m_watched.removeAll(QPointer<QWidget>());
    for (const QPointer<QWidget>& pWidget : m_watched) {
        if (!pWidget->isVisible())
            continue;
        for (QAction* pAction : pWidget->actions())
            UpdateAction(pAction);
    }
}
