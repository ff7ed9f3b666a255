// SPDX-License-Identifier: MIT
// The workspace of the main window: the file tab bar, the Window menu and its dialog, the window
// commands, the maximised state new windows take, and the background behind the windows.
#include "AppFixture.h"

#include "app/MDIClientWnd.h"
#include "dialogs/WindowListDlg.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/UiServices.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MDIChildWnd.h"
#include "platform/WorkspaceSettings.h"
#include "views/TavixCaptureView.h"
#include "views/ViewManager.h"
#include "views/ViewTabCtrl.h"
#include "views/WorkspaceBackground.h"

#include <QAction>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPixmapCache>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace apptest;

namespace {

constexpr std::uint32_t kShownOptions = 0x0008167B & ~0x2u;
const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kDarkGrey(0x32, 0x32, 0x32);

class CCancelledPrompts final : public IFileDialogs {
public:
    std::optional<QString> PromptFileName(const FilePrompt&) override {
        ++m_nAsked;
        return std::nullopt;
    }
    int m_nAsked = 0;
};

class WorkspaceTest : public AppTest {
protected:
    CViewManager& Tabs() const { return Frame().Client().TabBar(); }
    CViewTabCtrl& TabCtrl() const { return *Tabs().TabCtrl(); }
    QStringList TabTexts() const {
        QStringList texts;
        for (int i = 0; i < TabCtrl().count(); ++i)
            texts << TabCtrl().tabText(i);
        return texts;
    }
    CMDIChildWnd* ActiveChild() const {
        return dynamic_cast<CMDIChildWnd*>(Frame().MdiArea()->currentSubWindow());
    }
    QMenu* WindowMenu() const {
        for (QAction* pAction : Frame().menuBar()->actions()) {
            if (pAction->menu() != nullptr && pAction->text() == QStringLiteral("&Window"))
                return pAction->menu();
        }
        return nullptr;
    }
    QStringList OpenedMenuTexts(QMenu* pMenu) const {
        emit pMenu->aboutToShow();
        QStringList texts;
        for (QAction* pAction : pMenu->actions())
            texts << (pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
        return texts;
    }
    void StoreWorkspace(const std::function<void(platform::CWorkspaceSettings&)>& change) {
        platform::CWorkspaceSettings settings(0, 0, CMDIClientWnd::DefaultLogoFont());
        const auto locations = platform::HiveLocations::FromEnvironment();
        settings.Load(locations);
        change(settings);
        ASSERT_TRUE(settings.Save(locations));
    }
    platform::CWorkspaceSettings StoredWorkspace() const {
        platform::CWorkspaceSettings settings(1, 2, {});
        settings.Load(platform::HiveLocations::FromEnvironment());
        return settings;
    }
};

} // namespace

TEST_F(WorkspaceTest, TabsFollowTheWindowsWithTheirTitlesColoursAndTips) {
    Start(kShownOptions);
    EXPECT_FALSE(Tabs().isVisible()); // no window, no bar
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("a.png"))), nullptr);
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("b.png"))), nullptr);
    CTavixCaptureDoc* pNew = NewDocument(QImage(8, 8, QImage::Format_RGB32));
    ASSERT_NE(pNew, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Tabs().isVisible() && TabCtrl().count() == 3; }));
    EXPECT_EQ(TabTexts().mid(0, 2), (QStringList{"a.png", "b.png"}));
    EXPECT_TRUE(TabTexts()[2].startsWith(pNew->GetTitle()));
    EXPECT_EQ(TabCtrl().currentIndex(), 2);
    // Tips: the file's path, or the text of an image never saved.
    EXPECT_EQ(CViewManager::ToolTipFor(Tabs().ViewAt(0)->GetDocument()),
              QString::fromStdString((Root() / "a.png").string()));
    EXPECT_EQ(CViewManager::ToolTipFor(pNew), QStringLiteral("A new unsaved file"));
    // A new image is modified from the start (red); the others blue when selected, grey not.
    EXPECT_EQ(TabCtrl().tabTextColor(2), kRed);
    EXPECT_EQ(TabCtrl().tabTextColor(0), kDarkGrey);

    // A click on the first tab activates its window; an edit turns its tab red.
    QTest::mouseClick(&TabCtrl(), Qt::LeftButton, {}, TabCtrl().tabRect(0).center());
    ASSERT_TRUE(WaitUntil([&] { return ActiveView() == Tabs().ViewAt(0); }));
    EXPECT_EQ(TabCtrl().tabTextColor(0), kBlue);
    EXPECT_TRUE(Run(ID_IMAGE_INVERT));
    ASSERT_TRUE(WaitUntil([&] { return TabCtrl().tabTextColor(0) == kRed; }));
    EXPECT_EQ(TabTexts()[0], QStringLiteral("a.png *"));
    EXPECT_TRUE(Run(ID_FILE_SAVE));
    ASSERT_TRUE(WaitUntil([&] { return TabCtrl().tabTextColor(0) == kBlue; }));
    EXPECT_EQ(TabTexts()[0], QStringLiteral("a.png"));

    // Closing the middle one leaves two, the selection on the active window.
    QTest::mouseClick(&TabCtrl(), Qt::LeftButton, {}, TabCtrl().tabRect(1).center());
    ASSERT_TRUE(WaitUntil([&] { return ActiveView() == Tabs().ViewAt(1); }));
    EXPECT_TRUE(Run(ID_FILE_CLOSE));
    ASSERT_TRUE(WaitUntil([&] { return TabCtrl().count() == 2; }));
    EXPECT_EQ(Tabs().GetViewCount(), 2);
    EXPECT_EQ(TabTexts()[0], QStringLiteral("a.png"));
    EXPECT_EQ(Tabs().ViewAt(TabCtrl().currentIndex()), ActiveView());
    // The bar goes with the last window; it can be shown and hidden by hand.
    m_pApp->CloseAllDocuments(false);
    ASSERT_TRUE(WaitUntil([&] { return !Tabs().isVisible(); }));
    EXPECT_TRUE(Run(ID_VIEW_TAB_BAR));
    EXPECT_TRUE(Tabs().isVisible());
    EXPECT_TRUE(Run(ID_VIEW_FILE_TABS));
    EXPECT_FALSE(Tabs().isVisible());
}

TEST_F(WorkspaceTest, RightClickOnATabActivatesItsWindowAndOpensTheTabMenu) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("a.png"))), nullptr);
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("b.png"))), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TabCtrl().count() == 2 && TabCtrl().isVisible(); }));
    QTest::mouseClick(&TabCtrl(), Qt::RightButton, {}, TabCtrl().tabRect(0).center());
    ASSERT_TRUE(WaitUntil([&] { return ActiveView() == Tabs().ViewAt(0); }));
    QMenu* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(pMenu->title(), QStringLiteral("TabViewCtrl"));
    QStringList texts;
    for (QAction* pAction : pMenu->actions())
        texts << (pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
    EXPECT_EQ(texts.size(), 17);
    EXPECT_EQ(texts.front(), QStringLiteral("&Close\tCtrl+F4"));
    EXPECT_EQ(texts.back(), QStringLiteral("Windows &Manage..."));
    pMenu->close();
    ProcessEvents();
    // Off the tabs nothing happens.
    QTest::mouseClick(&TabCtrl(), Qt::RightButton, {}, QPoint(TabCtrl().width() - 2, 2));
    ProcessEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(WorkspaceTest, WindowMenuListsTheWindowsAndNextPreviousMoveThroughThem) {
    Start(kShownOptions);
    for (unsigned nID = ID_WINDOW_NEXT; nID <= ID_WINDOW_MANAGE; ++nID)
        EXPECT_FALSE(IsEnabled(nID)) << nID;
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("a&b.png"))), nullptr);
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("c.png"))), nullptr);
    for (unsigned nID = ID_WINDOW_NEXT; nID <= ID_WINDOW_MANAGE; ++nID)
        EXPECT_TRUE(IsEnabled(nID)) << nID;
    QMenu* pMenu = WindowMenu();
    ASSERT_NE(pMenu, nullptr);
    // Twice: the list is replaced on every opening, never added to.
    OpenedMenuTexts(pMenu);
    const QStringList texts = OpenedMenuTexts(pMenu);
    ASSERT_GE(texts.size(), 4);
    EXPECT_EQ(texts.mid(texts.size() - 4),
              (QStringList{"-", "&1 a&&b.png", "&2 c.png", "&Windows..."}));
    EXPECT_FALSE(texts.contains(QStringLiteral("Windows &Manage...")));
    EXPECT_TRUE(pMenu->actions().at(texts.size() - 2)->isChecked()); // c.png is active

    EXPECT_TRUE(Run(ID_WINDOW_NEXT));
    EXPECT_EQ(ActiveChild()->windowTitle(), QStringLiteral("a&b.png"));
    EXPECT_TRUE(Run(ID_WINDOW_PREVIOUS));
    EXPECT_EQ(ActiveChild()->windowTitle(), QStringLiteral("c.png"));
    // A window's entry activates it.
    OpenedMenuTexts(pMenu);
    pMenu->actions().at(pMenu->actions().size() - 3)->trigger();
    ProcessEvents();
    EXPECT_EQ(ActiveChild()->windowTitle(), QStringLiteral("a&b.png"));
}

TEST_F(WorkspaceTest, SaveAllSavesModifiedImagesWithoutAskingAndCloseAllKeepsUnsavedOnes) {
    Start(kShownOptions);
    CCancelledPrompts prompts;
    m_pApp->Ui().SetFileDialogs(&prompts);
    const auto pathA = WritePng(20, 10, QStringLiteral("a.png"));
    const auto pathB = WritePng(20, 10, QStringLiteral("b.png"));
    ASSERT_NE(Open(pathA), nullptr);
    EXPECT_TRUE(Run(ID_IMAGE_INVERT));
    ASSERT_NE(Open(pathB), nullptr);
    const QImage before(QString::fromStdString(pathA.string()));
    const auto nBoxes = m_boxes.m_shown.size();
    EXPECT_TRUE(Run(ID_WINDOW_SAVE_ALL));
    EXPECT_EQ(m_boxes.m_shown.size(), nBoxes);
    EXPECT_EQ(prompts.m_nAsked, 0);
    const QImage after(QString::fromStdString(pathA.string()));
    EXPECT_EQ(after.pixel(3, 4), before.pixel(3, 4) ^ 0x00FFFFFF);
    EXPECT_EQ(QImage(QString::fromStdString(pathB.string())).pixel(3, 4),
              QImage(QString::fromStdString(pathB.string())).pixel(3, 4));

    // An image that has no file yet is asked a name for; cancelled, every window stays open.
    ASSERT_NE(NewDocument(QImage(8, 8, QImage::Format_RGB32)), nullptr);
    EXPECT_TRUE(Run(ID_WINDOW_CLOSE_ALL));
    EXPECT_EQ(prompts.m_nAsked, 1);
    EXPECT_EQ(Frame().ChildFrames().size(), 3);
    m_pApp->Ui().SetFileDialogs(nullptr);
}

TEST_F(WorkspaceTest, ALongFileNameKeepsItsTabNarrow) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("short.png"))), nullptr);
    const QString strLong = QString(240, u'n') + QStringLiteral(".png");
    CTavixCaptureDoc* pLong = Open(WritePng(20, 10, strLong));
    ASSERT_NE(pLong, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TabCtrl().isVisible() && TabCtrl().count() == 2; }));
    EXPECT_LE(TabCtrl().tabRect(1).width(), TabCtrl().MaxTabWidth());
    EXPECT_LT(TabCtrl().tabRect(1).width(), TabCtrl().width() / 2) << "room for other tabs";
    EXPECT_EQ(CViewManager::ToolTipFor(pLong),
              QString::fromStdString((Root() / strLong.toStdString()).string()));
}

TEST_F(WorkspaceTest, AFailedOpenChangesNothing) {
    Start(kShownOptions);
    const std::filesystem::path broken = Root() / "broken.png";
    std::ofstream(broken) << "not a picture";
    // With no window open: the maximised state that new windows take stays as it was.
    EXPECT_EQ(Open(broken), nullptr);
    ProcessEvents();
    EXPECT_TRUE(StoredWorkspace().m_bChildMaximized);
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("a.png"))), nullptr);
    EXPECT_TRUE(ActiveChild()->isMaximized());
    // With the last of three windows active, it stays active.
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("b.png"))), nullptr);
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("c.png"))), nullptr);
    CView* pLast = ActiveView();
    EXPECT_EQ(Open(broken), nullptr);
    ProcessEvents();
    EXPECT_EQ(ActiveView(), pLast);
    EXPECT_EQ(TabCtrl().currentIndex(), 2);
    EXPECT_EQ(m_boxes.m_shown.size(), 2u) << "each failure said once";
}

TEST_F(WorkspaceTest, NewWindowsOpenAsTheLastOneClosedAlsoAfterARestart) {
    Start(kShownOptions);
    // First start: maximised.
    ASSERT_NE(Open(WritePng(20, 10)), nullptr);
    EXPECT_TRUE(ActiveChild()->isMaximized());
    ActiveChild()->showNormal();
    m_pApp->CloseAllDocuments(false);
    ProcessEvents();
    EXPECT_FALSE(StoredWorkspace().m_bChildMaximized);
    ASSERT_NE(Open(WritePng(20, 10)), nullptr);
    EXPECT_FALSE(ActiveChild()->isMaximized());
    // A window opened beside a maximised one opens maximised too.
    ActiveChild()->showMaximized();
    ASSERT_NE(Open(WritePng(30, 10, QStringLiteral("second.png"))), nullptr);
    EXPECT_TRUE(ActiveChild()->isMaximized());
    m_pApp->CloseAllDocuments(false);
    ProcessEvents();

    m_pApp.reset();
    ProcessEvents();
    EXPECT_TRUE(StoredWorkspace().m_bChildMaximized);
    StoreWorkspace([](platform::CWorkspaceSettings& s) { s.m_bChildMaximized = false; });
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(20, 10)), nullptr);
    EXPECT_FALSE(ActiveChild()->isMaximized());
}

TEST_F(WorkspaceTest, WindowsThatCameAndWentLeaveNoPixmapsBehind) {
    Start(kShownOptions);
    // The heap the pixmap cache gives back when emptied, after that many maximised windows
    // (the state new windows take at first: their buttons are painted in the menu bar).
    const auto cbCachedAfterWindows = [&](int nWindows) {
        for (int i = 0; i < nWindows; ++i) {
            EXPECT_NE(Open(WritePng(20, 10)), nullptr);
            EXPECT_TRUE(ActiveChild() && ActiveChild()->isMaximized() && Run(ID_FILE_CLOSE));
        }
        const long cbBefore = static_cast<long>(mallinfo2().uordblks);
        QPixmapCache::clear();
        return cbBefore - static_cast<long>(mallinfo2().uordblks);
    };
    cbCachedAfterWindows(0);
    const long cbAfterOne = cbCachedAfterWindows(1);
    EXPECT_LT(cbCachedAfterWindows(40) - cbAfterOne, 16 * 1024); // each window left about 3 KB
}

TEST_F(WorkspaceTest, WindowsDialogListsEnablesAndActsOnTheSelectedWindows) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("a.png"))), nullptr);
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("b.png"))), nullptr);
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("c.png"))), nullptr);
    CWindowListDlg dialog(m_pApp->Ui(), Frame(), &Frame());
    dialog.show();
    ProcessEvents();
    QListWidget* pList = dialog.List();
    ASSERT_EQ(pList->count(), 3);
    EXPECT_EQ(pList->item(0)->text(), QStringLiteral("c.png")); // front-most first
    EXPECT_TRUE(pList->item(0)->isSelected());
    using B = CWindowListDlg;
    auto enabled = [&](B::EButton id) { return dialog.Button(id)->isEnabled(); };
    EXPECT_TRUE(enabled(B::Activate));
    EXPECT_TRUE(enabled(B::CloseWindows) && enabled(B::Save) && enabled(B::Minimize));
    EXPECT_FALSE(enabled(B::TileHorizontally) || enabled(B::TileVertically) || enabled(B::Cascade));
    pList->item(2)->setSelected(true);
    EXPECT_FALSE(enabled(B::Activate));
    EXPECT_TRUE(enabled(B::TileHorizontally) && enabled(B::TileVertically) && enabled(B::Cascade));
    pList->clearSelection();
    EXPECT_FALSE(enabled(B::Activate) || enabled(B::CloseWindows) || enabled(B::Save) ||
                 enabled(B::Minimize));

    // Tiling shows the selected side by side and minimises the others.
    pList->item(0)->setSelected(true);
    pList->item(2)->setSelected(true);
    dialog.Button(B::TileVertically)->click();
    const QList<CMDIChildWnd*> windows = dialog.ListedWindows();
    EXPECT_FALSE(windows[0]->isMinimized());
    EXPECT_TRUE(windows[1]->isMinimized());
    EXPECT_EQ(windows[0]->height(), windows[2]->height());
    // Closing takes the selected windows away and refills the list.
    dialog.Button(B::CloseWindows)->click();
    ProcessEvents();
    ASSERT_EQ(pList->count(), 1);
    EXPECT_EQ(pList->item(0)->text(), QStringLiteral("b.png"));
    // Activate restores the minimised window and ends the dialog.
    pList->item(0)->setSelected(true);
    dialog.Button(B::Activate)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(ActiveChild()->isMinimized());
    EXPECT_EQ(ActiveChild()->windowTitle(), QStringLiteral("b.png"));
}

TEST_F(WorkspaceTest, BackgroundPaintsItsColourPictureAndLogoAndKeepsItsSettings) {
    QImage picture(10, 6, QImage::Format_RGB32);
    picture.fill(qRgb(0, 200, 0));
    const std::string strPicture = (Root() / "back.bmp").string();
    ASSERT_TRUE(picture.save(QString::fromStdString(strPicture), "BMP"));
    StoreWorkspace([&](platform::CWorkspaceSettings& s) {
        s.m_crBack = 0x00203040; // 0x00BBGGRR
        s.m_crLogo = 0x000000FF;
        s.m_nDispType = platform::CWorkspaceSettings::Tile;
        s.m_strBitmapFile = strPicture;
    });
    Start(kShownOptions);
    QWidget* pViewport = Frame().MdiArea()->viewport();
    QImage shot = pViewport->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(3, 3)), QColor(0, 200, 0)); // tiled from the top left
    EXPECT_EQ(QColor(shot.pixel(13, 9)), QColor(0, 200, 0));
    // The logo lies in the lower right corner, in its colour.
    const QRect rcLogo = Frame().Client().Background().LogoRect(pViewport->size());
    EXPECT_GT(rcLogo.left(), 0);
    EXPECT_EQ(rcLogo.right(), pViewport->width() - 1);
    EXPECT_EQ(rcLogo.bottom(), pViewport->height() - 1);
    int nLogoPixels = 0;
    for (int y = rcLogo.top(); y <= rcLogo.bottom(); ++y)
        for (int x = rcLogo.left(); x <= rcLogo.right(); ++x)
            nLogoPixels += QColor(shot.pixel(x, y)) == QColor(255, 0, 0) ? 1 : 0;
    EXPECT_GT(nLogoPixels, 50);
    // Centred: the picture in the middle, the colour around it.
    Frame().Client().Background().SetDispType(CWorkspaceBackground::Center);
    shot = pViewport->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(2, 2)), QColor(0x40, 0x30, 0x20));
    EXPECT_EQ(QColor(shot.pixel(shot.width() / 2, shot.height() / 2)), QColor(0, 200, 0));

    // A picture that does not load leaves the colour; the values go back when the program ends.
    EXPECT_FALSE(Frame().Client().Background().LoadBitmap(QStringLiteral("/nonexistent.bmp")));
    // Nor does a pipe, at once (without a writer it would wait for ever): the settings name it.
    const std::filesystem::path fifo = Root() / "background.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> bLoaded = false, bReleased = false;
    std::thread release([&] {
        for (int i = 0; i < 500 && !bLoaded; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!bLoaded) { // the load is stuck: a writer lets it go, and the test fails
            bReleased = true;
            ::close(::open(fifo.c_str(), O_WRONLY));
        }
    });
    EXPECT_FALSE(Frame().Client().Background().LoadBitmap(QString::fromStdString(fifo.string())));
    bLoaded = true;
    release.join();
    EXPECT_FALSE(bReleased) << "the load waited on the pipe";
    m_pApp.reset();
    ProcessEvents();
    const platform::CWorkspaceSettings stored = StoredWorkspace();
    EXPECT_EQ(stored.m_crBack, 0x00203040u);
    EXPECT_EQ(stored.m_strBitmapFile, strPicture);
    EXPECT_EQ(stored.m_logoFont.strFaceName, "Times New Roman");
    EXPECT_EQ(stored.m_logoFont.nWeight, 700);
}
