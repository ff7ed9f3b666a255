// SPDX-License-Identifier: MIT
// The file tab bar on a real display: clicking a tab brings its image window forward, resting
// the pointer on a tab shows where its file is, and closing the middle of three leaves the others.
#include "AppFixture.h"

#include "app/MDIClientWnd.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "support/XClient.h"
#include "views/TavixCaptureView.h"
#include "views/ViewManager.h"
#include "views/ViewTabCtrl.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <QToolTip>

#include <cstdlib>

using namespace apptest;

namespace {

constexpr std::uint32_t kShownOptions = 0x0008167B & ~0x2u;

class TabBarTest : public AppTest {
protected:
    CViewManager& Tabs() const { return Frame().Client().TabBar(); }
    CViewTabCtrl& TabCtrl() const { return *Tabs().TabCtrl(); }
    void PointAt(int nTab, bool bClick) {
        testsupport::CXClient client(std::getenv("DISPLAY"));
        // Device pixels: the tests run at a device ratio of 1.
        const QPoint pos = TabCtrl().mapToGlobal(TabCtrl().tabRect(nTab).center());
        client.MoveTo(pos.x() - 3, pos.y());
        client.MoveTo(pos.x(), pos.y(), 10);
        client.Sync();
        if (bClick)
            QTest::mouseClick(&TabCtrl(), Qt::LeftButton, {}, TabCtrl().tabRect(nTab).center());
    }
};

} // namespace

TEST_F(TabBarTest, ClickActivatesHoverNamesTheFileAndClosingTheMiddleLeavesTwo) {
    Start(kShownOptions);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    const auto pathA = WritePng(30, 20, QStringLiteral("a.png"));
    ASSERT_NE(Open(pathA), nullptr);
    ASSERT_NE(Open(WritePng(30, 20, QStringLiteral("b.png"))), nullptr);
    ASSERT_NE(NewDocument(QImage(8, 8, QImage::Format_RGB32)), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TabCtrl().isVisible() && TabCtrl().count() == 3; }));

    PointAt(0, true);
    ASSERT_TRUE(WaitUntil([&] { return ActiveView() == Tabs().ViewAt(0); }));
    EXPECT_EQ(TabCtrl().currentIndex(), 0);
    // Resting on the tab shows the file's path; on the new image, that it has none.
    ASSERT_TRUE(WaitUntil([&] { return QToolTip::isVisible(); }, 8000));
    EXPECT_EQ(QToolTip::text(), QString::fromStdString(pathA.string()));
    PointAt(2, false);
    ASSERT_TRUE(WaitUntil(
        [&] { return QToolTip::isVisible() && QToolTip::text() == "A new unsaved file"; }, 8000));

    // An edit turns the active tab red.
    PointAt(0, true);
    ASSERT_TRUE(WaitUntil([&] { return ActiveView() == Tabs().ViewAt(0); }));
    EXPECT_TRUE(Frame().Dispatcher().Execute(ID_IMAGE_INVERT));
    EXPECT_TRUE(WaitUntil([&] { return TabCtrl().tabTextColor(0) == QColor(255, 0, 0); }));

    PointAt(1, true);
    ASSERT_TRUE(WaitUntil([&] { return ActiveView() == Tabs().ViewAt(1); }));
    EXPECT_TRUE(Frame().Dispatcher().Execute(ID_FILE_CLOSE));
    ASSERT_TRUE(WaitUntil([&] { return TabCtrl().count() == 2; }));
    EXPECT_EQ(TabCtrl().tabText(0), QStringLiteral("a.png *"));
    EXPECT_EQ(Tabs().ViewAt(TabCtrl().currentIndex()), ActiveView());
}

TEST_F(TabBarTest, RightClickOnATabOpensItsMenuAlone) {
    Start(kShownOptions);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    ASSERT_NE(Open(WritePng(30, 20, QStringLiteral("a.png"))), nullptr);
    ASSERT_NE(Open(WritePng(30, 20, QStringLiteral("b.png"))), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TabCtrl().isVisible() && TabCtrl().count() == 2; }));
    PointAt(0, false);
    testsupport::CXClient client(std::getenv("DISPLAY"));
    client.Click(3);
    client.Sync();
    ASSERT_TRUE(WaitUntil([] { return QApplication::activePopupWidget() != nullptr; }));
    // The press that opened the tab's menu also makes a context-menu request, delivered with it.
    QCoreApplication::processEvents();
    int nMenus = 0;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        nMenus += qobject_cast<QMenu*>(pWidget) != nullptr && pWidget->isVisible() ? 1 : 0;
    EXPECT_EQ(nMenus, 1);
    QApplication::activePopupWidget()->close();
}
