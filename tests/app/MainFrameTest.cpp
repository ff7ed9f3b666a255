// SPDX-License-Identifier: MIT
// The application and the main frame: start-up, hotkey captions, command enabling, the close
// request with its questions, title-bar Close and Minimize, exit, and the frame commands.
#include "AppFixture.h"

#include "app/PaneStatusBar.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/RecentFileList.h"
#include "framework/StringTable.h"
#include "framework/ui/CommandDispatcher.h"
#include "image/DisplayBitmap.h"
#include "platform/AppSettings.h"
#include "support/StandInOpener.h"
#include "views/TavixCaptureView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include <fstream>

using namespace apptest;

namespace {

constexpr std::uint32_t kShownOptions = 0x0008167B & ~platform::options::kStartHidden;

QMenu* MenuNamed(QMenuBar* pBar, const QString& strTitle) {
    for (QAction* pAction : pBar->actions()) {
        if (pAction->menu() != nullptr && pAction->text() == strTitle)
            return pAction->menu();
    }
    return nullptr;
}

QAction* ActionOf(QMenu* pMenu, unsigned nID) {
    for (QAction* pAction : pMenu->actions()) {
        if (CCommandDispatcher::ActionId(pAction) == nID)
            return pAction;
    }
    return nullptr;
}

// The targets the stand-in xdg-open was given, one per run.
QStringList Targets(const testsupport::CStandInOpener& opener) {
    QStringList targets;
    for (const std::vector<std::string>& run : opener.Runs())
        targets << QString::fromStdString(run.empty() ? std::string() : run[0]);
    return targets;
}

} // namespace

TEST_F(AppTest, HiddenStartWithoutATrayStartsMinimised) {
    Start();
    EXPECT_TRUE(WaitUntil([this] { return Frame().isMinimized(); }));
    EXPECT_TRUE(Frame().isVisible());
}

TEST_F(AppTest, HiddenStartWithATrayHidesAndSaysWhereTheProgramIs) {
    // A first start from the desktop's menu, with the default options, shows no window: the
    // tray's notification is the only sign that the program runs.
    CFakeTray tray;
    Start(0x0008167B, &tray);
    EXPECT_TRUE(WaitUntil([this] { return !Frame().isVisible(); }));
    ASSERT_EQ(tray.m_messages.size(), 1);
    EXPECT_TRUE(tray.m_messages[0].contains(u"notification area"));
    EXPECT_TRUE(tray.m_messages[0].contains(u"Ctrl+Alt+D captures the desktop"))
        << tray.m_messages[0].toStdString();
}

TEST_F(AppTest, StartUpBuildsMenusToolbarAndFourPanes) {
    Start(kShownOptions);
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_FALSE(Frame().isMinimized());
    QStringList titles;
    for (QAction* pAction : Frame().menuBar()->actions())
        titles << pAction->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&Capture", "&View", "&Help"}));
    ASSERT_NE(Frame().ToolBar(), nullptr);
    EXPECT_EQ(CCommandDispatcher::ActionId(Frame().ToolBar()->actions().front()), ID_FILE_OPEN);
    EXPECT_EQ(Frame().Panes().PaneText(0), QStringLiteral("Ready"));
    for (int i = 1; i < 4; ++i)
        EXPECT_GE(Frame().Panes().Bar().PaneRect(i).width(), CStatusPanes::kPaneWidths[i - 1]);
    // The counter restarts at 1 when "AutoSaveOptions" has 0x2 (not by default).
    EXPECT_EQ(m_pApp->Settings().m_dwAutoSaveStartNO, 1u);
}

TEST_F(AppTest, CaptureItemsShowHotkeysOnEveryOpeningAndStayDisabled) {
    Start(kShownOptions);
    QMenu* pCapture = MenuNamed(Frame().menuBar(), QStringLiteral("&Capture"));
    ASSERT_NE(pCapture, nullptr);
    emit pCapture->aboutToShow();
    EXPECT_EQ(ActionOf(pCapture, ID_CAPTURE_CLIENT)->text(),
              QStringLiteral("Active Window C&lient\tCtrl+Shift+Alt+C"));
    EXPECT_EQ(ActionOf(pCapture, ID_CAPTURE_DEFAULT)->text(),
              QStringLiteral("De&fault Action\tPrint Screen"));
    EXPECT_EQ(ActionOf(pCapture, ID_CAPTURE_ACTIVE_WINDOW)->text(),
              QStringLiteral("Ac&tive Window\tAlt+Print Screen"));
    for (unsigned nID : {ID_CAPTURE_ACTIVE_WINDOW, ID_CAPTURE_DESKTOP, ID_CAPTURE_REPEAT_LAST,
                         ID_CAPTURE_POLYGON}) {
        EXPECT_FALSE(ActionOf(pCapture, nID)->isEnabled()) << nID;
        EXPECT_FALSE(Run(nID)) << nID;
    }
    // A changed hotkey shows the next time the menu opens; a word of 0 leaves the caption alone.
    m_pApp->Settings().SetHotkey(platform::ActiveWindowClient, 0);
    m_pApp->Settings().SetHotkey(platform::Default, 0x4041);
    emit pCapture->aboutToShow();
    EXPECT_EQ(ActionOf(pCapture, ID_CAPTURE_CLIENT)->text(),
              QStringLiteral("Active Window C&lient"));
    EXPECT_EQ(ActionOf(pCapture, ID_CAPTURE_DEFAULT)->text(),
              QStringLiteral("De&fault Action\tShift+A"));
}

TEST_F(AppTest, FileNewIsInBothFileMenus) {
    // Ctrl+N is File New's own key again (no capture hotkey takes it by default); the command is
    // in the File menu with or without an image open.
    Start(kShownOptions);
    EXPECT_EQ(m_pApp->Settings().Hotkey(platform::Control), 0);
    for (const QList<QMenu*>* pMenus : {&Frame().DefaultMenus(), &Frame().DocumentMenus()}) {
        QAction* pNew = ActionOf(pMenus->front(), ID_FILE_NEW);
        ASSERT_NE(pNew, nullptr);
        EXPECT_EQ(pNew->text(), QStringLiteral("&New...\tCtrl+N"));
        EXPECT_TRUE(pNew->isEnabled());
    }
}

TEST_F(AppTest, FrameCommandsFollowTheOpenWindows) {
    Start(kShownOptions);
    // Without an image window: the zoom presets and Close All have nothing to act on.
    for (unsigned nID = ID_VIEW_ZOOM_25; nID <= ID_VIEW_ZOOM_400; ++nID)
        EXPECT_FALSE(IsEnabled(nID)) << nID;
    EXPECT_FALSE(IsEnabled(ID_VIEW_ZOOM_IN));
    EXPECT_TRUE(IsEnabled(ID_FILE_OPEN));
    EXPECT_TRUE(IsEnabled(ID_FILE_NEW));
    EXPECT_TRUE(IsEnabled(ID_SHOW_MAIN_WINDOW));
    EXPECT_FALSE(IsEnabled(ID_FILE_SAVE));

    ASSERT_NE(Open(WritePng(40, 30)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(Frame().menuBar()->actions().size(),
              7); // the document menu: Operations and Window too
    for (unsigned nID = ID_VIEW_ZOOM_25; nID <= ID_VIEW_ZOOM_400; ++nID)
        EXPECT_TRUE(IsEnabled(nID)) << nID;
    EXPECT_TRUE(Run(ID_VIEW_ZOOM_200));
    EXPECT_DOUBLE_EQ(pView->Scale(), 2.0);
    CCmdUI check(ID_VIEW_ZOOM_200);
    Frame().Dispatcher().Update(check);
    EXPECT_EQ(check.Check().value_or(0), 1);
    CCmdUI unchecked(ID_VIEW_ZOOM_100);
    Frame().Dispatcher().Update(unchecked);
    EXPECT_EQ(unchecked.Check().value_or(0), 0);
    // Zoom in stops at 400 %, zoom out at 25 %.
    EXPECT_TRUE(Run(ID_VIEW_ZOOM_IN));
    EXPECT_DOUBLE_EQ(pView->Scale(), 4.0);
    EXPECT_FALSE(IsEnabled(ID_VIEW_ZOOM_IN));
    EXPECT_TRUE(Run(ID_VIEW_ZOOM_25));
    EXPECT_FALSE(IsEnabled(ID_VIEW_ZOOM_OUT));
    EXPECT_TRUE(IsEnabled(ID_VIEW_ZOOM_IN));
    // Operations with a parameter dialog are there for an image; printing has its service.
    for (unsigned nID : {ID_IMAGE_BRIGHTNESS, ID_IMAGE_CONTRAST, ID_IMAGE_INTENSITY,
                         ID_IMAGE_ROTATE_ANY, ID_IMAGE_RESIZE, ID_IMAGE_SCALE, ID_IMAGE_STRETCH})
        EXPECT_TRUE(IsEnabled(nID)) << nID;
    EXPECT_TRUE(IsEnabled(ID_FILE_PRINT));
    EXPECT_TRUE(IsEnabled(ID_IMAGE_ROTATE_CW));
    EXPECT_TRUE(IsEnabled(ID_IMAGE_INVERT));
    EXPECT_TRUE(IsEnabled(ID_FILE_SAVE_AS));
}

TEST_F(AppTest, CloseRequestAsksOnceForSeveralModifiedImages) {
    Start(kShownOptions);
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::green);
    NewDocument(image);
    NewDocument(image);
    ASSERT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 2);

    // No: both are discarded without further questions.
    m_boxes.m_answers = {EMsgResult::No};
    EXPECT_TRUE(m_pApp->SaveAllModified());
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(
        m_boxes.m_shown[0].strText,
        QStringLiteral(
            "There are 2 images that haven't been saved or have changed since they are saved. "
            "Would you like to be prompted  to save each image?"));
    EXPECT_EQ(m_boxes.m_shown[0].buttons, EMsgButtons::YesNoCancel);

    // Cancel keeps the program open; Yes goes on to the usual question per image.
    m_boxes.m_shown.clear();
    m_boxes.m_answers = {EMsgResult::Cancel};
    EXPECT_FALSE(m_pApp->SaveAllModified());
    EXPECT_EQ(m_boxes.m_shown.size(), 1u);
    m_boxes.m_shown.clear();
    m_boxes.m_answers = {EMsgResult::Yes, EMsgResult::No, EMsgResult::No};
    EXPECT_TRUE(m_pApp->SaveAllModified());
    ASSERT_EQ(m_boxes.m_shown.size(), 3u);
    EXPECT_TRUE(m_boxes.m_shown[1].strText.startsWith(QStringLiteral("Save changes to ")));

    // Close All: one summary question, then every window closes.
    m_boxes.m_shown.clear();
    m_boxes.m_answers = {EMsgResult::No};
    EXPECT_TRUE(Run(ID_FILE_CLOSE_ALL));
    EXPECT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 0);
}

TEST_F(AppTest, SessionEndAsksOnceAndTheEndThatFollowsAsksNoMore) {
    Start(kShownOptions);
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::green);
    NewDocument(image);
    NewDocument(image);
    // The session manager asks first: Cancel keeps the session going.
    m_boxes.m_answers = {EMsgResult::Cancel};
    EXPECT_FALSE(m_pApp->CommitSessionData(true));
    EXPECT_EQ(m_boxes.m_shown.size(), 1u);
    // No gives both images up; the close request of the end that follows does not ask again.
    m_boxes.m_shown.clear();
    m_boxes.m_answers = {EMsgResult::No};
    EXPECT_TRUE(m_pApp->CommitSessionData(true));
    EXPECT_EQ(m_boxes.m_shown.size(), 1u);
    m_boxes.m_shown.clear();
    EXPECT_TRUE(m_pApp->SaveAllModified());
    EXPECT_TRUE(m_boxes.m_shown.empty());
    // An image that was not given up is asked about, with the others.
    NewDocument(image);
    m_boxes.m_answers = {EMsgResult::Cancel};
    EXPECT_FALSE(m_pApp->SaveAllModified());
    EXPECT_EQ(m_boxes.m_shown.size(), 1u);
    // A manager that allows no questions gets none.
    m_boxes.m_shown.clear();
    EXPECT_TRUE(m_pApp->CommitSessionData(false));
    EXPECT_TRUE(m_pApp->SaveAllModified());
    EXPECT_TRUE(m_boxes.m_shown.empty());
    EXPECT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 3) << "asking closes nothing";
}

TEST_F(AppTest, OneModifiedImageGetsOnlyTheUsualQuestionAndTheFlagSilencesAll) {
    Start(kShownOptions);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    NewDocument(image);
    m_boxes.m_answers = {EMsgResult::No};
    EXPECT_TRUE(m_pApp->SaveAllModified());
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_TRUE(m_boxes.m_shown[0].strText.startsWith(QStringLiteral("Save changes to ")));

    NewDocument(image);
    m_pApp->Settings().m_dwOptionsA &= ~platform::options::kAskBeforeDiscard;
    m_boxes.m_shown.clear();
    EXPECT_TRUE(m_pApp->SaveAllModified());
    EXPECT_TRUE(m_boxes.m_shown.empty());
}

TEST_F(AppTest, TitleBarCloseHidesWithoutAskingAndExitAsks) {
    CFakeTray tray;
    Start(kShownOptions, &tray);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    NewDocument(image);
    NewDocument(image);
    Frame().Close(CMainFrame::ECloseReason::TitleBar);
    ProcessEvents();
    EXPECT_TRUE(m_boxes.m_shown.empty());
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 2);

    // Without a tray the window stays reachable: minimised, not hidden.
    tray.m_bAvailable = false;
    Run(ID_SHOW_MAIN_WINDOW);
    EXPECT_TRUE(Frame().isVisible());
    Frame().Close(CMainFrame::ECloseReason::TitleBar);
    ProcessEvents();
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Frame().isMinimized());
    EXPECT_TRUE(m_boxes.m_shown.empty());

    // Exit asks, and Cancel keeps everything.
    m_boxes.m_answers = {EMsgResult::Cancel};
    Run(ID_APP_EXIT);
    EXPECT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 2);
}

TEST_F(AppTest, LinuxKeysSaveAsCloseTheWindowAndExit) {
    struct CCountedPrompts final : IFileDialogs {
        std::optional<QString> PromptFileName(const FilePrompt&) override {
            ++nAsked;
            return std::nullopt;
        }
        int nAsked = 0;
    } prompts;
    Start(kShownOptions);
    m_pApp->Ui().SetFileDialogs(&prompts);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    NewDocument(image);
    NewDocument(image);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().activateWindow();
    const auto press = [&](QKeyCombination keys) {
        auto* pView = dynamic_cast<QWidget*>(ActiveView());
        QWidget* pTarget = pView != nullptr ? pView : &Frame();
        pTarget->setFocus();
        QTest::keyClick(pTarget, keys.key(), keys.keyboardModifiers());
        ProcessEvents();
    };
    press(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    EXPECT_EQ(prompts.nAsked, 1) << "Save As asks for a name";
    m_boxes.m_answers = {EMsgResult::No};
    press(Qt::CTRL | Qt::Key_F4);
    EXPECT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 1);
    m_boxes.m_answers = {EMsgResult::Cancel};
    const std::size_t nShown = m_boxes.m_shown.size();
    press(Qt::CTRL | Qt::Key_Q);
    EXPECT_EQ(m_boxes.m_shown.size(), nShown + 1) << "Exit asks about the modified image";
    EXPECT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 1);
    m_pApp->Ui().SetFileDialogs(nullptr);
}

TEST_F(AppTest, MinimiseHidesOnlyWithTheOptionAndATray) {
    CFakeTray tray;
    Start(kShownOptions, &tray);
    Frame().showMinimized();
    ProcessEvents();
    EXPECT_FALSE(Frame().isVisible());

    Frame().showNormal();
    m_pApp->Settings().m_dwOptionsA &= ~platform::options::kMinimizeToTray;
    Frame().showMinimized();
    ProcessEvents();
    EXPECT_TRUE(Frame().isVisible());
}

TEST_F(AppTest, ExitWritesTheSettingsAndClearsTheRecentListWhenAsked) {
    Start(kShownOptions | platform::options::kClearRecentAtExit);
    ASSERT_NE(Open(WritePng(5, 5)), nullptr);
    ASSERT_EQ(m_pApp->RecentFileList()->Count(), 1);
    m_pApp->Settings().m_wJPEGQuality = 77;
    m_pApp->ExitInstance();
    EXPECT_EQ(m_pApp->RecentFileList()->Count(), 0);

    platform::CAppSettings reread;
    reread.Load(platform::HiveLocations::FromEnvironment());
    EXPECT_EQ(reread.m_wJPEGQuality, 77);
    EXPECT_NE(reread.m_dwOptionsA & platform::options::kClearRecentAtExit, 0u);
}

TEST_F(AppTest, PasteAsNewImageTakesTheClipboardImage) {
    Start(kShownOptions);
    QApplication::clipboard()->clear();
    EXPECT_FALSE(IsEnabled(ID_EDIT_PASTE_AS_NEW));
    QImage image(5, 3, QImage::Format_RGB32);
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 3; ++y)
            image.setPixel(x, y, qRgb(x * 50, y * 80, 7));
    QApplication::clipboard()->setImage(image);
    EXPECT_TRUE(IsEnabled(ID_EDIT_PASTE_AS_NEW));
    EXPECT_TRUE(Run(ID_EDIT_PASTE_AS_NEW));
    ASSERT_NE(ActiveView(), nullptr);
    const CDisplayBitmap* pImage = ActiveView()->Image();
    ASSERT_NE(pImage, nullptr);
    ASSERT_EQ(pImage->Width(), 5);
    ASSERT_EQ(pImage->Height(), 3);
    for (int x = 0; x < 5; ++x) {
        for (int y = 0; y < 3; ++y) {
            const RGBQuad q = pImage->Row<RGBQuad>(y)[x];
            EXPECT_EQ(qRgb(q.red, q.green, q.blue), image.pixel(x, y));
        }
    }
    EXPECT_TRUE(ActiveView()->GetDocument()->IsModified());
}

TEST_F(AppTest, ExploreOutputDirectoryOpensTheFolderUnlessItIsEmpty) {
    Start(kShownOptions);
    const testsupport::CStandInOpener opener(Root());
    EXPECT_TRUE(Run(ID_FILE_EXPLORE_OUTPUT));
    ASSERT_TRUE(WaitUntil([&] { return Targets(opener).size() == 1; }));
    EXPECT_EQ(Targets(opener)[0].toStdString(), (Root() / "Output").string());
    m_pApp->Settings().m_strAutoSavePath.clear();
    Run(ID_FILE_EXPLORE_OUTPUT);
    // Help opens the index page beside the program.
    Run(ID_HELP_FINDER);
    ASSERT_TRUE(WaitUntil([&] { return Targets(opener).size() == 2; }));
    // A page without an anchor goes as its path.
    EXPECT_TRUE(Targets(opener)[1].endsWith(QStringLiteral("/help/index.htm")))
        << Targets(opener)[1].toStdString();
    EXPECT_TRUE(m_boxes.m_shown.empty());
}

TEST_F(AppTest, HelpAndExploreSayWhenNoProgramOpensThem) {
    Start(kShownOptions);
    // No browser and no file manager: nothing on the path Qt could start.
    const QByteArray savedPath = qgetenv("PATH");
    const QByteArray savedBrowser = qgetenv("BROWSER");
    std::filesystem::create_directories(Root() / "empty-bin");
    qputenv("PATH", QByteArray::fromStdString((Root() / "empty-bin").string()));
    qunsetenv("BROWSER");
    Run(ID_HELP_FINDER);
    Run(ID_FILE_EXPLORE_OUTPUT);
    Run(ID_HELP_HOME_PAGE);
    EXPECT_TRUE(WaitUntil([this] { return m_boxes.m_shown.size() >= 3; }));
    qputenv("PATH", savedPath);
    if (!savedBrowser.isEmpty())
        qputenv("BROWSER", savedBrowser);
    ASSERT_EQ(m_boxes.m_shown.size(), 3u) << "each failure is told";
    for (const MessageBoxRequest& box : m_boxes.m_shown) {
        EXPECT_EQ(box.strText, QStringLiteral("Can't open link:\n\nNo program is installed to "
                                              "open links: install xdg-utils."));
        EXPECT_EQ(box.icon, EMsgIcon::Exclamation);
    }
}

TEST_F(AppTest, AStandInOpenerThatFailsShowsTheErrorBox) {
    Start(kShownOptions);
    const testsupport::CStandInOpener opener(Root(), 3);
    Run(ID_HELP_HOME_PAGE);
    ASSERT_TRUE(WaitUntil([this] { return !m_boxes.m_shown.empty(); }));
    ASSERT_EQ(Targets(opener).size(), 1u);
    EXPECT_TRUE(Targets(opener)[0].startsWith(QStringLiteral("https://")));
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Can't open link:\n\nThere is no application associated\nwith the "
                             "given filename extension."));
}

TEST_F(AppTest, SavePromptNamesTheImageWithoutItsModifiedMark) {
    Start(kShownOptions);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    CTavixCaptureDoc* pDoc = NewDocument(image);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(pDoc->GetTitle(), QStringLiteral("Quorv1 *"));
    m_boxes.m_answers = {EMsgResult::Cancel};
    EXPECT_FALSE(m_pApp->SaveAllModified());
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText, QStringLiteral("Save changes to Quorv1?"));
}

TEST_F(AppTest, FailedOpenLeavesTheMainTitleAsItWas) {
    Start(kShownOptions);
    const std::filesystem::path bad = Root() / "broken.png";
    std::ofstream(bad) << "not an image at all";
    // What the title says while the loader's error is on the screen.
    QStringList titles;
    m_boxes.m_onShow = [&] { titles << Frame().windowTitle(); };
    EXPECT_EQ(Open(bad), nullptr);
    ASSERT_EQ(m_boxes.m_shown.size(), 1u) << "the loader's error is told";
    EXPECT_EQ(titles, QStringList{QStringLiteral("Quorvi Studio")});
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Quorvi Studio"));

    ASSERT_NE(Open(WritePng(6, 4)), nullptr);
    const QString strTitle = Frame().windowTitle();
    // Maximised, as the first window opens: a failed open before it changed nothing.
    EXPECT_EQ(strTitle, QStringLiteral("Quorvi Studio - [picture.png]"));
    titles.clear();
    EXPECT_EQ(Open(bad), nullptr);
    EXPECT_EQ(titles, QStringList{strTitle});
    EXPECT_EQ(Frame().windowTitle(), strTitle);
    EXPECT_EQ(m_pApp->DocManager().GetOpenDocumentCount(), 1);
}

TEST_F(AppTest, ProgressShowsInPaneZeroUntilDone) {
    Start(kShownOptions);
    Frame().Panes().SetProgress(0.0);
    EXPECT_TRUE(Frame().Panes().IsProgressShowing());
    Frame().Panes().SetProgress(0.42);
    EXPECT_TRUE(Frame().Panes().IsProgressShowing());
    Frame().Panes().SetProgress(1.0);
    EXPECT_FALSE(Frame().Panes().IsProgressShowing());
    EXPECT_EQ(Frame().Panes().Bar().ProgressControl(), nullptr);
    // An operation whose last report stops short of 1 (a decoder's last block) leaves no bar
    // behind once it has returned to the event loop.
    Frame().Panes().SetProgress(0.97);
    EXPECT_TRUE(Frame().Panes().IsProgressShowing());
    ProcessEvents();
    EXPECT_FALSE(Frame().Panes().IsProgressShowing());
    EXPECT_EQ(Frame().Panes().Bar().ProgressControl(), nullptr);
}
