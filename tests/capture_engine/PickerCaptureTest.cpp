// SPDX-License-Identifier: MIT
// Picker actions driven like a user would: XTest pointer motion and clicks over the frozen
// screen, the overlay's feedback, the transparency fill of shaped regions, Escape.
#include "EngineFixture.h"

#include "capture/engine/CaptureOverlay.h"
#include "framework/CommandIds.h"

#include <QImage>

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

using capture::Point;
using capture::Rect;
using capturetest::CTestWindow;

namespace {

constexpr std::uint32_t kMagenta = 0x00FF00FF; // 0x00BBGGRR
const RGBQuad kMagentaPixel{255, 0, 255, 0};

RGBQuad Inverted(RGBQuad q) { return RGBQuad{std::uint8_t(255 - q.blue), std::uint8_t(255 - q.green), std::uint8_t(255 - q.red), 0}; }

RGBQuad OverlayPixel(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return RGBQuad{std::uint8_t(qBlue(rgb)), std::uint8_t(qGreen(rgb)), std::uint8_t(qRed(rgb)), 0};
}

RGBQuad Pattern(int x, int y, int seed) { return capturetest::ScreenPixel(capturetest::PatternPixel(x, y, seed), 24); }

} // namespace

TEST_F(CEngineTest, RectanglePickedWithTwoClicksOverTheFrozenScreen) {
    CTestWindow window(m_peer, {.rc = {100, 80, 500, 380}, .seed = 3, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_RECTANGLE));
    ASSERT_TRUE(WaitPicking());
    EXPECT_FALSE(m_host.m_main.isVisible());
    ASSERT_TRUE(PumpUntil([&] { return m_pEngine->Overlay()->isVisible(); }));
    ClickAt(150, 120);
    MoveAndWait(250, 170);
    // The overlay shows the frozen screen with the region inverted and the size beside the pointer.
    const QImage shown = m_pEngine->Overlay()->Render();
    EXPECT_EQ(OverlayPixel(shown, 200, 150), Inverted(Pattern(100, 70, 3)));
    EXPECT_EQ(OverlayPixel(shown, 120, 300), Pattern(20, 220, 3)) << "outside the region";
    const capture::PickerFeedback feedback = m_pEngine->Overlay()->Feedback();
    EXPECT_TRUE(feedback.bTipVisible);
    EXPECT_EQ(feedback.strTipText, CTrackerTip::SizeText(100, 50));
    EXPECT_EQ(OverlayPixel(shown, feedback.rcTip.left + 1, feedback.rcTip.top + 1), (RGBQuad{0, 0, 0, 0})) << "black box";

    // The window changes after the freeze: the capture still shows the frozen screen.
    CTestWindow cover(m_peer, {.rc = {140, 110, 260, 180}, .seed = 9, .bOverrideRedirect = true});
    m_pClient->Click(1);
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& b = LastCapture();
    EXPECT_EQ(b.Width(), 100);
    EXPECT_EQ(b.Height(), 50);
    EXPECT_EQ(PatternMismatches(b, {0, 0, 100, 50}, {-50, -40}, 3), 0);
    EXPECT_FALSE(m_pEngine->Overlay()->isVisible());
    EXPECT_TRUE(PumpUntil([&] { return m_host.m_main.isVisible(); }));
}

TEST_F(CEngineTest, EllipseKeepsTheInscribedEllipseAndFillsTheRest) {
    m_host.m_settings.m_crTransparency = kMagenta;
    CTestWindow window(m_peer, {.rc = {0, 0, 600, 500}, .seed = 4, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    m_pClient->Chord({XK_Control_L, XK_Alt_L, XK_e}); // entry 6: ellipse
    ASSERT_TRUE(WaitPicking());
    ClickAt(300, 250); // anchor, then drag up and to the left
    MoveAndWait(100, 150);
    m_pClient->Click(1);
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& b = LastCapture();
    ASSERT_EQ(b.Width(), 200);
    ASSERT_EQ(b.Height(), 100);
    for (Point corner : {Point{0, 0}, Point{199, 0}, Point{0, 99}, Point{199, 99}, Point{10, 10}})
        EXPECT_EQ(PixelAt(b, corner.x, corner.y), kMagentaPixel) << corner.x << "," << corner.y;
    for (Point in : {Point{100, 50}, Point{5, 50}, Point{100, 2}, Point{194, 50}})
        EXPECT_EQ(PixelAt(b, in.x, in.y), Pattern(100 + in.x, 150 + in.y, 4)) << in.x << "," << in.y;
}

TEST_F(CEngineTest, PolygonOfClickedVerticesFinishedByADoubleClick) {
    m_host.m_settings.m_crTransparency = kMagenta;
    CTestWindow window(m_peer, {.rc = {0, 0, 700, 600}, .seed = 7, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_POLYGON));
    ASSERT_TRUE(WaitPicking());
    ClickAt(100, 100);
    PumpFor(350); // single presses, not a double press
    ClickAt(400, 100);
    PumpFor(350);
    ClickAt(250, 400);
    MoveAndWait(250, 400);
    m_pClient->Click(1); // the second press within 280 ms finishes
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& b = LastCapture();
    ASSERT_EQ(b.Width(), 300);
    ASSERT_EQ(b.Height(), 300);
    EXPECT_EQ(PixelAt(b, 150, 100), Pattern(250, 200, 7)) << "inside the triangle";
    EXPECT_EQ(PixelAt(b, 5, 290), kMagentaPixel) << "below the left edge";
    EXPECT_EQ(PixelAt(b, 295, 290), kMagentaPixel) << "below the right edge";
}

TEST_F(CEngineTest, PolygonOfOnePointIsAllTransparencyAndOfTwoPointsAnEllipse) {
    m_host.m_settings.m_crTransparency = kMagenta;
    CTestWindow window(m_peer, {.rc = {0, 0, 700, 600}, .seed = 8, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_POLYGON));
    ASSERT_TRUE(WaitPicking());
    ClickAt(100, 100);
    PumpFor(350);
    ClickAt(160, 140);     // the second vertex
    m_pClient->Click(1);   // pressed again at once: the same point adds nothing and finishes
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& two = LastCapture();
    ASSERT_EQ(two.Width(), 60);
    ASSERT_EQ(two.Height(), 40);
    EXPECT_EQ(PixelAt(two, 0, 0), kMagentaPixel);
    EXPECT_EQ(PixelAt(two, 30, 20), Pattern(130, 120, 8)) << "two vertices: the ellipse of their box";

    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_POLYGON));
    ASSERT_TRUE(WaitPicking());
    ClickAt(200, 200);
    // Pressed again on the vertex (nothing added) and dragged: the rubber band gives the one
    // vertex an extent, and the second release within 280 ms finishes.
    m_pClient->ButtonDown(1);
    m_pClient->MoveTo(240, 230);
    m_pClient->ButtonUp(1);
    ASSERT_TRUE(WaitForOutcome(1));
    const CImageBitmap& one = LastCapture();
    ASSERT_EQ(one.Width(), 40);
    ASSERT_EQ(one.Height(), 30);
    int nOther = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            nOther += PixelAt(one, x, y) != kMagentaPixel;
    EXPECT_EQ(nOther, 0) << "one vertex: nothing of the screen";
}

TEST_F(CEngineTest, SingleWindowPickerTakesTheFramedWindowUnderThePointer) {
    CTestWindow window(m_peer, {.rc = {300, 200, 520, 360}, .seed = 10});
    ASSERT_TRUE(window.WaitMapped(true));
    const Rect rcFrame = FrameOf(window.Id());
    const Rect rcClient = ClientRectOf(window.Id());
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_SINGLE_WINDOW));
    ASSERT_TRUE(WaitPicking());
    MoveAndWait(20, 20);
    MoveAndWait(rcClient.left + 50, rcClient.top + 50);
    const capture::PickerFeedback feedback = m_pEngine->Overlay()->Feedback();
    EXPECT_EQ(feedback.inverted, capture::FeedbackShape::Rectangle);
    EXPECT_EQ(feedback.rcInverted, rcFrame);
    m_pClient->Click(1);
    ASSERT_TRUE(WaitForOutcome(0));
    EXPECT_EQ(LastCapture().Width(), rcFrame.Width());
    EXPECT_EQ(LastCapture().Height(), rcFrame.Height());
    const Point inside = rcClient.TopLeft() - rcFrame.TopLeft();
    EXPECT_EQ(PatternMismatches(LastCapture(), Rect::FromSize(inside.x, inside.y, 220, 160), inside, 10), 0);
}

TEST_F(CEngineTest, IconSizedSquareEndsAtThePointer) {
    CTestWindow window(m_peer, {.rc = {0, 0, 400, 400}, .seed = 11, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_ICON));
    ASSERT_TRUE(WaitPicking());
    ClickAt(200, 150);
    ASSERT_TRUE(WaitForOutcome(0));
    EXPECT_EQ(LastCapture().Width(), 32);
    EXPECT_EQ(LastCapture().Height(), 32);
    EXPECT_EQ(PatternMismatches(LastCapture(), {0, 0, 32, 32}, {-168, -118}, 11), 0);
}

TEST_F(CEngineTest, EscapeCancelsAndArrowsNudgeThePointer) {
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_TRIANGLE));
    ASSERT_TRUE(WaitPicking());
    ClickAt(300, 300);
    m_pClient->Tap(XK_Right);
    m_pClient->Tap(XK_Down);
    m_pClient->Sync();
    EXPECT_TRUE(PumpUntil([&] { return m_pEngine->PointerSeen() == Point{301, 301}; }));
    EXPECT_EQ(m_pClient->PointerPosition(), std::make_pair(301, 301));
    // Shift hides the info box, and brings it back.
    ASSERT_TRUE(m_pEngine->Overlay()->Feedback().bTipVisible);
    m_pClient->Tap(XK_Shift_L);
    EXPECT_TRUE(PumpUntil([&] { return !m_pEngine->Overlay()->Feedback().bTipVisible; }));
    m_pClient->Tap(XK_Shift_L);
    EXPECT_TRUE(PumpUntil([&] { return m_pEngine->Overlay()->Feedback().bTipVisible; }));

    m_pClient->Tap(XK_Escape);
    EXPECT_FALSE(WaitForOutcome(0));
    EXPECT_FALSE(m_pEngine->IsBusy());
    EXPECT_FALSE(m_pEngine->Overlay()->isVisible());
    EXPECT_TRUE(PumpUntil([&] { return m_host.m_main.isVisible(); }));
    // The pointer and the keyboard are free again for other programs.
    EXPECT_EQ(m_pClient->GrabPointer(), XCB_GRAB_STATUS_SUCCESS);
    m_pClient->UngrabPointer();
    EXPECT_EQ(m_pClient->GrabKeyboard(), XCB_GRAB_STATUS_SUCCESS);
    m_pClient->UngrabKeyboard();
    EXPECT_TRUE(m_host.m_delivered.empty());
}

TEST_F(CEngineTest, SquareDraggedUpAndLeftEndsAtTheAnchor) {
    CTestWindow window(m_peer, {.rc = {0, 0, 500, 500}, .seed = 12, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_SQUARE));
    ASSERT_TRUE(WaitPicking());
    ClickAt(300, 300);
    MoveAndWait(220, 250);
    EXPECT_EQ(m_pEngine->Overlay()->Feedback().rcFocus, (Rect{250, 250, 300, 300}));
    m_pClient->Click(1);
    ASSERT_TRUE(WaitForOutcome(0));
    ASSERT_EQ(LastCapture().Width(), 50);
    ASSERT_EQ(LastCapture().Height(), 50);
    EXPECT_EQ(PatternMismatches(LastCapture(), {0, 0, 50, 50}, {-250, -250}, 12), 0);
}

TEST_F(CEngineTest, ControlPickerTakesTheChildWindowUnderThePointer) {
    CTestWindow top(m_peer, {.rc = {200, 200, 500, 450}, .seed = 13});
    ASSERT_TRUE(top.WaitMapped(true));
    CTestWindow child(m_peer, {.rc = {20, 30, 140, 110}, .seed = 14, .parent = top.Id()});
    ASSERT_TRUE(child.WaitMapped(false));
    const Rect rcChild = ClientRectOf(child.Id());
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_CONTROL));
    ASSERT_TRUE(WaitPicking());
    ClickAt(rcChild.left + 10, rcChild.top + 10);
    ASSERT_TRUE(WaitForOutcome(0));
    ASSERT_EQ(LastCapture().Width(), 120);
    ASSERT_EQ(LastCapture().Height(), 80);
    EXPECT_EQ(PatternMismatches(LastCapture(), {0, 0, 120, 80}, {0, 0}, 14), 0);
}
