// SPDX-License-Identifier: MIT
// Command targets and their handler tables: every command and update request is offered along a
// chain of targets (view, document, child frame, main frame, application) until one handles it.
#pragma once

#include "framework/CmdUI.h"

#include <functional>
#include <vector>

class CCmdTarget;

enum class ECmdKind {
    Command,    // run the handler
    Update,     // run the update handler with a CCmdUI
    HasHandler, // is there a command handler? (nothing runs)
};

// The handler table of one class, chained to the table of its base class.
class CCommandMap {
public:
    // Returns true when the request was handled (false lets routing go on).
    using Handler = std::function<bool(CCmdTarget&, unsigned nID, CCmdUI* pCmdUI)>;
    struct Entry {
        unsigned nFirst;
        unsigned nLast;
        bool bUpdate;
        Handler fn;
    };

    CCommandMap(const CCommandMap* pBase, std::vector<Entry> entries)
        : m_pBase(pBase), m_entries(std::move(entries)) {}

    const CCommandMap* Base() const noexcept { return m_pBase; }
    // The first entry of this table alone (not the base's) for the id and kind.
    const Entry* Find(unsigned nID, bool bUpdate) const noexcept;

private:
    const CCommandMap* m_pBase;
    std::vector<Entry> m_entries;
};

// Builds the table of class T. Handlers are member functions of T or of its bases:
//   static const CCommandMap s_map = TCommandMapBuilder<CMyDoc>(&CDocument::ThisCommandMap())
//       .On(ID_IMAGE_INVERT, &CMyDoc::OnImageInvert)
//       .OnUpdate(ID_EDIT_UNDO, &CMyDoc::OnUpdateEditUndo)
//       .Build();
template <class T> class TCommandMapBuilder {
public:
    explicit TCommandMapBuilder(const CCommandMap* pBase) : m_pBase(pBase) {}

    TCommandMapBuilder& On(unsigned nID, void (T::*pfn)()) {
        return Add(nID, nID, false, [pfn](CCmdTarget& t, unsigned, CCmdUI*) {
            (static_cast<T&>(t).*pfn)();
            return true;
        });
    }
    // A handler that may decline (returns false) so that routing goes on.
    TCommandMapBuilder& OnEx(unsigned nID, bool (T::*pfn)(unsigned)) {
        return OnExRange(nID, nID, pfn);
    }
    TCommandMapBuilder& OnExRange(unsigned nFirst, unsigned nLast, bool (T::*pfn)(unsigned)) {
        return Add(nFirst, nLast, false, [pfn](CCmdTarget& t, unsigned nId, CCmdUI*) {
            return (static_cast<T&>(t).*pfn)(nId);
        });
    }
    TCommandMapBuilder& OnRange(unsigned nFirst, unsigned nLast, void (T::*pfn)(unsigned)) {
        return Add(nFirst, nLast, false, [pfn](CCmdTarget& t, unsigned nId, CCmdUI*) {
            (static_cast<T&>(t).*pfn)(nId);
            return true;
        });
    }
    TCommandMapBuilder& OnUpdate(unsigned nID, void (T::*pfn)(CCmdUI&)) {
        return OnUpdateRange(nID, nID, pfn);
    }
    TCommandMapBuilder& OnUpdateRange(unsigned nFirst, unsigned nLast, void (T::*pfn)(CCmdUI&)) {
        return Add(nFirst, nLast, true, [pfn](CCmdTarget& t, unsigned, CCmdUI* pCmdUI) {
            (static_cast<T&>(t).*pfn)(*pCmdUI);
            return !pCmdUI->TakeContinueRouting();
        });
    }

    CCommandMap Build() { return CCommandMap(m_pBase, std::move(m_entries)); }

private:
    TCommandMapBuilder& Add(unsigned nFirst, unsigned nLast, bool bUpdate,
                            CCommandMap::Handler fn) {
        m_entries.push_back({nFirst, nLast, bUpdate, std::move(fn)});
        return *this;
    }

    const CCommandMap* m_pBase;
    std::vector<CCommandMap::Entry> m_entries;
};

// Put in the class body of every command target that has a table of its own; define
// ThisCommandMap() in the .cpp with TCommandMapBuilder.
#define QUORVI_DECLARE_COMMAND_MAP()                                                               \
public:                                                                                            \
    static const CCommandMap& ThisCommandMap();                                                    \
    const CCommandMap& GetCommandMap() const override {                                            \
        return ThisCommandMap();                                                                   \
    }                                                                                              \
                                                                                                   \
private:

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Offers a request to this target and whatever it routes to. Returns true when handled.
    // Derived targets that route further (views, frames) override this and call
    // DispatchOwn for their own table. Handlers may throw; callers use GuardCommand.
    virtual bool OnCmdMsg(unsigned nID, ECmdKind kind, CCmdUI* pCmdUI);

    // The table of the most derived class (the empty root table here).
    static const CCommandMap& ThisCommandMap();
    virtual const CCommandMap& GetCommandMap() const { return ThisCommandMap(); }

protected:
    // Looks the request up in this object's tables only, most derived class first.
    bool DispatchOwn(unsigned nID, ECmdKind kind, CCmdUI* pCmdUI);
};
