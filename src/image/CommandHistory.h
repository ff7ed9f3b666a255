// SPDX-License-Identifier: MIT
// Undo and redo over a ring of the last ten commands, plus one pending command that the size
// dialogs apply, revert and commit for live previews. The undo copies the commands keep are
// bounded by a memory budget as well. The image document derives from it and overrides the
// hooks.
#pragma once

#include "image/Command.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

// The history's counters (all ints, N = ring size):
// position P: ring slot the next recorded command takes, 0 <= P < N;
// undo count U / redo count R: steps that can be undone / redone;
// change count C: steps between the current state and the state at the last clear; 0 means
// the current state is that state, N + 1 means it can no longer be reached.
struct HistoryCounters {
    int nPosition = 0;
    int nUndoCount = 0;
    int nRedoCount = 0;
    int nChangeCount = 0;
    bool operator==(const HistoryCounters&) const = default;
};

class CCommandHistory {
public:
    static constexpr int kRingSize = 10;

    CCommandHistory();
    virtual ~CCommandHistory();
    CCommandHistory(const CCommandHistory&) = delete;
    CCommandHistory& operator=(const CCommandHistory&) = delete;

    // Runs command as the pending change; with keep it replaces the earlier pending command,
    // otherwise it is dropped after running. False (command dropped) when it did not run.
    // A replaced pending command that is still in effect is recorded first, so its change keeps
    // its undo step. keep makes room for the command's undo copy as ExecuteAndRecord does.
    virtual bool ExecutePending(std::unique_ptr<CCommand> command, bool keep);
    // Runs command and, with keep, records it. False (command dropped) when it did not run.
    // With keep, recorded steps are dropped first until the command's undo copy fits the memory
    // budget: the redo branch, which the new step discards anyway, then the oldest undo steps.
    // When the copy cannot fit or cannot be allocated, ConfirmRunWithoutUndo decides whether
    // the command runs without an undo step or is dropped (false, nothing changed).
    // Exceptions from the command pass through; the history is then unchanged but for the
    // steps dropped to make room.
    virtual bool ExecuteAndRecord(std::unique_ptr<CCommand> command, bool keep);
    // Step back / forward one command. False, with nothing changed, when there is none or when
    // the step did not run; exceptions leave the counters as they were.
    virtual bool Undo();
    virtual bool Redo();
    virtual bool CanUndo() const;
    virtual bool CanRedo() const;

    // Undoes the pending command's change, keeping it pending. False when there is none.
    bool RevertPending();
    // keep: records the pending command when its change is in effect. Otherwise reverts the
    // change, if in effect, and drops the command. False when there is none.
    bool CommitPending(bool keep);
    // Drops every recorded command and zeroes the counters; the pending command stays.
    void ClearHistory();
    // Bytes the undo copies of the recorded commands and the pending one may take together;
    // 0 gives the default, a quarter of the physical memory. Applies from the next command.
    void SetMemoryBudget(std::size_t cbBudget);

    HistoryCounters Counters() const noexcept;
    const CCommand* CommandAt(int slot) const noexcept { return m_ring[std::size_t(slot)].get(); }
    const CCommand* PendingCommand() const noexcept { return m_pPending.get(); }
    // True between running the pending command and reverting, committing or dropping it.
    bool IsPendingInEffect() const noexcept { return m_pPending && m_bPendingInEffect; }

    // The status-bar text announcing an executed command: "Last command : " and its description.
    static std::string LastCommandText(const CCommand& command);

protected:
    virtual void AddCommand(std::unique_ptr<CCommand> command);
    // After every change of the counters (the document refreshes its title mark).
    virtual void OnHistoryChanged() {}
    // After every command that ran, parts of a macro one by one (the document shows
    // LastCommandText and updates its views).
    virtual void OnCommandExecuted(const CCommand& /*command*/) {}
    // Asked before running command when its undo copy does not fit the memory budget or cannot
    // be allocated: true runs it without an undo step. The default runs nothing.
    virtual bool ConfirmRunWithoutUndo(const CCommand& /*command*/) { return false; }

private:
    // Gives command its undo copy within the budget: nothing to report then, the caller runs
    // and keeps the command. Otherwise asks, and reports whether the command ran without one.
    std::optional<bool> KeepUndoCopyOrAsk(std::unique_ptr<CCommand>& command);
    // Drops recorded steps until cbCopy more bytes fit the budget. False, dropping nothing,
    // when they would not fit even with every step dropped.
    bool MakeRoomFor(std::size_t cbCopy) noexcept;
    std::size_t HeldUndoBytes() const noexcept;
    // The earlier steps stay: each restores its own before-image, so undoing the last one
    // goes back to the state before it, the unrecorded change included. The redo branch goes.
    bool RunWithoutUndo(std::unique_ptr<CCommand> command);
    void AnnounceExecuted(const CCommand& command);
    // The pending command must not outlive a later change: one in effect is recorded, a
    // reverted one dropped (its copy is of an image that is about to change).
    void SettlePending();
    void RestoreCounters(const HistoryCounters& counters) noexcept;
    // Frees the R commands from slot P on, which a change of the image makes unreachable, and
    // sets R to 0.
    void DiscardRedoBranch() noexcept;

    std::unique_ptr<CCommand> m_pPending;
    bool m_bPendingInEffect = false;
    int m_nPosition = 0;    // P
    int m_nUndoCount = 0;   // U
    int m_nRedoCount = 0;   // R
    int m_nChangeCount = 0; // C
    std::size_t m_cbBudget;
    std::array<std::unique_ptr<CCommand>, kRingSize> m_ring;
};
