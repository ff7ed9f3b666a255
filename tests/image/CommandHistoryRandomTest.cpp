// SPDX-License-Identifier: MIT
// Long random sequences of operations, undos, redos, pending apply/revert/commit, clears and
// saves, checked step by step against a model of the history written here: stacks of undoable
// and redoable steps over a graph of image states, instead of a ring and counters.
#include "CommandHistoryTestSupport.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <random>

using namespace historytest;

namespace {

constexpr int N = CCommandHistory::kRingSize;

// One command of the model: the state it was run from and the state it leads to.
struct Step {
    int nId;
    int nBefore;
    int nAfter;
};

class CHistoryModel {
public:
    explicit CHistoryModel(const CImageBitmap& image) { AddState(image); }

    // Runs stamp id on a copy of the current state; returns the new state.
    int Apply(int id) {
        CMemoryBitmap b;
        b.CreateCopy(*m_images.at(std::size_t(m_nCurrent)));
        CStampFilter(id).ApplyInPlace(b);
        return AddState(b);
    }

    // Appends a recorded step: the redo branch goes, the oldest step drops out past N, and the
    // change count saturates at N + 1.
    void Record(const Step& step) {
        const bool hadRedo = !m_redo.empty();
        m_redo.clear();
        m_undo.push_back(step);
        if (int(m_undo.size()) > N)
            m_undo.pop_front();
        ++m_nPosition;
        m_nChange = (m_nChange < 0 && hadRedo) ? N + 1 : std::min(m_nChange + 1, N + 1);
    }
    void Settle() {
        if (m_pending && m_bPendingApplied)
            Record(*m_pending);
        m_pending.reset();
        m_bPendingApplied = false;
    }
    bool CanUndo() const { return !m_undo.empty() || (m_pending && m_bPendingApplied); }
    bool CanRedo() const { return !m_redo.empty() && !(m_pending && m_bPendingApplied); }
    void Undo() {
        Settle();
        m_redo.push_back(m_undo.back());
        m_undo.pop_back();
        --m_nPosition;
        m_nChange = std::max(m_nChange - 1, -(N + 1));
        m_nCurrent = m_redo.back().nBefore;
    }
    void Redo() {
        Settle();
        m_undo.push_back(m_redo.back());
        m_redo.pop_back();
        ++m_nPosition;
        m_nChange = std::min(m_nChange + 1, N + 1);
        m_nCurrent = m_undo.back().nAfter;
    }
    void Clear() {
        m_undo.clear();
        m_redo.clear();
        m_nPosition = 0;
        m_nChange = 0;
        m_nReference = RecordedState();
    }
    // The state the recorded steps lead to: the pending change's start while it is in effect.
    int RecordedState() const {
        return m_pending && m_bPendingApplied ? m_pending->nBefore : m_nCurrent;
    }

    // Ring slot contents: undo steps before the position, redo steps from it.
    std::array<int, N> Slots() const {
        std::array<int, N> slots{};
        const int p = Position();
        for (std::size_t i = 0; i < m_undo.size(); ++i)
            slots[std::size_t((p - 1 - int(i) + 10 * N) % N)] = m_undo[m_undo.size() - 1 - i].nId;
        for (std::size_t j = 0; j < m_redo.size(); ++j)
            slots[std::size_t((p + int(j)) % N)] = m_redo[m_redo.size() - 1 - j].nId;
        return slots;
    }
    int Position() const { return int(m_nPosition % N); }
    HistoryCounters Counters() const {
        return {Position(), int(m_undo.size()), int(m_redo.size()), m_nChange};
    }
    int LiveCommands() const { return int(m_undo.size() + m_redo.size()) + (m_pending ? 1 : 0); }
    const std::vector<std::uint8_t>& State(int n) const { return m_states.at(std::size_t(n)); }

    std::deque<Step> m_undo; // oldest first
    std::deque<Step> m_redo; // next redo last
    std::optional<Step> m_pending;
    bool m_bPendingApplied = false;
    long m_nPosition = 0;
    int m_nChange = 0;
    int m_nCurrent = 0;
    int m_nReference = 0;
    int m_nSaved = 0;

private:
    int AddState(const CImageBitmap& image) {
        m_states.push_back(Fingerprint(image));
        m_images.push_back(std::make_unique<CMemoryBitmap>());
        m_images.back()->CreateCopy(image);
        return int(m_states.size()) - 1;
    }

    std::vector<std::vector<std::uint8_t>> m_states;
    std::vector<std::unique_ptr<CMemoryBitmap>> m_images;
};

enum class Action { Record, Undo, Redo, Apply, Revert, Commit, Drop, Clear, Save, Fail };

Action PickAction(std::mt19937& rng) {
    // Weighted so that the ring fills, overflows and is undone through often.
    static constexpr std::array<std::pair<Action, int>, 10> kWeights{{{Action::Record, 30},
                                                                      {Action::Undo, 22},
                                                                      {Action::Redo, 14},
                                                                      {Action::Apply, 9},
                                                                      {Action::Revert, 6},
                                                                      {Action::Commit, 5},
                                                                      {Action::Drop, 3},
                                                                      {Action::Clear, 2},
                                                                      {Action::Save, 5},
                                                                      {Action::Fail, 4}}};
    int roll = int(rng() % 100);
    for (auto [action, weight] : kWeights) {
        if (roll < weight)
            return action;
        roll -= weight;
    }
    return Action::Record;
}

class CRandomRun {
public:
    explicit CRandomRun(unsigned seed) : m_rng(seed), m_model(m_doc.m_image) {}

    void Step(int index) {
        const Action action = PickAction(m_rng);
        m_history.m_announced.clear(); // each step's announcements are checked on their own
        m_expectedAnnounced.clear();
        const HistoryCounters before = m_history.Counters();
        const int changesBefore = m_history.m_nChanges;
        const bool result = Perform(action);
        SCOPED_TRACE("step " + std::to_string(index) + " action " + std::to_string(int(action)));
        Check(result);
        // Every change of the counters is followed by the hook the title mark hangs on.
        if (m_history.Counters() != before) {
            EXPECT_GT(m_history.m_nChanges, changesBefore);
            EXPECT_EQ(m_history.m_seenAtChange, m_history.Counters());
        }
    }

    CTestDocument m_doc;
    CRecordingHistory m_history;

private:
    bool Perform(Action action) {
        switch (action) {
        case Action::Record:
            return DoRecord();
        case Action::Undo:
            return DoUndo();
        case Action::Redo:
            return DoRedo();
        case Action::Apply:
            return DoApply();
        case Action::Revert:
            return DoRevert();
        case Action::Commit:
            return DoCommit(true);
        case Action::Drop:
            return DoCommit(false);
        case Action::Clear:
            m_history.ClearHistory();
            m_model.Clear();
            return m_expectedResult = true;
        case Action::Save:
            m_doc.Save();
            m_model.m_nSaved = m_model.m_nCurrent;
            return m_expectedResult = true;
        case Action::Fail:
            return DoFail();
        }
        return false;
    }

    bool DoRecord() {
        const int id = ++m_nNextId;
        const int after = m_model.Apply(id);
        m_expectedAnnounced.push_back("Last command : " + StampDescription(id));
        m_model.Settle();
        m_model.Record({id, m_model.m_nCurrent, after});
        m_model.m_nCurrent = after;
        m_expectedResult = true;
        return m_history.ExecuteAndRecord(MakeStamp(m_doc, id), true);
    }
    bool DoUndo() {
        m_expectedResult = m_model.CanUndo();
        if (m_expectedResult) {
            m_model.Undo();
            m_expectedAnnounced.push_back("Last command : Undo last action");
        }
        return m_history.Undo();
    }
    bool DoRedo() {
        m_expectedResult = m_model.CanRedo();
        if (m_expectedResult) {
            m_model.Redo();
            m_expectedAnnounced.push_back("Last command : Redo last action");
        }
        return m_history.Redo();
    }
    bool DoApply() {
        const int id = ++m_nNextId;
        const int after = m_model.Apply(id);
        m_expectedAnnounced.push_back("Last command : " + StampDescription(id));
        m_model.Settle();
        m_model.m_pending = ::Step{id, m_model.m_nCurrent, after};
        m_model.m_bPendingApplied = true;
        m_model.m_nCurrent = after;
        m_expectedResult = true;
        return m_history.ExecutePending(MakeStamp(m_doc, id), true);
    }
    bool DoRevert() {
        m_expectedResult = m_model.m_pending.has_value();
        if (m_expectedResult) {
            m_model.m_nCurrent = m_model.m_pending->nBefore;
            m_model.m_bPendingApplied = false;
            m_expectedAnnounced.push_back("Last command : Undo last action");
        }
        return m_history.RevertPending();
    }
    bool DoCommit(bool keep) {
        m_expectedResult = m_model.m_pending.has_value();
        if (m_expectedResult && keep)
            m_model.Settle();
        if (m_expectedResult && !keep && m_model.m_bPendingApplied) {
            m_model.m_nCurrent = m_model.m_pending->nBefore;
            m_expectedAnnounced.push_back("Last command : Undo last action");
        }
        m_model.m_pending.reset();
        m_model.m_bPendingApplied = false;
        return m_history.CommitPending(keep);
    }
    // A filter that fails as an allocation failure would: nothing may change.
    bool DoFail() {
        m_expectedResult = false;
        auto command =
            std::make_unique<CTavixCommand>(m_doc, std::make_unique<CThrowingFilter>(), "fails");
        try {
            if (m_rng() % 2) {
                m_history.ExecuteAndRecord(std::move(command), true);
            } else {
                if (!m_model.m_bPendingApplied)
                    m_model.m_pending.reset(); // a reverted one is freed before the new one runs
                m_history.ExecutePending(std::move(command), true);
            }
        } catch (const CTextException& e) {
            EXPECT_EQ(e.Code(), 10);
            return false;
        }
        ADD_FAILURE() << "the failing filter did not throw";
        return true;
    }

    void Check(bool result) {
        EXPECT_EQ(result, m_expectedResult);
        const HistoryCounters counters = m_history.Counters();
        ASSERT_EQ(counters, m_model.Counters());
        const std::array<int, N> slots = m_model.Slots();
        for (int slot = 0; slot < N; ++slot)
            ASSERT_EQ(StampId(m_history.CommandAt(slot)), slots[std::size_t(slot)]) << slot;
        ASSERT_EQ(StampId(m_history.PendingCommand()),
                  m_model.m_pending ? m_model.m_pending->nId : 0);
        EXPECT_EQ(m_history.IsPendingInEffect(), m_model.m_bPendingApplied);
        ASSERT_EQ(Fingerprint(m_doc.m_image), m_model.State(m_model.m_nCurrent));
        ASSERT_EQ(m_history.m_announced, m_expectedAnnounced);
        EXPECT_EQ(m_history.CanUndo(), m_model.CanUndo());
        EXPECT_EQ(m_history.CanRedo(), m_model.CanRedo());
        // Ownership: every stamp alive is held by the ring or the pending slot.
        EXPECT_EQ(CStampFilter::s_nLive, m_model.LiveCommands());
        EXPECT_EQ(m_doc.m_nBusyDepth, 0);
        // The change count is 0 exactly when the recorded steps lead back to the state of the
        // last clear, and a state that differs from the saved one is always marked modified.
        EXPECT_EQ(counters.nChangeCount == 0, m_model.RecordedState() == m_model.m_nReference);
        if (m_model.State(m_model.m_nCurrent) != m_model.State(m_model.m_nSaved)) {
            EXPECT_TRUE(m_doc.m_bModified);
        }
        EXPECT_GE(counters.nChangeCount, -(N + 1));
        EXPECT_LE(counters.nChangeCount, N + 1);
    }

    std::mt19937 m_rng;
    CHistoryModel m_model;
    std::vector<std::string> m_expectedAnnounced;
    bool m_expectedResult = false;
    int m_nNextId = 0;
};

class CommandHistoryRandomTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(CommandHistoryRandomTest, FollowsTheModelThroughLongSequences) {
    {
        CRandomRun run(GetParam());
        for (int i = 0; i < 2500 && !HasFatalFailure(); ++i)
            run.Step(i);
    }
    EXPECT_EQ(CStampFilter::s_nLive, 0); // the history freed everything it held
}

INSTANTIATE_TEST_SUITE_P(Seeds, CommandHistoryRandomTest, ::testing::Range(1u, 13u));

} // namespace
