// SPDX-License-Identifier: MIT
// Documents through their template and the document manager: new, open, save, save as, close,
// the save-changes prompt and the recent-file list, on real files.
#include "ScriptedUi.h"
#include "TestFrames.h"

#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/RecentFileList.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>

#include <gtest/gtest.h>

namespace {

QString ReadAll(const QString& strPath) {
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                          : QStringLiteral("<missing>");
}

void WriteAll(const QString& strPath, const QByteArray& data) {
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto pTemplate = std::make_unique<CTextDocTemplate>(&m_main);
        m_pTemplate = pTemplate.get();
        m_app.AddDocTemplate(std::move(pTemplate));
        m_app.SetMainWnd(&m_main);
    }
    void TearDown() override {
        m_app.CloseAllDocuments(false);
        FlushDeletes();
    }

    static void FlushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString Path(const char* pszName) const {
        return QString::fromStdString((m_dir.Path() / pszName).string());
    }
    CDocManager& Manager() { return m_app.DocManager(); }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const MessageBoxRequest& r : m_app.m_boxes.m_shown)
            texts.push_back(r.strText.toStdString());
        return texts;
    }
    bool Route(unsigned nID) { return m_main.OnCmdMsg(nID, ECmdKind::Command, nullptr); }

    testsupport::CTempDir m_dir;
    CScriptedApp m_app;
    CTestMainFrame m_main;
    CTextDocTemplate* m_pTemplate = nullptr;
};

} // namespace

TEST_F(DocumentTest, NewDocumentsAreNumberedFromTheDocumentName) {
    CDocument* pFirst = Manager().OnFileNew();
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(pFirst->GetTitle(), QStringLiteral("Quorv1"));
    EXPECT_TRUE(pFirst->GetPathName().isEmpty());
    EXPECT_EQ(static_cast<CTextDoc*>(pFirst)->m_strText, QStringLiteral("new"));
    // The frame was shown and its view had its first update.
    ASSERT_NE(m_main.m_pActive, nullptr);
    EXPECT_EQ(m_main.m_pActive->GetActiveDocument(), pFirst);
    EXPECT_EQ(static_cast<CTestChildFrame*>(m_main.m_pActive)->View()->m_nInitialUpdates, 1);
    EXPECT_EQ(static_cast<CTestChildFrame*>(m_main.m_pActive)->m_strCaption,
              QStringLiteral("Quorv1"));

    Route(ID_FILE_NEW);
    EXPECT_EQ(Manager().GetOpenDocumentCount(), 2);
    EXPECT_EQ(m_main.m_pActive->GetActiveDocument()->GetTitle(), QStringLiteral("Quorv2"));
}

TEST_F(DocumentTest, OpenReadsTheFileSetsThePathAndTheRecentList) {
    const QString strPath = Path("a.txt");
    WriteAll(strPath, "alpha");
    CDocument* pDoc = m_app.OpenDocumentFile(strPath);
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(static_cast<CTextDoc*>(pDoc)->m_strText, QStringLiteral("alpha"));
    EXPECT_EQ(pDoc->GetPathName(), strPath);
    EXPECT_EQ(pDoc->GetTitle(), QStringLiteral("a.txt"));
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ((*m_app.RecentFileList())[0], strPath);
    EXPECT_EQ(m_app.m_profile.ReadSection(QStringLiteral("Recent File List"))
                  .value(QStringLiteral("File1")),
              strPath);
    EXPECT_GE(m_app.m_wait.m_nBegins, 1);
    EXPECT_EQ(m_app.m_wait.m_nDepth, 0);
}

TEST_F(DocumentTest, OpeningAnOpenFileBringsItsWindowForward) {
    const QString strPath = Path("a.txt");
    WriteAll(strPath, "alpha");
    CDocument* pFirst = m_app.OpenDocumentFile(strPath);
    CFrameWnd* pFirstFrame = m_main.m_pActive;
    Manager().OnFileNew();
    ASSERT_NE(m_main.m_pActive, pFirstFrame);
    // Another spelling of the same path finds the same document.
    CDocument* pAgain = m_app.OpenDocumentFile(
        Path("a.txt").replace(QStringLiteral("/a.txt"), QStringLiteral("/./a.txt")));
    EXPECT_EQ(pAgain, pFirst);
    EXPECT_EQ(m_main.m_pActive, pFirstFrame);
    EXPECT_EQ(Manager().GetOpenDocumentCount(), 2);
}

TEST_F(DocumentTest, AFailedOpenLeavesNoDocumentAndNoWindow) {
    m_app.m_boxes.m_answers.push_back(EMsgResult::Ok);
    QPointer<CDocument> pDoc = m_app.OpenDocumentFile(Path("missing.txt"));
    EXPECT_TRUE(pDoc.isNull());
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{"Cannot read " + Path("missing.txt").toStdString()});
    EXPECT_EQ(Manager().GetOpenDocumentCount(), 0);
    EXPECT_EQ(m_main.LiveChildren(), 0);
    EXPECT_EQ(m_app.RecentFileList()->Count(), 0);
}

TEST_F(DocumentTest, NoFrameMeansNoDocument) {
    m_pTemplate->m_bFailFrames = true;
    m_app.m_boxes.m_answers.push_back(EMsgResult::Ok);
    EXPECT_EQ(Manager().OnFileNew(), nullptr);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Failed to create empty document."});
    EXPECT_EQ(Manager().GetOpenDocumentCount(), 0);
}

TEST_F(DocumentTest, SaveWritesToThePathAndClearsModified) {
    const QString strPath = Path("a.txt");
    WriteAll(strPath, "alpha");
    auto* pDoc = static_cast<CTextDoc*>(m_app.OpenDocumentFile(strPath));
    pDoc->m_strText = QStringLiteral("beta");
    pDoc->SetModifiedFlag();
    EXPECT_TRUE(Route(ID_FILE_SAVE));
    EXPECT_EQ(ReadAll(strPath), QStringLiteral("beta"));
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_TRUE(m_app.m_files.m_prompts.empty());
}

TEST_F(DocumentTest, SavingAnUntitledDocumentAsksForANameWithoutTheTitleMark) {
    auto* pDoc = static_cast<CTextDoc*>(Manager().OnFileNew());
    // A document class that marks its title (" *") must not get the mark as a file name.
    pDoc->SetTitle(QStringLiteral("Quorv1 *"));
    m_app.m_files.m_answers.push_back(Path("saved.txt"));
    EXPECT_TRUE(pDoc->DoFileSave());
    ASSERT_EQ(m_app.m_files.m_prompts.size(), 1u);
    EXPECT_EQ(m_app.m_files.m_prompts[0].strFileName, QStringLiteral("Quorv1"));
    EXPECT_EQ(m_app.m_files.m_prompts[0].strTitle, QStringLiteral("Save As"));
    EXPECT_FALSE(m_app.m_files.m_prompts[0].bOpen);
    EXPECT_EQ(ReadAll(Path("saved.txt")), QStringLiteral("new"));
    EXPECT_EQ(pDoc->GetPathName(), Path("saved.txt"));
    EXPECT_EQ(pDoc->GetTitle(), QStringLiteral("saved.txt"));
    EXPECT_EQ((*m_app.RecentFileList())[0], Path("saved.txt"));
}

TEST_F(DocumentTest, SaveAsCancelledChangesNothing) {
    const QString strPath = Path("a.txt");
    WriteAll(strPath, "alpha");
    auto* pDoc = static_cast<CTextDoc*>(m_app.OpenDocumentFile(strPath));
    pDoc->SetModifiedFlag();
    m_app.m_files.m_answers.push_back(std::nullopt);
    EXPECT_TRUE(Route(ID_FILE_SAVE_AS));
    ASSERT_EQ(m_app.m_files.m_prompts.size(), 1u);
    EXPECT_EQ(m_app.m_files.m_prompts[0].strFileName, strPath);
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(pDoc->GetPathName(), strPath);
    EXPECT_EQ(pDoc->m_nSaves, 0);
}

TEST_F(DocumentTest, AFailedSaveKeepsTheDocumentModifiedAndTheOldFile) {
    const QString strPath = Path("a.txt");
    WriteAll(strPath, "alpha");
    auto* pDoc = static_cast<CTextDoc*>(m_app.OpenDocumentFile(strPath));
    pDoc->m_strText = QStringLiteral("beta");
    pDoc->SetModifiedFlag();
    const QString strBad = Path("no-such-dir/b.txt");
    m_app.m_files.m_answers.push_back(strBad);
    m_app.m_boxes.m_answers.push_back(EMsgResult::Ok);
    EXPECT_FALSE(pDoc->DoSave(QString()));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Cannot write " + strBad.toStdString()});
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(pDoc->GetPathName(), strPath);
    EXPECT_EQ(ReadAll(strPath), QStringLiteral("alpha"));
}

TEST_F(DocumentTest, SaveModifiedYesSavesAndCloses) {
    const QString strPath = Path("a.txt");
    WriteAll(strPath, "alpha");
    auto* pDoc = static_cast<CTextDoc*>(m_app.OpenDocumentFile(strPath));
    pDoc->m_strText = QStringLiteral("changed");
    pDoc->SetModifiedFlag();
    m_app.m_boxes.m_answers.push_back(EMsgResult::Yes);
    QPointer<CDocument> pWatch = pDoc;
    EXPECT_TRUE(Route(ID_FILE_CLOSE));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Save changes to a.txt?"});
    EXPECT_EQ(m_app.m_boxes.m_shown[0].buttons, EMsgButtons::YesNoCancel);
    EXPECT_EQ(m_app.m_boxes.m_shown[0].icon, EMsgIcon::Question);
    EXPECT_EQ(ReadAll(strPath), QStringLiteral("changed"));
    EXPECT_EQ(Manager().GetOpenDocumentCount(), 0);
    EXPECT_EQ(m_main.LiveChildren(), 0);
    FlushDeletes();
    EXPECT_TRUE(pWatch.isNull());
}

TEST_F(DocumentTest, SaveModifiedNoClosesWithoutSaving) {
    const QString strPath = Path("a.txt");
    WriteAll(strPath, "alpha");
    auto* pDoc = static_cast<CTextDoc*>(m_app.OpenDocumentFile(strPath));
    pDoc->m_strText = QStringLiteral("changed");
    pDoc->SetModifiedFlag();
    m_app.m_boxes.m_answers.push_back(EMsgResult::No);
    EXPECT_TRUE(Route(ID_FILE_CLOSE));
    EXPECT_EQ(ReadAll(strPath), QStringLiteral("alpha"));
    EXPECT_EQ(Manager().GetOpenDocumentCount(), 0);
}

TEST_F(DocumentTest, SaveModifiedCancelKeepsEverything) {
    auto* pDoc = static_cast<CTextDoc*>(Manager().OnFileNew());
    pDoc->SetModifiedFlag();
    m_app.m_boxes.m_answers.push_back(EMsgResult::Cancel);
    EXPECT_TRUE(Route(ID_FILE_CLOSE));
    // Untitled: the prompt names the title.
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Save changes to Quorv1?"});
    EXPECT_EQ(Manager().GetOpenDocumentCount(), 1);
    EXPECT_EQ(m_main.LiveChildren(), 1);
    EXPECT_TRUE(pDoc->IsModified());
}

TEST_F(DocumentTest, YesThenCancelledSaveDialogKeepsTheDocumentOpen) {
    auto* pDoc = static_cast<CTextDoc*>(Manager().OnFileNew());
    pDoc->SetModifiedFlag();
    m_app.m_boxes.m_answers.push_back(EMsgResult::Yes);
    m_app.m_files.m_answers.push_back(std::nullopt);
    EXPECT_FALSE(m_app.SaveAllModified());
    EXPECT_EQ(Manager().GetOpenDocumentCount(), 1);
    EXPECT_TRUE(pDoc->IsModified());
}

TEST_F(DocumentTest, CloseRequestAsksEachModifiedDocumentAndStopsAtCancel) {
    auto* pFirst = static_cast<CTextDoc*>(Manager().OnFileNew());
    Manager().OnFileNew(); // unmodified: no question
    auto* pThird = static_cast<CTextDoc*>(Manager().OnFileNew());
    pFirst->SetModifiedFlag();
    pThird->SetModifiedFlag();
    m_app.m_boxes.m_answers = {EMsgResult::No, EMsgResult::Cancel};
    EXPECT_FALSE(m_app.SaveAllModified());
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{"Save changes to Quorv1?", "Save changes to Quorv3?"}));

    m_app.m_boxes.m_answers = {EMsgResult::No, EMsgResult::No};
    EXPECT_TRUE(m_app.SaveAllModified());
    m_app.CloseAllDocuments(false);
    EXPECT_EQ(Manager().GetOpenDocumentCount(), 0);
    EXPECT_EQ(m_main.LiveChildren(), 0);
}

TEST_F(DocumentTest, ClosingOneOfTwoFramesDoesNotAsk) {
    auto* pDoc = static_cast<CTextDoc*>(Manager().OnFileNew());
    pDoc->SetModifiedFlag();
    CFrameWnd* pSecond = m_pTemplate->CreateNewFrame(pDoc, nullptr);
    m_pTemplate->InitialUpdateFrame(pSecond, pDoc);
    // Two frames: the captions carry window numbers.
    EXPECT_EQ(static_cast<CTestChildFrame*>(pSecond)->m_strCaption, QStringLiteral("Quorv1:2"));
    pSecond->RequestClose();
    EXPECT_TRUE(m_app.m_boxes.m_shown.empty());
    EXPECT_EQ(Manager().GetOpenDocumentCount(), 1);
    // The remaining frame drops its number.
    EXPECT_EQ(static_cast<CTestChildFrame*>(m_main.m_children[0].get())->m_strCaption,
              QStringLiteral("Quorv1"));
}

TEST_F(DocumentTest, UpdateAllViewsSkipsTheSender) {
    auto* pDoc = static_cast<CTextDoc*>(Manager().OnFileNew());
    CFrameWnd* pSecond = m_pTemplate->CreateNewFrame(pDoc, nullptr);
    auto* pView1 = static_cast<CTestView*>(pDoc->Views()[0]);
    auto* pView2 = static_cast<CTestView*>(pSecond->GetActiveView());
    pDoc->UpdateAllViews(pView1, ViewUpdate::InRect(QRect(1, 2, 3, 4)));
    EXPECT_TRUE(pView1->m_updates.empty());
    ASSERT_EQ(pView2->m_updates.size(), 1u);
    EXPECT_EQ(pView2->m_updates[0],
              (std::pair<CView*, ViewUpdate::EKind>(pView1, ViewUpdate::EKind::Rect)));
}

TEST_F(DocumentTest, RecentFileThatNoLongerOpensLeavesTheList) {
    const QString strA = Path("a.txt"), strB = Path("b.txt");
    WriteAll(strA, "alpha");
    WriteAll(strB, "beta");
    m_app.OpenDocumentFile(strA);
    m_app.OpenDocumentFile(strB);
    m_app.CloseAllDocuments(false);
    ASSERT_EQ(m_app.RecentFileList()->Count(), 2);
    EXPECT_EQ((*m_app.RecentFileList())[0], strB);

    // ID_FILE_MRU_FILE2 is a.txt: it opens and moves to the top.
    EXPECT_TRUE(Route(ID_FILE_MRU_FILE2));
    EXPECT_EQ((*m_app.RecentFileList())[0], strA);
    m_app.CloseAllDocuments(false);

    QFile::remove(strB);
    m_app.m_boxes.m_answers.push_back(EMsgResult::Ok);
    EXPECT_TRUE(Route(ID_FILE_MRU_FILE2));
    EXPECT_EQ(m_app.RecentFileList()->Count(), 1);
    EXPECT_EQ(m_app.m_profile.ReadSection(QStringLiteral("Recent File List")).size(), 1);
    // An entry past the end is declined, so routing goes on and finds nobody.
    EXPECT_FALSE(Route(ID_FILE_MRU_FILE3));
}

TEST_F(DocumentTest, ExitAsksTheMainWindowToClose) {
    EXPECT_TRUE(Route(ID_APP_EXIT));
    EXPECT_EQ(m_main.m_nCloseRequests, 1);
}
