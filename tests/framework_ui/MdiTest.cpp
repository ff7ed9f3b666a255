// SPDX-License-Identifier: MIT
// Image windows in the MDI area: routing through real frames, menus that follow the open
// windows, captions, the recent files in the File menu and closing with the save prompt.
#include "UiFixture.h"

#include <QPointer>
#include <QToolBar>

#include <gtest/gtest.h>

TEST_F(UiTest, CommandsGoViewDocumentChildMainApplication) {
    m_app.DocManager().OnFileNew();
    CCommandDispatcher& dispatcher = m_pMain->Dispatcher();
    for (unsigned nID : {kViewCommand, kDocCommand, kChildCommand, kMainCommand, ID_FILE_OPEN}) {
        if (nID == ID_FILE_OPEN)
            m_app.m_files.m_answers.push_back(std::nullopt);
        EXPECT_TRUE(dispatcher.Execute(nID)) << nID;
    }
    EXPECT_EQ(g_uiLog, (std::vector<std::string>{"activate", "view", "doc", "child", "main"}));
    ASSERT_EQ(m_app.m_files.m_prompts.size(), 1u);
    EXPECT_EQ(m_app.m_files.m_prompts[0].strTitle, QStringLiteral("Open"));
    EXPECT_FALSE(dispatcher.Execute(4242));
}

TEST_F(UiTest, MenusFollowTheOpenWindows) {
    EXPECT_EQ(MenuTitles().size(), 5u);
    CDocument* pDoc = m_app.DocManager().OnFileNew();
    EXPECT_EQ(MenuTitles(), (std::vector<std::string>{"&File", "&Edit", "&Operations", "&Capture",
                                                      "&View", "&Window", "&Help"}));
    EXPECT_EQ(m_pMain->windowTitle(), QStringLiteral("Quorvi Studio - Quorv1"));
    ASSERT_EQ(m_pMain->ChildFrames().size(), 1);
    EXPECT_EQ(m_pMain->ChildFrames()[0]->windowTitle(), QStringLiteral("Quorv1"));
    EXPECT_TRUE(m_pMain->ChildFrames()[0]->isVisible());
    // A view without a size of its own still gets a usable window.
    EXPECT_EQ(m_pMain->ChildFrames()[0]->size(), m_pMain->MdiArea()->viewport()->size() * 3 / 4);

    pDoc->SetTitle(QStringLiteral("Quorv1 *"));
    EXPECT_EQ(m_pMain->ChildFrames()[0]->windowTitle(), QStringLiteral("Quorv1 *"));
    EXPECT_EQ(m_pMain->windowTitle(), QStringLiteral("Quorvi Studio - Quorv1 *"));

    m_pMain->Dispatcher().Execute(ID_FILE_CLOSE);
    EXPECT_EQ(MenuTitles().size(), 5u);
    EXPECT_EQ(m_pMain->windowTitle(), QStringLiteral("Quorvi Studio"));
    Flush();
    EXPECT_TRUE(m_pMain->MdiArea()->subWindowList().isEmpty());
}

TEST_F(UiTest, UpdateHandlersEnableCheckAndRetitleMenuItems) {
    m_app.DocManager().OnFileNew();
    QMenu menu;
    auto* pAction = new QAction(QStringLiteral("original"), &menu);
    m_pMain->Dispatcher().Bind(pAction, kViewChecked);
    menu.addAction(pAction);
    auto* pUnhandled = new QAction(QStringLiteral("nobody"), &menu);
    m_pMain->Dispatcher().Bind(pUnhandled, 4242);
    menu.addAction(pUnhandled);
    m_pMain->Dispatcher().WatchMenu(&menu);

    Open(&menu);
    EXPECT_TRUE(pAction->isEnabled());
    EXPECT_TRUE(pAction->isCheckable());
    EXPECT_FALSE(pAction->isChecked());
    EXPECT_EQ(pAction->text(), QStringLiteral("Unchecked &Item"));
    EXPECT_FALSE(pUnhandled->isEnabled());

    pAction->trigger();
    Open(&menu);
    EXPECT_TRUE(pAction->isChecked());
    EXPECT_EQ(pAction->text(), QStringLiteral("Checked &Item"));
}

TEST_F(UiTest, MenuOpeningCallsTheFramesHookFirst) {
    QMenu* pCapture = TopMenu("&Capture");
    ASSERT_NE(pCapture, nullptr);
    Open(pCapture);
    EXPECT_EQ(m_pMain->m_opened, std::vector<std::string>{"&Capture"});
}

TEST_F(UiTest, RecentFilesAppearInTheFileMenu) {
    QMenu* pFile = TopMenu("&File");
    Open(pFile);
    QAction* pPlaceholder = FindAction(pFile, ID_FILE_MRU_FILE1);
    ASSERT_NE(pPlaceholder, nullptr);
    EXPECT_EQ(pPlaceholder->text(), QStringLiteral("Recent File"));
    EXPECT_FALSE(pPlaceholder->isEnabled());

    WriteFile("a.txt", "alpha");
    WriteFile("b.txt", "beta");
    m_app.OpenDocumentFile(Path("a.txt"));
    m_app.OpenDocumentFile(Path("b.txt"));
    m_app.CloseAllDocuments(false);
    Flush();
    pFile = TopMenu("&File");
    Open(pFile);
    QAction* pFirst = FindAction(pFile, ID_FILE_MRU_FILE1);
    QAction* pSecond = FindAction(pFile, ID_FILE_MRU_FILE2);
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(pSecond, nullptr);
    EXPECT_TRUE(pFirst->text().startsWith(QStringLiteral("&1 ")));
    EXPECT_TRUE(pFirst->text().endsWith(QStringLiteral("b.txt")));
    EXPECT_TRUE(pSecond->text().endsWith(QStringLiteral("a.txt")));
    EXPECT_TRUE(pFirst->isEnabled());
    // The entries sit where the placeholder was, before the separator and Exit.
    const QList<QAction*> actions = pFile->actions();
    EXPECT_EQ(actions.indexOf(pSecond), actions.indexOf(pFirst) + 1);
    EXPECT_EQ(CCommandDispatcher::ActionId(actions.last()), ID_APP_EXIT);

    pSecond->trigger();
    EXPECT_EQ(m_app.DocManager().GetOpenDocumentCount(), 1);
    EXPECT_EQ(m_pMain->GetActiveDocument()->GetPathName(), Path("a.txt"));

    // Clearing the list brings the placeholder back on the next opening.
    m_app.ClearRecentFileList();
    pFile = TopMenu("&File");
    Open(pFile);
    EXPECT_EQ(FindAction(pFile, ID_FILE_MRU_FILE2), nullptr);
    ASSERT_NE(FindAction(pFile, ID_FILE_MRU_FILE1), nullptr);
    EXPECT_EQ(FindAction(pFile, ID_FILE_MRU_FILE1)->text(), QStringLiteral("Recent File"));
}

TEST_F(UiTest, ClosingAModifiedWindowAsksAndCancelKeepsIt) {
    CDocument* pDoc = m_app.DocManager().OnFileNew();
    pDoc->SetModifiedFlag();
    CMDIChildWnd* pFrame = m_pMain->ChildFrames().value(0);
    ASSERT_NE(pFrame, nullptr);

    m_app.m_boxes.m_answers.push_back(EMsgResult::Cancel);
    pFrame->close();
    Flush();
    EXPECT_EQ(m_pMain->ChildFrames().size(), 1);
    EXPECT_EQ(m_app.m_boxes.m_shown.back().strText, QStringLiteral("Save changes to Quorv1?"));

    QPointer<CMDIChildWnd> pWatch = pFrame;
    m_app.m_boxes.m_answers.push_back(EMsgResult::No);
    pFrame->close();
    EXPECT_TRUE(m_pMain->ChildFrames().isEmpty());
    EXPECT_EQ(m_app.DocManager().GetOpenDocumentCount(), 0);
    Flush();
    EXPECT_TRUE(pWatch.isNull());
}

TEST_F(UiTest, NewWindowShowsTheSameDocumentNumbered) {
    CDocument* pDoc = m_app.DocManager().OnFileNew();
    pDoc->SetModifiedFlag();
    m_pMain->Dispatcher().Execute(ID_WINDOW_NEW);
    ASSERT_EQ(m_pMain->ChildFrames().size(), 2);
    EXPECT_EQ(pDoc->Views().size(), 2u);
    EXPECT_EQ(m_pMain->ChildFrames()[0]->windowTitle(), QStringLiteral("Quorv1:1"));
    EXPECT_EQ(m_pMain->ChildFrames()[1]->windowTitle(), QStringLiteral("Quorv1:2"));
    // Closing one of two windows asks nothing.
    m_pMain->ChildFrames()[1]->close();
    EXPECT_TRUE(m_app.m_boxes.m_shown.empty());
    EXPECT_EQ(m_pMain->ChildFrames().size(), 1);
    EXPECT_EQ(m_pMain->ChildFrames()[0]->windowTitle(), QStringLiteral("Quorv1"));
}

TEST_F(UiTest, ClosingTheMainWindowRunsTheCloseRequest) {
    auto* pDoc = static_cast<CUiTextDoc*>(m_app.DocManager().OnFileNew());
    pDoc->SetModifiedFlag();
    m_app.m_boxes.m_answers.push_back(EMsgResult::Cancel);
    EXPECT_FALSE(m_pMain->close());
    EXPECT_TRUE(m_pMain->isVisible());
    EXPECT_EQ(m_app.DocManager().GetOpenDocumentCount(), 1);

    m_app.m_boxes.m_answers.push_back(EMsgResult::No);
    m_pMain->Dispatcher().Execute(ID_APP_EXIT);
    EXPECT_FALSE(m_pMain->isVisible());
    EXPECT_EQ(m_app.DocManager().GetOpenDocumentCount(), 0);
}

TEST_F(UiTest, WindowCommandsNeedAWindowAndTile) {
    EXPECT_FALSE(m_pMain->Dispatcher().IsEnabled(ID_WINDOW_CASCADE));
    m_app.DocManager().OnFileNew();
    m_app.DocManager().OnFileNew();
    EXPECT_TRUE(m_pMain->Dispatcher().IsEnabled(ID_WINDOW_CASCADE));
    m_pMain->Dispatcher().Execute(ID_WINDOW_TILE_VERT);
    const QList<CMDIChildWnd*> frames = m_pMain->ChildFrames();
    ASSERT_EQ(frames.size(), 2);
    const int nWidth = m_pMain->MdiArea()->viewport()->width();
    EXPECT_EQ(frames[0]->geometry().left(), 0);
    EXPECT_EQ(frames[1]->geometry().left(), nWidth / 2);
    EXPECT_EQ(frames[0]->height(), m_pMain->MdiArea()->viewport()->height());
    m_pMain->Dispatcher().Execute(ID_WINDOW_TILE_HORZ);
    EXPECT_EQ(frames[1]->geometry().top(), m_pMain->MdiArea()->viewport()->height() / 2);
    EXPECT_EQ(frames[1]->width(), nWidth);
}

TEST_F(UiTest, WindowsOpenAsACascadeAndMinimisedOnesStayInSight) {
    for (int i = 0; i < 4; ++i)
        m_app.DocManager().OnFileNew();
    QCoreApplication::processEvents();
    const QList<CMDIChildWnd*> frames = m_pMain->ChildFrames();
    ASSERT_EQ(frames.size(), 4);
    const QRect area = m_pMain->MdiArea()->viewport()->rect();
    // New windows each a step further down and right, never exactly over another.
    for (qsizetype i = 1; i < frames.size(); ++i) {
        EXPECT_GT(frames[i]->x(), frames[i - 1]->x()) << i;
        EXPECT_GT(frames[i]->y(), frames[i - 1]->y()) << i;
    }
    // Cascade: every window as large as the area less the steps, the last one in the corner.
    m_pMain->Dispatcher().Execute(ID_WINDOW_CASCADE);
    QCoreApplication::processEvents();
    for (CMDIChildWnd* pFrame : frames) {
        EXPECT_GT(pFrame->width(), area.width() / 2);
        EXPECT_GT(pFrame->height(), area.height() / 2);
    }
    const QRect rcFront = m_pMain->MdiArea()->activeSubWindow()->geometry();
    EXPECT_EQ(rcFront.bottomRight(), area.bottomRight());
    // Minimised windows keep a row along the bottom that tiling leaves free.
    frames[0]->showMinimized();
    frames[1]->showMinimized();
    QCoreApplication::processEvents();
    m_pMain->Dispatcher().Execute(ID_WINDOW_TILE_HORZ);
    QCoreApplication::processEvents();
    for (CMDIChildWnd* pIcon : {frames[0], frames[1]}) {
        EXPECT_EQ(pIcon->geometry().bottom(), area.bottom());
        for (CMDIChildWnd* pTiled : {frames[2], frames[3]})
            EXPECT_FALSE(pIcon->geometry().intersects(pTiled->geometry()));
    }
    EXPECT_FALSE(frames[0]->geometry().intersects(frames[1]->geometry()));
}

TEST_F(UiTest, ToolbarAndStatusBarToggleAndShowTheirCheck) {
    QMenu* pView = TopMenu("&View");
    Open(pView);
    QAction* pToolbar = FindAction(pView, ID_VIEW_TOOLBAR);
    ASSERT_NE(pToolbar, nullptr);
    EXPECT_TRUE(pToolbar->isChecked());
    pToolbar->trigger();
    EXPECT_FALSE(m_pMain->ToolBar()->isVisible());
    Open(pView);
    EXPECT_FALSE(pToolbar->isChecked());
    // No status bar yet: its item is disabled.
    EXPECT_FALSE(FindAction(pView, ID_VIEW_STATUS_BAR)->isEnabled());
}
