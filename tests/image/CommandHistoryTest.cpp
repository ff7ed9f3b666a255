// SPDX-License-Identifier: MIT
// Command history: the ring of ten, the counters, the pending slot, announcements, ownership
// and the modified flag, on the situations where a history goes wrong.
#include "CommandHistoryTestSupport.h"

#include "image/CommandMacro.h"
#include "support/TestSupport.h"

#include <new>

using namespace historytest;

namespace {

class CommandHistoryTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(m_doc.m_nBusyDepth, 0);
        // Whatever is left lives in the ring or the pending slot, and nowhere else.
        m_history.ClearHistory();
        m_history.CommitPending(false);
        EXPECT_EQ(CStampFilter::s_nLive, 0);
    }

    // Records stamps first..last in order.
    void Record(int first, int last) {
        for (int id = first; id <= last; ++id)
            ASSERT_TRUE(m_history.ExecuteAndRecord(MakeStamp(m_doc, id), true));
    }
    std::vector<std::uint8_t> Image() const { return Fingerprint(m_doc.m_image); }
    // Title mark of the document: shown while C is not 0 or the modified flag is set.
    bool TitleMarked() const { return m_history.Counters().nChangeCount != 0 || m_doc.m_bModified; }

    CTestDocument m_doc;
    CRecordingHistory m_history;
    const std::vector<std::uint8_t> m_original = Fingerprint(m_doc.m_image);
};

HistoryCounters Counters(int p, int u, int r, int c) {
    return {p, u, r, c};
}

TEST_F(CommandHistoryTest, ElevenOperationsThenElevenUndosStopAtTheFirstOperation) {
    Record(1, 11);
    EXPECT_EQ(m_history.Counters(), Counters(1, 10, 0, 11));
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(m_history.Undo()) << i;
    EXPECT_FALSE(m_history.CanUndo());
    const auto counters = m_history.Counters();
    EXPECT_FALSE(m_history.Undo());
    EXPECT_EQ(m_history.Counters(), counters);
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1}));
}

TEST_F(CommandHistoryTest, RingOverflowDropsTheOldestAtOnceAndKeepsTheRest) {
    Record(1, 10);
    EXPECT_EQ(CStampFilter::s_nLive, 10);
    Record(11, 11);
    EXPECT_EQ(CStampFilter::s_nLive, 10);
    EXPECT_EQ(StampId(m_history.CommandAt(0)), 11); // took the oldest one's slot
    for (int slot = 1; slot < 10; ++slot)
        EXPECT_EQ(StampId(m_history.CommandAt(slot)), slot + 1);
    // Redoing everything after undoing everything gives the same image.
    const auto top = Image();
    while (m_history.Undo()) {
    }
    while (m_history.Redo()) {
    }
    EXPECT_EQ(Image(), top);
    EXPECT_EQ(m_history.Counters(), Counters(1, 10, 0, 11));
}

TEST_F(CommandHistoryTest, UndoThenNewOperationDeletesTheRedoBranch) {
    Record(1, 3);
    ASSERT_TRUE(m_history.Undo());
    ASSERT_TRUE(m_history.Undo());
    EXPECT_TRUE(m_history.CanRedo());
    Record(4, 4);
    EXPECT_FALSE(m_history.CanRedo());
    EXPECT_FALSE(m_history.Redo());
    EXPECT_EQ(m_history.Counters(), Counters(2, 2, 0, 2));
    EXPECT_EQ(CStampFilter::s_nLive, 2); // 2 and 3 are gone
    EXPECT_EQ(StampId(m_history.CommandAt(0)), 1);
    EXPECT_EQ(StampId(m_history.CommandAt(1)), 4);
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1, 4}));
    ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1}));
}

TEST_F(CommandHistoryTest, UndoBackToTheLoadedStateClearsTheMarkAndStops) {
    Record(1, 1);
    EXPECT_EQ(m_history.Counters().nChangeCount, 1);
    EXPECT_TRUE(m_doc.m_bModified);
    EXPECT_TRUE(TitleMarked());
    ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(m_history.Counters(), Counters(0, 0, 1, 0));
    EXPECT_FALSE(m_doc.m_bModified);
    EXPECT_FALSE(TitleMarked());
    EXPECT_EQ(Image(), m_original);
    EXPECT_FALSE(m_history.Undo());
    EXPECT_EQ(m_history.Counters(), Counters(0, 0, 1, 0));
}

TEST_F(CommandHistoryTest, TwelveOperationsTenUndosKeepTheMark) {
    Record(1, 12);
    EXPECT_EQ(m_history.Counters().nUndoCount, 10);
    EXPECT_EQ(m_history.Counters().nChangeCount, 11);
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(m_history.Counters().nUndoCount, 0);
    EXPECT_EQ(m_history.Counters().nChangeCount, 1);
    EXPECT_TRUE(TitleMarked());
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1, 2}));
}

TEST_F(CommandHistoryTest, UndoAndRedoAreAnnouncedAsSuch) {
    Record(7, 7);
    ASSERT_TRUE(m_history.Undo());
    ASSERT_TRUE(m_history.Redo());
    const std::vector<std::string> expected{"Last command : Stamp 7",
                                            "Last command : Undo last action",
                                            "Last command : Redo last action"};
    EXPECT_EQ(m_history.m_announced, expected);
    CTavixCommand command(m_doc, std::make_unique<CStampFilter>(1), "100% of it");
    EXPECT_EQ(CCommandHistory::LastCommandText(command), "Last command : 100% of it");
}

TEST_F(CommandHistoryTest, KindsAndDescriptionsOfTheCommandClasses) {
    CTavixCommand command(m_doc, std::make_unique<CStampFilter>(1), "Invert the image");
    EXPECT_EQ(command.GetKind(), 1);
    EXPECT_EQ(command.GetDescription(), "Invert the image");
    auto undo = command.CreateUndoCommand();
    auto redo = command.CreateRedoCommand();
    EXPECT_EQ(undo->GetKind(), 2);
    EXPECT_EQ(redo->GetKind(), 3);
    EXPECT_EQ(undo->GetDescription(), "Undo last action");
    EXPECT_EQ(redo->GetDescription(), "Redo last action");
    EXPECT_EQ(undo->CreateUndoCommand(), nullptr);
    EXPECT_EQ(redo->CreateRedoCommand(), nullptr);
}

TEST_F(CommandHistoryTest, ThreeOperationsTwoUndosOneOperation) {
    Record(1, 3);
    m_history.Undo();
    m_history.Undo();
    Record(4, 4);
    const auto counters = m_history.Counters();
    EXPECT_EQ(counters.nRedoCount, 0);
    EXPECT_EQ(counters.nUndoCount, 2);
    EXPECT_EQ(counters.nChangeCount, 2);
    EXPECT_EQ(m_history.m_seenAtChange, counters);
}

TEST_F(CommandHistoryTest, PendingRevertRestoresSizeDepthAndPixelsAndKeepsTheCommand) {
    Record(1, 1);
    const auto before = Image();
    m_doc.Save();
    ASSERT_TRUE(m_history.ExecutePending(MakeStamp(m_doc, 3), true)); // 8 bpp, 4 x 1
    EXPECT_EQ(m_doc.m_image.Depth(), 8);
    EXPECT_TRUE(m_doc.m_bModified);
    EXPECT_EQ(m_history.Counters(), Counters(1, 1, 0, 1)); // pending is not a step
    ASSERT_TRUE(m_history.RevertPending());
    EXPECT_EQ(Image(), before);
    EXPECT_FALSE(m_doc.m_bModified); // as saved
    ASSERT_NE(m_history.PendingCommand(), nullptr);
    EXPECT_FALSE(m_history.IsPendingInEffect());
    EXPECT_EQ(m_history.m_announced.back(), "Last command : Undo last action");
    // Apply again, then commit: one step, whose undo returns to the same image.
    ASSERT_TRUE(m_history.ExecutePending(MakeStamp(m_doc, 5), true));
    EXPECT_EQ(CStampFilter::s_nLive, 2);
    ASSERT_TRUE(m_history.CommitPending(true));
    EXPECT_EQ(m_history.PendingCommand(), nullptr);
    EXPECT_EQ(m_history.Counters(), Counters(2, 2, 0, 2));
    ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(Image(), before);
    EXPECT_FALSE(m_history.RevertPending());
    EXPECT_FALSE(m_history.CommitPending(true));
}

// Left in the image without an undo step, a dropped change would sit under every later
// command and make their redo run on a different image.
TEST_F(CommandHistoryTest, DroppingAnAppliedPendingCommandDiscardsItsChange) {
    Record(1, 2);
    ASSERT_TRUE(m_history.Undo());
    ASSERT_TRUE(m_history.ExecutePending(MakeStamp(m_doc, 3), true));
    EXPECT_FALSE(m_history.CanRedo());
    ASSERT_TRUE(m_history.CommitPending(false));
    EXPECT_EQ(CStampFilter::s_nLive, 2);
    EXPECT_EQ(m_history.Counters(), Counters(1, 1, 1, 1));
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1}));
    EXPECT_EQ(m_history.m_announced.back(), "Last command : Undo last action");
    ASSERT_TRUE(m_history.Redo());
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1, 2}));
}

TEST_F(CommandHistoryTest, ClearWithAPendingCommandLeavesItAlive) {
    Record(1, 2);
    ASSERT_TRUE(m_history.ExecutePending(MakeStamp(m_doc, 3), true));
    m_history.ClearHistory();
    EXPECT_EQ(m_history.Counters(), Counters(0, 0, 0, 0));
    EXPECT_EQ(CStampFilter::s_nLive, 1);
    EXPECT_EQ(StampId(m_history.PendingCommand()), 3);
    ASSERT_TRUE(m_history.RevertPending());
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1, 2}));
    EXPECT_FALSE(m_history.CanUndo());
}

// A second apply without a revert must not lose the first change's undo step: it is recorded
// before the second takes the pending slot, so two undos return to the original.
TEST_F(CommandHistoryTest, ReplacingAnAppliedPendingCommandRecordsIt) {
    ASSERT_TRUE(m_history.ExecutePending(MakeStamp(m_doc, 1), true));
    ASSERT_TRUE(m_history.ExecutePending(MakeStamp(m_doc, 2), true));
    EXPECT_EQ(m_history.Counters(), Counters(1, 1, 0, 1));
    ASSERT_TRUE(m_history.RevertPending());
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1}));
    ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(Image(), m_original);
    EXPECT_FALSE(m_doc.m_bModified);
    EXPECT_EQ(CStampFilter::s_nLive, 1); // the reverted pending went with the undo
    EXPECT_EQ(m_history.PendingCommand(), nullptr);
}

// A pending change left in effect (its dialog closed without commit) keeps an undo step once
// anything else happens.
TEST_F(CommandHistoryTest, AnAppliedPendingChangeIsRecordedBeforeTheNextChange) {
    ASSERT_TRUE(m_history.ExecutePending(MakeStamp(m_doc, 1), true));
    EXPECT_TRUE(m_history.CanUndo());
    Record(2, 2);
    EXPECT_EQ(m_history.PendingCommand(), nullptr);
    EXPECT_EQ(m_history.Counters(), Counters(2, 2, 0, 2));
    ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1}));
    ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(Image(), m_original);

    // Undo with only a pending change in effect undoes that change.
    CTestDocument doc;
    CRecordingHistory history;
    ASSERT_TRUE(history.ExecutePending(MakeStamp(doc, 4), true));
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(Fingerprint(doc.m_image), Fingerprint(CTestDocument().m_image));
    EXPECT_EQ(history.Counters(), Counters(0, 0, 1, 0));
    EXPECT_FALSE(doc.m_bModified);
}

TEST_F(CommandHistoryTest, CommittingARevertedPendingCommandRecordsNothing) {
    ASSERT_TRUE(m_history.ExecutePending(MakeStamp(m_doc, 1), true));
    ASSERT_TRUE(m_history.RevertPending());
    ASSERT_TRUE(m_history.CommitPending(true));
    EXPECT_EQ(m_history.Counters(), Counters(0, 0, 0, 0));
    EXPECT_FALSE(TitleMarked());
    EXPECT_EQ(CStampFilter::s_nLive, 0);
}

// After a save the file holds the changed image; undoing must leave the document modified or
// closing would not offer to save.
TEST_F(CommandHistoryTest, UndoAfterSaveKeepsTheDocumentModified) {
    Record(1, 2);
    m_doc.Save();
    ASSERT_TRUE(m_history.Undo());
    EXPECT_TRUE(m_doc.m_bModified);
    ASSERT_TRUE(m_history.Undo());
    EXPECT_TRUE(m_doc.m_bModified);
    EXPECT_EQ(m_history.Counters().nChangeCount, 0);
    EXPECT_TRUE(TitleMarked());
    // Saved at the original, then redo and undo: back at what the file holds.
    m_doc.Save();
    ASSERT_TRUE(m_history.Redo());
    EXPECT_TRUE(m_doc.m_bModified);
    ASSERT_TRUE(m_history.Undo());
    EXPECT_FALSE(m_doc.m_bModified);
}

TEST_F(CommandHistoryTest, NewDocumentStaysModifiedAfterUndo) {
    m_doc.m_bModified = true; // a fresh capture has never been saved
    Record(1, 1);
    ASSERT_TRUE(m_history.Undo());
    EXPECT_TRUE(m_doc.m_bModified);
    EXPECT_TRUE(TitleMarked());
}

TEST_F(CommandHistoryTest, AFailingFilterChangesNothingAndFreesTheCommand) {
    Record(1, 2);
    const auto counters = m_history.Counters();
    const auto image = Image();
    m_doc.m_bModified = false;
    const std::size_t announced = m_history.m_announced.size();
    EXPECT_TEXT_EXCEPTION(
        m_history.ExecuteAndRecord(
            std::make_unique<CTavixCommand>(m_doc, std::make_unique<CThrowingFilter>(), "x"), true),
        10, "Out of memory creating bitmap.");
    EXPECT_TEXT_EXCEPTION(
        m_history.ExecutePending(
            std::make_unique<CTavixCommand>(m_doc, std::make_unique<CThrowingFilter>(), "x"), true),
        10, "Out of memory creating bitmap.");
    EXPECT_EQ(m_history.Counters(), counters);
    EXPECT_EQ(Image(), image);
    EXPECT_FALSE(m_doc.m_bModified);
    EXPECT_EQ(m_history.m_announced.size(), announced);
    EXPECT_EQ(m_history.PendingCommand(), nullptr);
    EXPECT_EQ(m_doc.m_nBusyDepth, 0);
    EXPECT_EQ(CStampFilter::s_nLive, 2);
    EXPECT_EQ(StampId(m_history.CommandAt(1)), 2);
}

// Commands whose undo runs, refuses to run or throws, and which have no redo command.
enum class UndoBehaviour { Runs, Refuses, Throws };

class CScriptedCommand : public CCommand {
public:
    CScriptedCommand(bool runs, int* pLive, UndoBehaviour undo = UndoBehaviour::Runs)
        : m_bRuns(runs), m_undo(undo), m_pLive(pLive) {
        ++*m_pLive;
    }
    ~CScriptedCommand() override { --*m_pLive; }
    int GetKind() const override { return 9; }
    bool Execute() override {
        if (m_bThrows)
            throw CTextException(10, "Out of memory creating bitmap.");
        return m_bRuns;
    }
    std::unique_ptr<CCommand> CreateUndoCommand() override {
        auto undo = std::make_unique<CScriptedCommand>(m_undo == UndoBehaviour::Runs, m_pLive);
        undo->m_bThrows = m_undo == UndoBehaviour::Throws;
        return undo;
    }
    std::unique_ptr<CCommand> CreateRedoCommand() override { return nullptr; }
    std::string GetDescription() const override { return "scripted"; }

private:
    bool m_bRuns;
    bool m_bThrows = false;
    UndoBehaviour m_undo;
    int* m_pLive;
};

TEST_F(CommandHistoryTest, ACommandThatDoesNotRunIsFreedAndNeverRecorded) {
    int live = 0;
    EXPECT_FALSE(
        m_history.ExecuteAndRecord(std::make_unique<CScriptedCommand>(false, &live), true));
    EXPECT_FALSE(
        m_history.ExecuteAndRecord(std::make_unique<CScriptedCommand>(false, &live), false));
    EXPECT_FALSE(m_history.ExecutePending(std::make_unique<CScriptedCommand>(false, &live), true));
    EXPECT_EQ(live, 0);
    EXPECT_EQ(m_history.Counters(), Counters(0, 0, 0, 0));
    EXPECT_TRUE(m_history.m_announced.empty());
}

TEST_F(CommandHistoryTest, UndoAndRedoThatFailLeaveTheCountersAsTheyWere) {
    int live = 0;
    ASSERT_TRUE(m_history.ExecuteAndRecord(
        std::make_unique<CScriptedCommand>(true, &live, UndoBehaviour::Refuses), true));
    EXPECT_FALSE(m_history.Undo());
    EXPECT_EQ(m_history.Counters(), Counters(1, 1, 0, 1));
    ASSERT_TRUE(m_history.ExecuteAndRecord(
        std::make_unique<CScriptedCommand>(true, &live, UndoBehaviour::Throws), true));
    EXPECT_TEXT_EXCEPTION(m_history.Undo(), 10, "Out of memory creating bitmap.");
    EXPECT_EQ(m_history.Counters(), Counters(2, 2, 0, 2));
    EXPECT_EQ(live, 2); // the undo commands are gone
    ASSERT_TRUE(m_history.ExecuteAndRecord(std::make_unique<CScriptedCommand>(true, &live), true));
    ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(m_history.Counters(), Counters(2, 2, 1, 2));
    EXPECT_FALSE(m_history.Redo()); // it has no redo command
    EXPECT_EQ(m_history.Counters(), Counters(2, 2, 1, 2));
    m_history.ClearHistory();
    EXPECT_EQ(live, 0);
}

TEST_F(CommandHistoryTest, ATargetCommandChangesOnlyTheTargetAndUndoRestoresIt) {
    CMemoryBitmap target;
    target.Create(2, 2, 32);
    for (int y = 0; y < 2; ++y)
        for (std::size_t i = 0; i < 8; ++i)
            target.Line(y)[i] = std::uint8_t(200 + y * 8 + int(i));
    const auto targetBefore = Fingerprint(target);
    ASSERT_TRUE(m_history.ExecuteAndRecord(
        std::make_unique<CTavixCommand>(m_doc, std::make_unique<CStampFilter>(4), "t", &target),
        true));
    EXPECT_EQ(Image(), m_original);
    EXPECT_EQ(Fingerprint(target), AfterStamps(m_doc.m_image, {4}));
    ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(Fingerprint(target), targetBefore);
    EXPECT_EQ(Image(), m_original);
    ASSERT_TRUE(m_history.Redo());
    EXPECT_EQ(Fingerprint(target), AfterStamps(m_doc.m_image, {4}));
}

TEST_F(CommandHistoryTest, AMacroRunsAndIsAnnouncedPartByPartAndUndoesInReverse) {
    auto macro = std::make_unique<CCommandMacro>("both");
    macro->Add(MakeStamp(m_doc, 1));
    macro->Add(MakeStamp(m_doc, 2));
    EXPECT_EQ(macro->GetKind(), 4);
    EXPECT_EQ(macro->GetDescription(), "both");
    ASSERT_TRUE(m_history.ExecuteAndRecord(std::move(macro), true));
    const std::vector<std::string> parts{"Last command : Stamp 1", "Last command : Stamp 2"};
    EXPECT_EQ(m_history.m_announced, parts);
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1, 2}));
    EXPECT_EQ(m_history.Counters(), Counters(1, 1, 0, 1));
    ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(Image(), m_original);
    EXPECT_FALSE(m_doc.m_bModified);
    ASSERT_TRUE(m_history.Redo());
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1, 2}));
    EXPECT_EQ(m_history.m_announced.size(), 6u);
}

TEST_F(CommandHistoryTest, AMacroWhosePartFailsUndoesThePartsAlreadyRun) {
    auto macro = std::make_unique<CCommandMacro>("both");
    macro->Add(MakeStamp(m_doc, 1));
    macro->Add(std::make_unique<CTavixCommand>(m_doc, std::make_unique<CThrowingFilter>(), "x"));
    EXPECT_TEXT_EXCEPTION(m_history.ExecuteAndRecord(std::move(macro), true), 10,
                          "Out of memory creating bitmap.");
    EXPECT_EQ(Image(), m_original);
    EXPECT_FALSE(m_doc.m_bModified);
    EXPECT_EQ(m_history.Counters(), Counters(0, 0, 0, 0));
    EXPECT_EQ(CStampFilter::s_nLive, 0);
}

// A stamp whose undo copy finds no memory.
class CCopyFailingStamp : public CTavixCommand {
public:
    CCopyFailingStamp(CTestDocument& doc, int id)
        : CTavixCommand(doc, std::make_unique<CStampFilter>(id), StampDescription(id),
                        EUndoCopy::WhenRecorded) {}
    void TakeUndoCopy() override { throw std::bad_alloc(); }
};

TEST_F(CommandHistoryTest, AnUndoCopyWithoutMemoryAsksAndYesRunsWithoutAStep) {
    Record(1, 3);
    ASSERT_TRUE(m_history.Undo());
    const HistoryCounters counters = m_history.Counters();
    EXPECT_FALSE(m_history.ExecuteAndRecord(std::make_unique<CCopyFailingStamp>(m_doc, 4), true));
    EXPECT_EQ(m_history.m_nAskedWithoutUndo, 1);
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1, 2}));
    EXPECT_EQ(m_history.Counters(), counters);
    // A budget below one copy asks before allocating anything; Yes runs the command.
    m_history.SetMemoryBudget(1);
    m_history.m_bRunWithoutUndo = true;
    using EUndoCopy = CTavixCommand::EUndoCopy;
    EXPECT_TRUE(m_history.ExecuteAndRecord(MakeStamp(m_doc, 5, EUndoCopy::WhenRecorded), true));
    EXPECT_EQ(m_history.m_nAskedWithoutUndo, 2);
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1, 2, 5}));
    EXPECT_EQ(m_history.Counters(), Counters(2, 2, 0, 2)) << "the redo branch went";
    EXPECT_TRUE(m_history.ExecutePending(MakeStamp(m_doc, 6, EUndoCopy::WhenRecorded), true));
    EXPECT_FALSE(m_history.IsPendingInEffect());
    EXPECT_EQ(CStampFilter::s_nLive, 2);
    // The steps before restore their own before-images.
    ASSERT_TRUE(m_history.Undo());
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1}));
    ASSERT_TRUE(m_history.Redo());
    EXPECT_EQ(Image(), AfterStamps(CTestDocument().m_image, {1, 2}));
}

TEST_F(CommandHistoryTest, EveryExecutionShowsTheBusyCursorOnce) {
    Record(1, 3);
    EXPECT_EQ(m_doc.m_nBusyCalls, 3);
    m_history.Undo();
    EXPECT_EQ(m_doc.m_nBusyCalls, 3); // a restore is a copy
    m_history.Redo();
    EXPECT_EQ(m_doc.m_nBusyCalls, 4);
}

} // namespace
