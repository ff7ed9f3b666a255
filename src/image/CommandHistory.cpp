// SPDX-License-Identifier: MIT
#include "image/CommandHistory.h"

#include "image/CommandMacro.h"
#include "image/TextException.h"

#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <limits>
#include <new>
#include <optional>
#include <utility>

namespace {

constexpr int N = CCommandHistory::kRingSize;

// A quarter of the physical memory: ten copies of a very large image would otherwise take all
// of it, and the kernel ends the program with its unsaved work.
std::size_t DefaultMemoryBudget() noexcept {
    const long nPages = sysconf(_SC_PHYS_PAGES);
    const long cbPage = sysconf(_SC_PAGE_SIZE);
    if (nPages <= 0 || cbPage <= 0)
        return std::numeric_limits<std::size_t>::max(); // unknown: the ring alone bounds it
    return std::size_t(nPages) * std::size_t(cbPage) / 4;
}

// True when the copy was taken, false when memory for it could not be allocated.
bool TookUndoCopy(CCommand& command) {
    try {
        command.TakeUndoCopy();
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const CTextException& e) {
        if (e.Code() != img::err::kOutOfMemory)
            throw;
    }
    return false;
}

} // namespace

CCommandHistory::CCommandHistory() : m_cbBudget(DefaultMemoryBudget()) {}

CCommandHistory::~CCommandHistory() = default;

HistoryCounters CCommandHistory::Counters() const noexcept {
    return {m_nPosition, m_nUndoCount, m_nRedoCount, m_nChangeCount};
}

void CCommandHistory::RestoreCounters(const HistoryCounters& counters) noexcept {
    m_nPosition = counters.nPosition;
    m_nUndoCount = counters.nUndoCount;
    m_nRedoCount = counters.nRedoCount;
    m_nChangeCount = counters.nChangeCount;
}

std::string CCommandHistory::LastCommandText(const CCommand& command) {
    // Concatenated, not formatted: a description may hold a '%'.
    return "Last command : " + command.GetDescription();
}

void CCommandHistory::AnnounceExecuted(const CCommand& command) {
    if (const auto* macro = dynamic_cast<const CCommandMacro*>(&command)) {
        for (const auto& part : macro->Commands())
            OnCommandExecuted(*part);
    } else {
        OnCommandExecuted(command);
    }
}

void CCommandHistory::SetMemoryBudget(std::size_t cbBudget) {
    m_cbBudget = cbBudget != 0 ? cbBudget : DefaultMemoryBudget();
}

std::size_t CCommandHistory::HeldUndoBytes() const noexcept {
    std::size_t cbHeld = m_pPending ? m_pPending->UndoBytes() : 0;
    for (const auto& command : m_ring)
        cbHeld += command ? command->UndoBytes() : 0;
    return cbHeld;
}

bool CCommandHistory::MakeRoomFor(std::size_t cbCopy) noexcept {
    // The pending command's copy is the only one that cannot go: it undoes a change in effect.
    const std::size_t cbPending = m_pPending ? m_pPending->UndoBytes() : 0;
    if (cbCopy > m_cbBudget || cbPending > m_cbBudget - cbCopy)
        return false;
    const std::size_t cbRoom = m_cbBudget - cbCopy;
    std::size_t cbHeld = HeldUndoBytes();
    auto drop = [&cbHeld](std::unique_ptr<CCommand>& slot) {
        cbHeld -= slot ? slot->UndoBytes() : 0;
        slot.reset();
    };
    // The redo branch first, from its far end: recording the new step discards it anyway.
    for (; cbHeld > cbRoom && m_nRedoCount > 0; --m_nRedoCount)
        drop(m_ring[std::size_t((m_nPosition + m_nRedoCount - 1) % N)]);
    // Then the oldest undo steps; undo stops where the history was cut.
    for (; cbHeld > cbRoom && m_nUndoCount > 0; --m_nUndoCount)
        drop(m_ring[std::size_t((m_nPosition - m_nUndoCount + N) % N)]);
    return true;
}

std::optional<bool> CCommandHistory::KeepUndoCopyOrAsk(std::unique_ptr<CCommand>& command) {
    if (MakeRoomFor(command->UndoBytes()) && TookUndoCopy(*command))
        return std::nullopt;
    if (!ConfirmRunWithoutUndo(*command))
        return false;
    return RunWithoutUndo(std::move(command));
}

bool CCommandHistory::RunWithoutUndo(std::unique_ptr<CCommand> command) {
    if (!command->Execute())
        return false;
    AnnounceExecuted(*command);
    SettlePending();
    DiscardRedoBranch();
    OnHistoryChanged();
    return true;
}

bool CCommandHistory::ExecuteAndRecord(std::unique_ptr<CCommand> command, bool keep) {
    assert(command);
    if (keep) {
        if (const std::optional<bool> done = KeepUndoCopyOrAsk(command))
            return *done;
    }
    if (!command->Execute())
        return false;
    AnnounceExecuted(*command);
    SettlePending();
    if (keep)
        AddCommand(std::move(command));
    return true;
}

bool CCommandHistory::ExecutePending(std::unique_ptr<CCommand> command, bool keep) {
    assert(command);
    // A reverted pending command can no longer change anything: free its image copy before
    // the new command's filter needs memory (one image less at the peak of a size dialog).
    if (keep && m_pPending && !m_bPendingInEffect)
        m_pPending.reset();
    if (keep) {
        if (const std::optional<bool> done = KeepUndoCopyOrAsk(command))
            return *done;
    }
    if (!command->Execute())
        return false;
    AnnounceExecuted(*command);
    if (keep) {
        SettlePending();
        m_pPending = std::move(command);
        m_bPendingInEffect = true;
    }
    return true;
}

void CCommandHistory::SettlePending() {
    if (!m_pPending)
        return;
    std::unique_ptr<CCommand> pending = std::move(m_pPending);
    if (std::exchange(m_bPendingInEffect, false))
        AddCommand(std::move(pending));
}

void CCommandHistory::AddCommand(std::unique_ptr<CCommand> command) {
    assert(command);
    DiscardRedoBranch();
    // Slot P is now empty or, with the ring full, holds the oldest command, which goes.
    m_ring[std::size_t(m_nPosition)] = std::move(command);
    m_nPosition = (m_nPosition + 1) % N;
    m_nUndoCount = std::min(m_nUndoCount + 1, N);
    m_nChangeCount = std::min(m_nChangeCount + 1, N + 1);
    OnHistoryChanged();
}

void CCommandHistory::DiscardRedoBranch() noexcept {
    if (m_nChangeCount < 0 && m_nRedoCount > 0)
        m_nChangeCount = N + 1; // the reference state was in the discarded redo branch
    for (int i = 0; i < m_nRedoCount; ++i)
        m_ring[std::size_t((m_nPosition + i) % N)].reset();
    m_nRedoCount = 0;
}

bool CCommandHistory::CanUndo() const {
    return m_nUndoCount != 0 || IsPendingInEffect();
}

// A pending change in effect would be recorded before the redo, which discards the redo branch.
bool CCommandHistory::CanRedo() const {
    return m_nRedoCount != 0 && !IsPendingInEffect();
}

bool CCommandHistory::Undo() {
    if (!CanUndo())
        return false;
    SettlePending();
    const HistoryCounters before = Counters();
    m_nRedoCount = std::min(m_nRedoCount + 1, N);
    m_nUndoCount = std::max(m_nUndoCount - 1, -N);
    m_nChangeCount = std::max(m_nChangeCount - 1, -(N + 1));
    m_nPosition = (m_nPosition + N - 1) % N;
    bool done = false;
    try {
        CCommand* command = m_ring[std::size_t(m_nPosition)].get();
        std::unique_ptr<CCommand> undo = command ? command->CreateUndoCommand() : nullptr;
        done = undo && ExecuteAndRecord(std::move(undo), false);
    } catch (...) {
        RestoreCounters(before);
        throw;
    }
    if (!done)
        RestoreCounters(before);
    OnHistoryChanged();
    return done;
}

bool CCommandHistory::Redo() {
    if (!CanRedo())
        return false;
    SettlePending();
    const HistoryCounters before = Counters();
    CCommand* command = m_ring[std::size_t(m_nPosition)].get();
    m_nPosition = (m_nPosition + 1) % N;
    m_nRedoCount = std::max(m_nRedoCount - 1, -N);
    m_nUndoCount = std::min(m_nUndoCount + 1, N);
    m_nChangeCount = std::min(m_nChangeCount + 1, N + 1);
    bool done = false;
    try {
        std::unique_ptr<CCommand> redo = command ? command->CreateRedoCommand() : nullptr;
        done = redo && ExecuteAndRecord(std::move(redo), false);
    } catch (...) {
        RestoreCounters(before);
        throw;
    }
    if (!done)
        RestoreCounters(before);
    OnHistoryChanged();
    return done;
}

bool CCommandHistory::RevertPending() {
    if (!m_pPending)
        return false;
    std::unique_ptr<CCommand> undo = m_pPending->CreateUndoCommand();
    if (!undo)
        return false;
    const bool done = ExecutePending(std::move(undo), false);
    if (done)
        m_bPendingInEffect = false;
    OnHistoryChanged();
    return done;
}

bool CCommandHistory::CommitPending(bool keep) {
    if (!m_pPending)
        return false;
    // Dropping discards the change as well: left in the image without an undo step it would
    // sit under every later command, whose redo would then run on a different image than the
    // one it was recorded on. Exceptions from the revert leave the pending command as it was.
    if (!keep && IsPendingInEffect())
        RevertPending();
    std::unique_ptr<CCommand> pending = std::move(m_pPending);
    // A reverted change is not in the image: recording it would add a step that changes
    // nothing and count a change that is not there. A change that could not be reverted is
    // recorded instead, so it keeps its undo step.
    if (std::exchange(m_bPendingInEffect, false))
        AddCommand(std::move(pending));
    return true;
}

void CCommandHistory::ClearHistory() {
    for (int slot = N - 1; slot >= 0; --slot)
        m_ring[std::size_t(slot)].reset();
    m_nPosition = 0;
    m_nUndoCount = 0;
    m_nRedoCount = 0;
    m_nChangeCount = 0;
    OnHistoryChanged();
}
