// SPDX-License-Identifier: MIT
// What a selection looks like in the image window: the marquee blinking on the main frame's
// timer with only its edges repainted, a drag step repainting only the block's old and new
// places, the context menu 343 at the pointer, drags past the edge scrolling, and Undo taking a
// floating paste away.
#include "AppFixture.h"

#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "image/DisplayBitmap.h"
#include "views/TavixCaptureView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

using namespace apptest;

namespace {

constexpr std::uint32_t kShownOptions = 0x0008167B & ~0x2u;

qint64 Area(const QRegion& region) {
    qint64 n = 0;
    for (const QRect& rc : region)
        n += qint64(rc.width()) * rc.height();
    return n;
}

QStringList Texts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* pAction : menu.actions())
        texts << (pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
    return texts;
}

} // namespace

TEST_F(AppTest, MarqueeBlinksOnTheFrameTimerRepaintingOnlyItsEdges) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(300, 200)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    ASSERT_TRUE(Run(ID_VIEW_SELECT_REGION));
    QTest::mousePress(pView->viewport(), Qt::LeftButton, {}, pView->ImageToView(QPoint(20, 30)));
    QTest::mouseMove(pView->viewport(), pView->ImageToView(QPoint(120, 90)));
    QTest::mouseRelease(pView->viewport(), Qt::LeftButton, {}, pView->ImageToView(QPoint(120, 90)));
    ASSERT_EQ(pView->Marquee(), QRect(20, 30, 100, 60));

    // The dot at the outline's top-left corner, one pixel outside the selection.
    const QPoint ptDot = pView->ImageToView(QPoint(19, 29));
    const QRect rcMark(0, 0, 1, 1);
    for (int nTick = 0; nTick < 2; ++nTick) {
        // Everything pending painted, then a one-pixel paint to tell the tick's own paint by.
        ProcessEvents();
        pView->viewport()->repaint(rcMark);
        const bool bInverted = Frame().MarqueeInverted();
        ASSERT_TRUE(WaitUntil([&] { return Frame().MarqueeInverted() != bInverted; }));
        ASSERT_TRUE(WaitUntil([&] { return pView->LastPaintRegion() != QRegion(rcMark); }));
        // The tick's paint: the four edges, nothing inside or around them.
        const QRegion painted = pView->LastPaintRegion();
        EXPECT_TRUE(painted.contains(ptDot));
        EXPECT_FALSE(painted.contains(pView->ImageToView(QPoint(70, 60))));
        EXPECT_LE(Area(painted), 4 * (100 + 60 + 8) * 3);
        const QRgb dot = pView->viewport()->grab().toImage().pixel(ptDot);
        EXPECT_EQ(dot & 0xFFFFFF, Frame().MarqueeInverted() ? 0xFFFFFFu : 0u);
    }
}

TEST_F(AppTest, DragStepRepaintsOnlyTheBlocksOldAndNewPlaces) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(400, 300)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    ASSERT_TRUE(Run(ID_EDIT_SELECT_ALL));
    ASSERT_TRUE(Run(ID_VIEW_SELECT_REGION)); // off: the selection goes
    ASSERT_TRUE(Run(ID_VIEW_SELECT_REGION));
    QWidget* pPort = pView->viewport();
    QTest::mousePress(pPort, Qt::LeftButton, {}, pView->ImageToView(QPoint(50, 50)));
    QTest::mouseMove(pPort, pView->ImageToView(QPoint(90, 80)));
    QTest::mouseRelease(pPort, Qt::LeftButton, {}, pView->ImageToView(QPoint(90, 80)));
    ASSERT_EQ(pView->Selection(), QRect(50, 50, 40, 30));
    QTest::mousePress(pPort, Qt::LeftButton, {}, pView->ImageToView(QPoint(60, 60)));
    ProcessEvents(); // the selection's own repaints are done
    QTest::mouseMove(pPort, pView->ImageToView(QPoint(62, 61)));
    // A point only the new place covers: the step's paint has come.
    ASSERT_TRUE(WaitUntil(
        [&] { return pView->LastPaintRegion().contains(pView->ImageToView(QPoint(95, 84))); }));
    // The old and the new place with a margin of a few pixels, and nothing more.
    const QRect rcAllowed =
        pView->ImageToView(QRect(45, 45, 40 + 12, 30 + 11)).adjusted(-1, -1, 1, 1);
    EXPECT_TRUE(rcAllowed.contains(pView->LastPaintRegion().boundingRect()));
    QTest::mouseRelease(pPort, Qt::LeftButton, {}, pView->ImageToView(QPoint(62, 61)));
    EXPECT_EQ(pView->Selection(), QRect(52, 51, 40, 30));
}

TEST_F(AppTest, RightClickShowsTheViewMenuAtThePointerWithItsEnabling) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(120, 90)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    const QPoint ptLocal = pView->ImageToView(QPoint(30, 20));
    const QPoint ptGlobal = pView->viewport()->mapToGlobal(ptLocal);
    auto openMenu = [&]() -> QMenu* {
        QContextMenuEvent event(QContextMenuEvent::Mouse, ptLocal, ptGlobal);
        QApplication::sendEvent(pView->viewport(), &event);
        if (!WaitUntil([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }))
            return nullptr;
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    };
    auto actionOf = [](const QMenu& menu, const QString& strText) -> QAction* {
        for (QAction* pAction : menu.actions())
            if (pAction->text() == strText)
                return pAction;
        return nullptr;
    };
    QMenu* pMenu = openMenu();
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(pMenu->pos(), ptGlobal);
    const QStringList texts = Texts(*pMenu);
    ASSERT_GE(texts.size(), 12);
    EXPECT_EQ(texts.mid(0, 3), (QStringList{"Select &All", "&Select Region", "U&nselect Region"}));
    EXPECT_EQ(texts.mid(6, 5),
              (QStringList{"Cu&t\tCtrl+X", "Cop&y All To The Clipboard",
                           "Copy The S&election To The Clipboard\tCtrl+C",
                           "&Paste Into Current Image \tCtrl+V", "Paste As Ne&w Image\tCtrl+W"}));
    EXPECT_FALSE(actionOf(*pMenu, "Cu&t\tCtrl+X")->isEnabled());
    EXPECT_FALSE(actionOf(*pMenu, "U&nselect Region")->isEnabled());
    EXPECT_TRUE(actionOf(*pMenu, "Select &All")->isEnabled());
    // Its commands go to the view: Select All from the menu selects.
    actionOf(*pMenu, "Select &All")->trigger();
    pMenu->close();
    ProcessEvents();
    EXPECT_EQ(pView->Selection(), QRect(0, 0, 120, 90));
    pMenu = openMenu();
    ASSERT_NE(pMenu, nullptr);
    EXPECT_TRUE(actionOf(*pMenu, "Cu&t\tCtrl+X")->isEnabled());
    EXPECT_TRUE(actionOf(*pMenu, "U&nselect Region")->isEnabled());
    EXPECT_TRUE(actionOf(*pMenu, "&Select Region")->isChecked());
    pMenu->close();
}

TEST_F(AppTest, DragsPastTheWindowsEdgeScrollUntilTheRelease) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(400, 300)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_TRUE(Run(ID_VIEW_ZOOM_400));
    pView->ScrollToPosition(QPoint(0, 0));
    ASSERT_TRUE(Run(ID_VIEW_SELECT_REGION));
    QWidget* pPort = pView->viewport();
    const QPoint ptOutside(pPort->width() + 40, pPort->height() + 30);
    const QPoint ptFirstEnd = pView->ViewToImage(ptOutside);
    QTest::mousePress(pPort, Qt::LeftButton, {}, pView->ImageToView(QPoint(10, 10)));
    QTest::mouseMove(pPort, ptOutside);
    ASSERT_TRUE(WaitUntil([&] { return pView->ScrollPosition().x() > 200; }));
    QTest::mouseRelease(pPort, Qt::LeftButton, {}, ptOutside);
    const QPoint ptEnd = pView->ViewToImage(ptOutside);
    EXPECT_GT(ptEnd.x(), ptFirstEnd.x());
    EXPECT_EQ(pView->Selection(), QRect(10, 10, ptEnd.x() - 10, ptEnd.y() - 10));
    const QPoint ptScrolled = pView->ScrollPosition();
    EXPECT_FALSE(WaitUntil([&] { return pView->ScrollPosition() != ptScrolled; }, 300));

    // The selected block dragged back past the top-left edge, to where it did not show.
    QTest::mousePress(pPort, Qt::LeftButton, {}, pPort->rect().center());
    QTest::mouseMove(pPort, QPoint(-30, -20));
    ASSERT_TRUE(WaitUntil([&] { return pView->ScrollPosition() == QPoint(0, 0); }));
    QTest::mouseRelease(pPort, Qt::LeftButton, {}, QPoint(-30, -20));
    EXPECT_LT(pView->Selection().left(), 10);
}

TEST_F(AppTest, UndoFirstTakesAFloatingPasteAway) {
    Start(kShownOptions);
    CTavixCaptureDoc* pDoc = Open(WritePng(60, 40));
    ASSERT_NE(pDoc, nullptr);
    CTavixCaptureView* pView = ActiveView();
    const auto pixel = [&] {
        const RGBQuad q = pDoc->GetImage()->Row<RGBQuad>(3)[4];
        return qRgb(q.red, q.green, q.blue);
    };
    const QRgb original = pixel();
    ASSERT_TRUE(Run(ID_IMAGE_INVERT));
    const QRgb inverted = pixel();
    QImage pasted(10, 8, QImage::Format_RGB32);
    pasted.fill(qRgb(1, 2, 3));
    QApplication::clipboard()->setImage(pasted);
    ASSERT_TRUE(Run(ID_EDIT_PASTE));
    ASSERT_NE(pView->Editor().Floating(), nullptr);
    EXPECT_FALSE(IsEnabled(ID_EDIT_REDO)); // nothing is redone over the paste
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().activateWindow();
    pView->setFocus();
    QTest::keyClick(pView, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pView->Editor().Floating(), nullptr);
    EXPECT_TRUE(pView->Selection().isEmpty());
    EXPECT_EQ(pixel(), inverted);
    // A click merges nothing now; the next Ctrl+Z undoes the invert.
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, {}, pView->ImageToView(QPoint(4, 3)));
    EXPECT_EQ(pixel(), inverted);
    QTest::keyClick(pView, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pixel(), original);
    ASSERT_TRUE(Run(ID_EDIT_REDO));
    EXPECT_EQ(pixel(), inverted);
    EXPECT_EQ(pView->Editor().Floating(), nullptr);
    EXPECT_FALSE(IsEnabled(ID_EDIT_REDO));
}
