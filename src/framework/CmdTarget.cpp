// SPDX-License-Identifier: MIT
// Command targets and handler tables.
#include "framework/CmdTarget.h"

const CCommandMap::Entry* CCommandMap::Find(unsigned nID, bool bUpdate) const noexcept {
    for (const Entry& entry : m_entries) {
        if (entry.bUpdate == bUpdate && nID >= entry.nFirst && nID <= entry.nLast)
            return &entry;
    }
    return nullptr;
}

const CCommandMap& CCmdTarget::ThisCommandMap() {
    static const CCommandMap s_map(nullptr, {});
    return s_map;
}

bool CCmdTarget::OnCmdMsg(unsigned nID, ECmdKind kind, CCmdUI* pCmdUI) {
    return DispatchOwn(nID, kind, pCmdUI);
}

bool CCmdTarget::DispatchOwn(unsigned nID, ECmdKind kind, CCmdUI* pCmdUI) {
    const bool bUpdate = kind == ECmdKind::Update;
    if (bUpdate && pCmdUI == nullptr)
        return false;
    for (const CCommandMap* pMap = &GetCommandMap(); pMap != nullptr; pMap = pMap->Base()) {
        const CCommandMap::Entry* pEntry = pMap->Find(nID, bUpdate);
        if (pEntry == nullptr)
            continue;
        if (kind == ECmdKind::HasHandler)
            return true;
        // The first entry found decides, as a derived class's handler hides its base's.
        return pEntry->fn(*this, nID, pCmdUI);
    }
    return false;
}
