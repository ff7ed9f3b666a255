// SPDX-License-Identifier: MIT
// The image window: what it paints (pixels, red outline, background) at 100 % and 200 %, the
// status panes, keyboard scrolling, panning, the first size, and the operations from the menus.
#include "AppFixture.h"

#include "document/TavixCaptureDoc.h"
#include "framework/CmdUI.h"
#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "image/DisplayBitmap.h"
#include "platform/WorkspaceSettings.h"
#include "views/TavixCaptureView.h"
#include "views/ViewCursors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

using namespace apptest;

namespace {

constexpr std::uint32_t kShownOptions = 0x0008167B & ~0x2u;

QRgb ImagePixel(const CDisplayBitmap& bmp, int x, int y) {
    const RGBQuad q = bmp.Row<RGBQuad>(y)[x];
    return qRgb(q.red, q.green, q.blue);
}

// Checks every pixel of the grabbed window against the image, the outline and the background.
void ExpectPainted(CTavixCaptureView& view, int nScale) {
    const CDisplayBitmap& bmp = *view.Image();
    const QImage shot = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), view.viewport()->size());
    const QRect rcImage = view.ImageRectInView();
    ASSERT_EQ(rcImage.size(), QSize(bmp.Width() * nScale, bmp.Height() * nScale));
    const QRect rcOutline = rcImage.adjusted(-1, -1, 1, 1);
    const QRgb background = qRgb(0x66, 0x99, 0xCC);
    int nErrors = 0;
    for (int y = 0; y < shot.height() && nErrors < 5; ++y) {
        for (int x = 0; x < shot.width() && nErrors < 5; ++x) {
            QRgb expected = background;
            if (rcImage.contains(x, y))
                expected =
                    ImagePixel(bmp, (x - rcImage.left()) / nScale, (y - rcImage.top()) / nScale);
            else if (rcOutline.contains(x, y))
                expected = qRgb(255, 0, 0);
            if (shot.pixel(x, y) != expected) {
                ADD_FAILURE() << "scale " << nScale << " pixel (" << x << "," << y << ") "
                              << std::hex << shot.pixel(x, y) << " expected " << expected;
                ++nErrors;
            }
        }
    }
}

// Whether the view shows the cursor picture id (the view's own cursors are pictures).
bool ShowsCursor(const CTavixCaptureView& view, CViewCursors::ECursor id) {
    const QCursor cursor = view.viewport()->cursor();
    const QImage expected = CViewCursors::Picture(id, view.devicePixelRatioF());
    return cursor.shape() == Qt::BitmapCursor &&
           cursor.pixmap().toImage().convertToFormat(expected.format()) == expected;
}

} // namespace

TEST_F(AppTest, ViewPaintsTheImageAtOneAndTwoTimes) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(61, 43)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    ExpectPainted(*pView, 1);
    Run(ID_VIEW_ZOOM_200);
    ExpectPainted(*pView, 2);
    // A partial repaint draws only the pixels it needs, one more on each side.
    pView->viewport()->repaint(
        QRect(pView->ImageRectInView().topLeft() + QPoint(10, 10), QSize(4, 4)));
    EXPECT_EQ(pView->LastRepaintRect(), QRect(4, 4, 4, 4));
}

TEST_F(AppTest, ScrolledViewPaintsTheRightPart) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(700, 500)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    Run(ID_VIEW_ZOOM_200);
    pView->ScrollToPosition(QPoint(333, 211));
    const QImage shot = pView->viewport()->grab().toImage();
    const CDisplayBitmap& bmp = *pView->Image();
    for (const QPoint pt : {QPoint(0, 0), QPoint(17, 9), QPoint(100, 60)}) {
        const QPoint ptImage = pView->ViewToImage(pt);
        EXPECT_EQ(ptImage, QPoint((pt.x() + 333) / 2, (pt.y() + 211) / 2));
        EXPECT_EQ(shot.pixel(pt), ImagePixel(bmp, ptImage.x(), ptImage.y()))
            << pt.x() << "," << pt.y();
    }
}

TEST_F(AppTest, ScrollStepsMoveThePixelsAndPaintOnlyWhatTheyUncover) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(700, 500)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    Run(ID_VIEW_ZOOM_400);
    ProcessEvents();
    QScrollBar* pH = pView->horizontalScrollBar();
    QScrollBar* pV = pView->verticalScrollBar();
    pView->ScrollToPosition(QPoint(600, 500));
    ProcessEvents();
    QWidget* pWindow = pView->window();
    const CDisplayBitmap& bmp = *pView->Image();
    // What the window really shows after each step: the backing store, where moved pixels and
    // newly painted ones meet (a grab of the widget would paint it afresh).
    const auto expectShown = [&](const char* pszStep) {
        const QPoint ptOrigin = pView->viewport()->mapTo(pWindow, QPoint(0, 0));
        const QImage shot =
            QGuiApplication::primaryScreen()
                ->grabWindow(pWindow->winId(), ptOrigin.x(), ptOrigin.y(),
                             pView->viewport()->width(), pView->viewport()->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shot.size(), pView->viewport()->size()) << pszStep;
        int nErrors = 0;
        for (int y = 0; y < shot.height() && nErrors < 3; y += 3) {
            for (int x = 0; x < shot.width() && nErrors < 3; x += 3) {
                const QPoint ptImage = pView->ViewToImage(QPoint(x, y));
                if (shot.pixel(x, y) != ImagePixel(bmp, ptImage.x(), ptImage.y())) {
                    ADD_FAILURE() << pszStep << ": window pixel (" << x << "," << y << ") shows "
                                  << std::hex << shot.pixel(x, y) << " instead of image pixel "
                                  << std::dec << ptImage.x() << "," << ptImage.y();
                    ++nErrors;
                }
            }
        }
    };
    const int nLineY = pView->LineStep().height();
    ASSERT_GT(nLineY, 4);
    for (int i = 0; i < 3; ++i) {
        pV->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCoreApplication::sendPostedEvents(pWindow, QEvent::UpdateRequest);
        expectShown("line down");
        // Only the uncovered strip was painted: one line step of window pixels, in image pixels
        // with one more on each side.
        EXPECT_LE(pView->LastRepaintRect().height(), nLineY / 4 + 3);
        EXPECT_GE(pView->LastRepaintRect().height(), nLineY / 4);
    }
    pH->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCoreApplication::sendPostedEvents(pWindow, QEvent::UpdateRequest);
    expectShown("line right");
    for (const auto action :
         {QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub}) {
        pH->triggerAction(action);
        pV->triggerAction(action);
        QCoreApplication::sendPostedEvents(pWindow, QEvent::UpdateRequest);
        expectShown("line down and right, then back");
    }
    pV->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCoreApplication::sendPostedEvents(pWindow, QEvent::UpdateRequest);
    expectShown("page up");
}

TEST_F(AppTest, StatusPanesShowDepthSizeAndPointerPosition) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(40, 30)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(Frame().Panes().PaneText(2), QStringLiteral("  Color: 32 Bits"));
    EXPECT_EQ(Frame().Panes().PaneText(3), QStringLiteral("  Image Size: (40,30)"));
    const QPoint origin = pView->ImageRectInView().topLeft();
    QTest::mouseMove(pView->viewport(), origin + QPoint(7, 5));
    EXPECT_EQ(Frame().Panes().PaneText(1), QStringLiteral("  Mouse Position: (7,5)"));
    // Left of and above the image the position is negative.
    QTest::mouseMove(pView->viewport(), origin + QPoint(-3, -1));
    EXPECT_EQ(Frame().Panes().PaneText(1), QStringLiteral("  Mouse Position: (-3,-1)"));
    // An operation that changes the size shows at once.
    Run(ID_IMAGE_ROTATE_CW);
    EXPECT_EQ(Frame().Panes().PaneText(3), QStringLiteral("  Image Size: (30,40)"));
}

TEST_F(AppTest, OperationsUndoRedoAndTheTitleMark) {
    Start(kShownOptions);
    CTavixCaptureDoc* pDoc = Open(WritePng(9, 5));
    ASSERT_NE(pDoc, nullptr);
    CTavixCaptureView* pView = ActiveView();
    const QRgb topLeft = ImagePixel(*pView->Image(), 0, 0);
    const QRgb bottomLeft = ImagePixel(*pView->Image(), 0, 4);
    EXPECT_FALSE(IsEnabled(ID_EDIT_UNDO));

    EXPECT_TRUE(Run(ID_IMAGE_ROTATE_CW));
    EXPECT_EQ(pView->ImageSize(), QSize(5, 9));
    EXPECT_EQ(pView->TotalSize(), QSize(5, 9));
    // Clockwise: the old bottom-left corner is now the top-left one.
    EXPECT_EQ(ImagePixel(*pView->Image(), 0, 0), bottomLeft);
    EXPECT_TRUE(pDoc->GetTitle().endsWith(QStringLiteral(" *")));

    EXPECT_TRUE(Run(ID_IMAGE_FLIP_V));
    EXPECT_TRUE(Run(ID_IMAGE_INVERT));
    EXPECT_TRUE(Run(ID_IMAGE_GRAYSCALE));
    EXPECT_EQ(Frame().Panes().PaneText(2), QStringLiteral("  Color: 8 Bits"));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Run(ID_EDIT_UNDO)) << i;
    EXPECT_EQ(pView->ImageSize(), QSize(9, 5));
    EXPECT_EQ(ImagePixel(*pView->Image(), 0, 0), topLeft);
    EXPECT_FALSE(pDoc->GetTitle().endsWith(QStringLiteral(" *")));
    EXPECT_TRUE(Run(ID_EDIT_REDO));
    EXPECT_EQ(pView->ImageSize(), QSize(5, 9));
    EXPECT_TRUE(Run(ID_IMAGE_ROTATE_CCW));
    EXPECT_EQ(pView->ImageSize(), QSize(9, 5));
    EXPECT_EQ(ImagePixel(*pView->Image(), 0, 0), topLeft);
}

TEST_F(AppTest, RedoKeysCtrlYAndCtrlShiftZShownInTheEditMenu) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(9, 5)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().activateWindow();
    pView->setFocus();
    for (const QKeyCombination keys :
         {QKeyCombination(Qt::ControlModifier, Qt::Key_Y),
          QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)}) {
        ASSERT_TRUE(Run(ID_IMAGE_ROTATE_CW));
        ASSERT_TRUE(Run(ID_EDIT_UNDO));
        ASSERT_EQ(pView->ImageSize(), QSize(9, 5));
        QTest::keyClick(pView, keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(pView->ImageSize(), QSize(5, 9)) << keys.toCombined();
        ASSERT_TRUE(Run(ID_EDIT_UNDO));
    }
    // The image window's Edit menu names the key beside the item.
    QAction* pRedo = nullptr;
    for (QAction* pMenuAction : Frame().menuBar()->actions())
        if (pMenuAction->menu() != nullptr && pMenuAction->text() == QStringLiteral("&Edit"))
            for (QAction* pAction : pMenuAction->menu()->actions())
                if (pAction->text().startsWith(QStringLiteral("&Redo")))
                    pRedo = pAction;
    ASSERT_NE(pRedo, nullptr);
    EXPECT_EQ(pRedo->text(), QStringLiteral("&Redo\tCtrl+Y"));
}

TEST_F(AppTest, KeyboardScrollsByPagesLinesAndToTheEnds) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(1200, 1000)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    QScrollBar* pH = pView->horizontalScrollBar();
    QScrollBar* pV = pView->verticalScrollBar();
    ASSERT_GT(pV->maximum(), 0);
    // A page is a tenth of the image, a line a tenth of a page.
    QTest::keyClick(pView, Qt::Key_PageDown);
    EXPECT_EQ(pV->value(), 100);
    QTest::keyClick(pView, Qt::Key_Down);
    EXPECT_EQ(pV->value(), 110);
    QTest::keyClick(pView, Qt::Key_Right);
    EXPECT_EQ(pH->value(), 12);
    QTest::keyClick(pView, Qt::Key_End);
    EXPECT_EQ(pH->value(), pH->maximum());
    EXPECT_EQ(pV->value(), 110);
    QTest::keyClick(pView, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(pV->value(), pV->maximum());
    QTest::keyClick(pView, Qt::Key_Home);
    EXPECT_EQ(pH->value(), 0);
    QTest::keyClick(pView, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(pV->value(), 0);
    QTest::keyClick(pView, Qt::Key_PageUp);
    EXPECT_EQ(pV->value(), 0);
}

TEST_F(AppTest, DraggingPansALargeImage) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(1200, 1000)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_NE(pView, nullptr);
    pView->ScrollToPosition(QPoint(300, 200));
    EXPECT_TRUE(ShowsCursor(*pView, CViewCursors::IDC_PAN));
    QTest::mousePress(pView->viewport(), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(ShowsCursor(*pView, CViewCursors::IDC_PAN_DRAG));
    QTest::mouseMove(pView->viewport(), QPoint(140, 70));
    EXPECT_EQ(pView->ScrollPosition(), QPoint(260, 230));
    // The position never goes below 0.
    QTest::mouseMove(pView->viewport(), QPoint(500, 90));
    EXPECT_EQ(pView->ScrollPosition(), QPoint(0, 210));
    QTest::mouseRelease(pView->viewport(), Qt::LeftButton, {}, QPoint(500, 90));
    EXPECT_TRUE(ShowsCursor(*pView, CViewCursors::IDC_PAN));

    // A small image cannot pan: plain arrow.
    ASSERT_NE(Open(WritePng(20, 20, QStringLiteral("small.png"))), nullptr);
    EXPECT_EQ(ActiveView()->viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(AppTest, FirstShowingFitsTheWindowIntoTheArea) {
    // Windows that open maximised fill the area whatever their image.
    ASSERT_TRUE(platform::CWorkspaceSettings::SaveChildWinState(
        false, platform::HiveLocations::FromEnvironment()));
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(60, 40)), nullptr);
    auto* pFrame = qobject_cast<QMdiSubWindow*>(ActiveView()->parentWidget());
    ASSERT_NE(pFrame, nullptr);
    // A mid-sized image gets a window that shows it whole.
    ASSERT_NE(Open(WritePng(500, 300, QStringLiteral("mid.png"))), nullptr);
    EXPECT_GE(ActiveView()->viewport()->width(), 500);
    EXPECT_GE(ActiveView()->viewport()->height(), 300);
    EXPECT_FALSE(ActiveView()->HasHorizontalScroll());
    EXPECT_FALSE(ActiveView()->HasVerticalScroll());
    m_pApp->CloseAllDocuments(false);
    ProcessEvents();
    ASSERT_NE(Open(WritePng(60, 40)), nullptr);
    // A small image: the window shows all of it, without scroll bars.
    EXPECT_GE(ActiveView()->viewport()->width(), 60);
    EXPECT_GE(ActiveView()->viewport()->height(), 40);
    EXPECT_FALSE(ActiveView()->HasHorizontalScroll());
    EXPECT_FALSE(ActiveView()->HasVerticalScroll());

    ASSERT_NE(Open(WritePng(1400, 1000, QStringLiteral("big.png"))), nullptr);
    pFrame = qobject_cast<QMdiSubWindow*>(ActiveView()->parentWidget());
    const QRect rcArea = Frame().MdiArea()->viewport()->rect();
    EXPECT_LE(pFrame->geometry().bottom(), rcArea.bottom());
    EXPECT_LE(pFrame->geometry().right(), rcArea.right());
}

TEST_F(AppTest, SizeChangeKeepsTheZoomAndTheMenuChecksWhatShows) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(61, 43)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_TRUE(Run(ID_VIEW_ZOOM_200));
    ASSERT_TRUE(Run(ID_IMAGE_ROTATE_CW));
    ExpectPainted(*pView, 2);
    for (const unsigned nID : {ID_VIEW_ZOOM_100, ID_VIEW_ZOOM_200}) {
        CCmdUI item(nID);
        Frame().Dispatcher().Update(item);
        EXPECT_EQ(item.Check().value_or(0), nID == ID_VIEW_ZOOM_200 ? 1 : 0) << nID;
    }
}

// Also run with QT_SCALE_FACTOR 1.5 and 2 (tests/app/CMakeLists.txt).
TEST_F(AppTest, ZoomPutsImagePixelsOnDevicePixelsAtEveryDeviceScale) {
    Start(kShownOptions);
    // Red and green say where a pixel is, blue is a one-pixel checkerboard.
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x, y, (x + y) % 2 != 0 ? 255 : 0));
    ASSERT_NE(NewDocument(image), nullptr);
    CTavixCaptureView* pView = ActiveView();
    QWidget* pPort = pView->viewport();
    const double dRatio = pPort->devicePixelRatioF();
    // The device pixel of the window under a point of the view, and what the window shows there.
    const auto device = [&](QPoint pt) {
        const QPointF ptDevice = QPointF(pPort->mapTo(pPort->window(), pt)) * dRatio;
        return QPoint(int(std::floor(ptDevice.x() + 1e-6)), int(std::floor(ptDevice.y() + 1e-6)));
    };
    // The whole window drawn as on the screen, device pixel by device pixel.
    const auto shown = [&] {
        ProcessEvents();
        return pPort->window()->grab().toImage();
    };
    const auto imagePointAt = [](const QImage& shot, QPoint ptDevice) {
        const QRgb rgb = shot.pixel(ptDevice);
        return QPoint(qRed(rgb), qGreen(rgb));
    };
    for (const int nZoom : {1, 2}) {
        ASSERT_TRUE(Run(nZoom == 1 ? ID_VIEW_ZOOM_100 : ID_VIEW_ZOOM_200));
        pView->ScrollToPosition(QPoint(0, 0));
        const QImage shot = shown();
        // From the first black pixel (image pixel 0, 0) on, each image pixel is nZoom x nZoom
        // device pixels.
        const QRect rcPort(device(QPoint(0, 0)),
                           device(QPoint(pPort->width(), pPort->height())) - QPoint(1, 1));
        QPoint ptFirst(-1, -1);
        for (int i = 0; ptFirst.x() < 0 && i < rcPort.width() * rcPort.height(); ++i) {
            const QPoint pt = rcPort.topLeft() + QPoint(i % rcPort.width(), i / rcPort.width());
            if (shot.pixel(pt) == qRgb(0, 0, 0))
                ptFirst = pt;
        }
        ASSERT_GE(ptFirst.x(), 0);
        const QRect rcShown = rcPort & QRect(ptFirst, image.size() * nZoom);
        int nErrors = 0;
        for (int y = rcShown.top(); y <= rcShown.bottom(); ++y)
            for (int x = rcShown.left(); x <= rcShown.right(); ++x)
                nErrors += shot.pixel(x, y) !=
                           image.pixel((x - ptFirst.x()) / nZoom, (y - ptFirst.y()) / nZoom);
        EXPECT_EQ(nErrors, 0) << "zoom " << nZoom;
        // The pointer's pane and a rubber band name the pixels under the pointer (driven through
        // the window: a widget's mouse moves go through the cursor, in whole device pixels).
        const QPoint ptA = pView->ImageToView(QPoint(7, 5)) + QPoint(1, 1);
        const QPoint ptB = pView->ImageToView(QPoint(40, 30)) + QPoint(1, 1);
        QWindow* pWindow = pPort->window()->windowHandle();
        QTest::mouseMove(pWindow, pPort->mapTo(pPort->window(), ptA));
        EXPECT_EQ(Frame().Panes().PaneText(1),
                  CTavixCaptureView::MousePositionText(imagePointAt(shot, device(ptA))));
        ASSERT_TRUE(Run(ID_VIEW_SELECT_REGION));
        QTest::mousePress(pWindow, Qt::LeftButton, {}, pPort->mapTo(pPort->window(), ptA));
        QTest::mouseMove(pWindow, pPort->mapTo(pPort->window(), ptB));
        QTest::mouseRelease(pWindow, Qt::LeftButton, {}, pPort->mapTo(pPort->window(), ptB));
        EXPECT_EQ(pView->Selection(),
                  QRect(imagePointAt(shot, device(ptA)), imagePointAt(shot, device(ptB)))
                      .adjusted(0, 0, -1, -1));
        ASSERT_TRUE(Run(ID_VIEW_SELECT_REGION));
    }
    // At 400 % scrolled to the end, the last image row shows in the window's last device row.
    ASSERT_TRUE(Run(ID_VIEW_ZOOM_400));
    ASSERT_TRUE(pView->HasVerticalScroll());
    pView->ScrollToPosition(QPoint(0, 100000));
    const QPoint ptLast = device(QPoint(pPort->width() / 2, pPort->height())) - QPoint(0, 1);
    EXPECT_EQ(imagePointAt(shown(), ptLast).y(), 255);
}

TEST_F(AppTest, TransparentPixelsShowOverACheckerboardThatStaysOnTheScreen) {
    Start(kShownOptions);
    QImage image(500, 300, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(200, 40, x & 0xFF, (x + 3 * y) % 256));
    const auto path = Root() / "alpha.png";
    ASSERT_TRUE(image.save(QString::fromStdString(path.string())));
    ASSERT_NE(Open(path), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_TRUE(Run(ID_VIEW_ZOOM_200));
    pView->ScrollToPosition(QPoint(13, 7));
    QWidget* pPort = pView->viewport();
    const auto expectComposited = [&](const char* pszWhen) {
        ProcessEvents();
        const QPoint ptOrigin = pPort->mapTo(pView->window(), QPoint(0, 0));
        const QImage shot = QGuiApplication::primaryScreen()
                                ->grabWindow(pView->window()->winId(), ptOrigin.x(), ptOrigin.y(),
                                             pPort->width(), pPort->height())
                                .toImage();
        int nErrors = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                // The image's colour over the square's grey, as much as its alpha says.
                const QRgb src = image.pixel(pView->ViewToImage(QPoint(x, y)));
                const int nGrey = (x / 8 + y / 8) % 2 != 0 ? 0x99 : 0xCC;
                const auto over = [&](int c) {
                    return (c * qAlpha(src) + nGrey * (255 - qAlpha(src))) / 255;
                };
                const QRgb got = shot.pixel(x, y);
                nErrors += std::abs(qRed(got) - over(qRed(src))) > 2 ||
                           std::abs(qBlue(got) - over(qBlue(src))) > 2;
            }
        }
        EXPECT_EQ(nErrors, 0) << pszWhen;
    };
    expectComposited("scrolled");
    pView->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    expectComposited("a line further");
}

TEST_F(AppTest, CtrlWheelZoomsAtThePointerKeysStepAndFitShowsTheWholeImage) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(1200, 1000)), nullptr);
    CTavixCaptureView* pView = ActiveView();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().activateWindow();
    pView->setFocus();
    const QPoint pt = pView->ImageToView(QPoint(150, 100));
    QWheelEvent wheel(pt, pView->viewport()->mapToGlobal(pt), {}, {0, 120}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pView->viewport(), &wheel);
    EXPECT_DOUBLE_EQ(pView->Scale(), 2.0);
    EXPECT_EQ(pView->ViewToImage(pt), QPoint(150, 100));
    // Ctrl+plus, Ctrl+= (no plus key), Ctrl+minus, Ctrl+0; 400 % is the end.
    const std::pair<Qt::Key, double> keys[] = {
        {Qt::Key_Plus, 4.0}, {Qt::Key_Equal, 4.0}, {Qt::Key_Minus, 2.0}, {Qt::Key_0, 1.0}};
    for (const auto& [key, dScale] : keys) {
        QTest::keyClick(pView, key, Qt::ControlModifier);
        EXPECT_DOUBLE_EQ(pView->Scale(), dScale) << key;
    }
    ASSERT_TRUE(Run(ID_VIEW_ZOOM_FIT));
    EXPECT_FALSE(pView->HasHorizontalScroll() || pView->HasVerticalScroll());
    const QSize shown = pView->ImageRectInView().size();
    EXPECT_TRUE(shown.width() >= pView->viewport()->width() - 1 ||
                shown.height() >= pView->viewport()->height() - 1);
    // A small image stops at 400 %.
    ASSERT_NE(Open(WritePng(12, 9, QStringLiteral("small.png"))), nullptr);
    ASSERT_TRUE(Run(ID_VIEW_ZOOM_FIT));
    EXPECT_DOUBLE_EQ(ActiveView()->Scale(), 4.0);
}

TEST_F(AppTest, SwitchingWindowsShowsTheNewViewsPointerPositionAtOnce) {
    Start(kShownOptions); // image windows maximised: both under the pointer
    ASSERT_NE(Open(WritePng(40, 30)), nullptr);
    CTavixCaptureView* pFirst = ActiveView();
    ASSERT_NE(Open(WritePng(90, 70, QStringLiteral("second.png"))), nullptr);
    CTavixCaptureView* pSecond = ActiveView();
    const QPoint ptGlobal = pSecond->viewport()->mapToGlobal(pSecond->ImageToView({5, 6}));
    QCursor::setPos(ptGlobal);
    ASSERT_TRUE(WaitUntil([&] { return Frame().Panes().PaneText(1).endsWith("(5,6)"); }));
    ASSERT_TRUE(Run(ID_WINDOW_NEXT));
    ASSERT_EQ(ActiveView(), pFirst);
    const QPoint ptFirst = pFirst->viewport()->mapFromGlobal(ptGlobal);
    ASSERT_TRUE(pFirst->viewport()->rect().contains(ptFirst));
    EXPECT_EQ(Frame().Panes().PaneText(1),
              CTavixCaptureView::MousePositionText(pFirst->ViewToImage(ptFirst)));
    // A pointer elsewhere shows nothing.
    QCursor::setPos(Frame().mapToGlobal(QPoint(-50, -50)));
    ASSERT_TRUE(Run(ID_WINDOW_NEXT));
    EXPECT_EQ(Frame().Panes().PaneText(1), QString());
}
