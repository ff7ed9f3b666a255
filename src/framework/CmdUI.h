// SPDX-License-Identifier: MIT
// The update request passed to update handlers: they enable, check and retitle one command's
// menu item or toolbar button through it.
#pragma once

#include <QString>

#include <optional>
#include <vector>

// One item a menu update handler may put in place of a range of items (the recent-file list).
struct MenuEntry {
    unsigned nID = 0;
    QString strText;
    bool bEnabled = true;
};

class CCmdUI {
public:
    explicit CCmdUI(unsigned nID) : m_nID(nID) {}
    virtual ~CCmdUI() = default;
    CCmdUI(const CCmdUI&) = delete;
    CCmdUI& operator=(const CCmdUI&) = delete;

    unsigned ID() const noexcept { return m_nID; }

    void Enable(bool bOn = true);
    // 0 unchecked, 1 checked, 2 indeterminate.
    void SetCheck(int nCheck = 1);
    // A radio mark: checked, drawn as a bullet where the item can show one.
    void SetRadio(bool bOn = true);
    void SetText(const QString& strText);
    // The handler declines: routing goes on to the next target of the chain.
    void ContinueRouting() noexcept { m_bContinueRouting = true; }

    // Menu items only: replaces every item of the menu whose id lies in [nFirst, nLast] by
    // `entries`, at the place of the first of them. Returns false elsewhere (toolbars).
    virtual bool ReplaceItems(unsigned nFirst, unsigned nLast,
                              const std::vector<MenuEntry>& entries);
    // The text the item had in its resource (menu items only; empty elsewhere).
    virtual QString OriginalText() const { return {}; }

    // What the handlers asked for; read by whoever applies the request.
    bool EnableChanged() const noexcept { return m_bEnableChanged; }
    bool IsEnabled() const noexcept { return m_bEnabled; }
    std::optional<int> Check() const noexcept { return m_nCheck; }
    bool IsRadio() const noexcept { return m_bRadio; }
    const std::optional<QString>& Text() const noexcept { return m_strText; }

    // Used by the dispatcher around each handler call.
    bool TakeContinueRouting() noexcept {
        bool b = m_bContinueRouting;
        m_bContinueRouting = false;
        return b;
    }

private:
    unsigned m_nID;
    bool m_bEnableChanged = false;
    bool m_bEnabled = true;
    bool m_bContinueRouting = false;
    bool m_bRadio = false;
    std::optional<int> m_nCheck;
    std::optional<QString> m_strText;
};
