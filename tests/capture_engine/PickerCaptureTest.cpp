// SPDX-License-Identifier: MIT
// Picker actions driven like a user would: XTest pointer motion and clicks over the frozen
// screen, the overlay's feedback, the transparency fill of shaped regions, Escape.
#include "EngineFixture.h"

#include "capture/engine/CaptureOverlay.h"
#include "framework/CommandIds.h"
#include "framework/StringTable.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

using capture::Point;
using capture::Rect;
using capturetest::CTestWindow;

namespace {

constexpr std::uint32_t kMagenta = 0x00FF00FF; // 0x00BBGGRR
const RGBQuad kMagentaPixel{255, 0, 255, 0};

RGBQuad Inverted(RGBQuad q) {
    return RGBQuad{std::uint8_t(255 - q.blue), std::uint8_t(255 - q.green),
                   std::uint8_t(255 - q.red), 0};
}

RGBQuad OverlayPixel(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return RGBQuad{std::uint8_t(qBlue(rgb)), std::uint8_t(qGreen(rgb)), std::uint8_t(qRed(rgb)), 0};
}

RGBQuad Pattern(int x, int y, int seed) {
    return capturetest::ScreenPixel(capturetest::PatternPixel(x, y, seed), 24);
}

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
    EXPECT_EQ(OverlayPixel(shown, feedback.rcTip.left + 1, feedback.rcTip.top + 1),
              (RGBQuad{0, 0, 0, 0}))
        << "black box";

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
        EXPECT_EQ(PixelAt(b, in.x, in.y), Pattern(100 + in.x, 150 + in.y, 4))
            << in.x << "," << in.y;
}

TEST_F(CEngineTest, PolygonOfClickedVerticesFinishedByADoubleClick) {
    m_host.m_settings.m_crTransparency = kMagenta;
    CTestWindow window(m_peer, {.rc = {0, 0, 700, 600}, .seed = 7, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_POLYGON));
    ASSERT_TRUE(WaitPicking());
    ClickAt(100, 100);
    // The picker tells a double press by the server's timestamps, which only wall time moves
    // past the 280 ms: single presses need the time to pass.
    PumpFor(350);
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
    PumpFor(350);        // a single press: server timestamps past the double-press time
    ClickAt(160, 140);   // the second vertex
    m_pClient->Click(1); // pressed again at once: the same point adds nothing and finishes
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& two = LastCapture();
    ASSERT_EQ(two.Width(), 60);
    ASSERT_EQ(two.Height(), 40);
    EXPECT_EQ(PixelAt(two, 0, 0), kMagentaPixel);
    EXPECT_EQ(PixelAt(two, 30, 20), Pattern(130, 120, 8))
        << "two vertices: the ellipse of their box";

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
    EXPECT_EQ(
        PatternMismatches(LastCapture(), Rect::FromSize(inside.x, inside.y, 220, 160), inside, 10),
        0);
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

TEST_F(CEngineTest, PickerWhileAnotherProgramHoldsThePointerSaysSo) {
    ASSERT_EQ(m_pClient->GrabPointer(), XCB_GRAB_STATUS_SUCCESS); // as an open menu elsewhere does
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_RECTANGLE));
    EXPECT_TRUE(PumpUntil([&] { return !m_pEngine->IsBusy(); }));
    m_pClient->UngrabPointer();
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText, LoadString(IDS_POINTER_BUSY));
    EXPECT_FALSE(m_pEngine->Overlay()->isVisible());
    EXPECT_TRUE(PumpUntil([&] { return m_host.m_main.isVisible(); }));
    EXPECT_TRUE(m_host.m_delivered.empty());
    // Once the other program lets go, the same command picks as usual.
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_RECTANGLE));
    ASSERT_TRUE(WaitPicking());
    m_pClient->Tap(XK_Escape);
    EXPECT_TRUE(PumpUntil([&] { return !m_pEngine->IsBusy(); }));
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

namespace {

// Where a pixel centre lies against a shape's outline: well inside, well outside, or within a
// pixel of it, where rounding may go either way.
enum class Side { Inside, Outside, Edge };

// The circle (or ellipse) inscribed in the w x h box, tested at pixel centres.
Side EllipseSide(int x, int y, int w, int h) {
    const double rx = w / 2.0, ry = h / 2.0;
    const double dx = (x + 0.5 - rx) / rx, dy = (y + 0.5 - ry) / ry;
    const double r = std::sqrt(dx * dx + dy * dy); // 1 on the outline
    const double margin = 1.5 / std::min(rx, ry);
    return r < 1 - margin ? Side::Inside : r > 1 + margin ? Side::Outside : Side::Edge;
}

// A convex polygon, tested at pixel centres by the signed distance to each edge.
Side ConvexSide(int x, int y, const std::vector<Point>& v) {
    double cx = 0, cy = 0;
    for (Point p : v) {
        cx += p.x;
        cy += p.y;
    }
    cx /= double(v.size());
    cy /= double(v.size());
    double nearest = 1e9;
    bool bInside = true;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const Point a = v[i], b = v[(i + 1) % v.size()];
        const double ex = b.x - a.x, ey = b.y - a.y, len = std::hypot(ex, ey);
        auto side = [&](double px, double py) { return (ex * (py - a.y) - ey * (px - a.x)) / len; };
        const double inward = side(cx, cy) > 0 ? 1 : -1;
        const double d = inward * side(x + 0.5, y + 0.5);
        bInside = bInside && d > 0;
        nearest = std::min(nearest, std::abs(d));
    }
    return nearest < 1.5 ? Side::Edge : bInside ? Side::Inside : Side::Outside;
}

struct ShapeCount {
    int nInside = 0, nOutside = 0, nWrong = 0;
};

// Checks every pixel of a shaped capture: the screen's pattern inside, the fill outside.
ShapeCount CheckShape(const CImageBitmap& b, const std::function<Side(int, int)>& sideOf,
                      Point screenAt, int seed, RGBQuad fill) {
    ShapeCount n;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const Side side = sideOf(x, y);
            const RGBQuad got = PixelAt(b, x, y);
            const RGBQuad screen = Pattern(screenAt.x + x, screenAt.y + y, seed);
            bool bRight = true;
            if (side == Side::Inside) {
                ++n.nInside;
                bRight = got == screen;
            } else if (side == Side::Outside) {
                ++n.nOutside;
                bRight = got == fill;
            } else {
                bRight = got == fill || got == screen;
            }
            if (!bRight && ++n.nWrong <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    return n;
}

} // namespace

TEST_F(CEngineTest, CircleFromItsHotkeyIsTheInscribedCircleOfTheSmallerSide) {
    // A colour whose red and blue differ: "ColorTransparency" is 0x00BBGGRR.
    m_host.m_settings.m_crTransparency = 0x00204080;
    const RGBQuad fill{0x20, 0x40, 0x80, 0};
    CTestWindow window(m_peer, {.rc = {0, 0, 700, 600}, .seed = 20, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    m_pClient->Chord({XK_Control_L, XK_Shift_L, XK_c}); // entry 5: circle
    ASSERT_TRUE(WaitPicking());
    ClickAt(400, 300);
    // Up and left, further across than down: the side is the smaller distance and the circle's
    // box ends at the anchor.
    MoveAndWait(250, 180);
    const capture::PickerFeedback feedback = m_pEngine->Overlay()->Feedback();
    EXPECT_EQ(feedback.rcFocus, (Rect{280, 180, 400, 300}));
    EXPECT_EQ(feedback.inverted, capture::FeedbackShape::Ellipse);
    EXPECT_EQ(feedback.rcInverted, (Rect{280, 180, 400, 300}));
    EXPECT_EQ(feedback.strTipText, CTrackerTip::SizeText(120, 120));
    // The overlay inverts the circle only.
    const QImage shown = m_pEngine->Overlay()->Render();
    EXPECT_EQ(OverlayPixel(shown, 340, 240), Inverted(Pattern(340, 240, 20))) << "centre";
    EXPECT_EQ(OverlayPixel(shown, 282, 297), Pattern(282, 297, 20)) << "corner of the box";

    m_pClient->Click(1);
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& b = LastCapture();
    ASSERT_EQ(b.Width(), 120);
    ASSERT_EQ(b.Height(), 120);
    const ShapeCount n = CheckShape(
        b, [](int x, int y) { return EllipseSide(x, y, 120, 120); }, {280, 180}, 20, fill);
    EXPECT_EQ(n.nWrong, 0);
    // pi/4 of the box is the circle.
    // Well inside or outside, with a band of about 3 pixels around the outline left out.
    EXPECT_GT(n.nInside, 10000); // the circle is pi/4 of the box: 11310 pixels
    EXPECT_GT(n.nOutside, 2000); // 3090 around it
    EXPECT_EQ(PixelAt(b, 0, 60), Pattern(280, 240, 20)) << "the circle touches the box's left side";
    EXPECT_EQ(PixelAt(b, 1, 1), fill);
}

TEST_F(CEngineTest, TriangleMovedWithTheRightButtonKeepsItsThreePoints) {
    m_host.m_settings.m_crTransparency = 0x00112233;
    const RGBQuad fill{0x11, 0x22, 0x33, 0};
    CTestWindow window(m_peer, {.rc = {0, 0, 700, 600}, .seed = 21, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_TRIANGLE));
    ASSERT_TRUE(WaitPicking());
    ClickAt(100, 400);
    MoveAndWait(301, 250);
    capture::PickerFeedback feedback = m_pEngine->Overlay()->Feedback();
    EXPECT_EQ(feedback.rcFocus, (Rect{100, 250, 301, 400}));
    EXPECT_EQ(feedback.inverted, capture::FeedbackShape::Polygon);
    EXPECT_EQ(feedback.polygon, (std::vector<Point>{{100, 400}, {301, 400}, {200, 250}}));
    // The right button switches to moving: the triangle follows the pointer whole.
    m_pClient->Click(3);
    MoveAndWait(351, 300);
    feedback = m_pEngine->Overlay()->Feedback();
    EXPECT_EQ(feedback.rcFocus, (Rect{150, 300, 351, 450}));
    EXPECT_EQ(feedback.polygon, (std::vector<Point>{{150, 450}, {351, 450}, {250, 300}}));
    const QImage shown = m_pEngine->Overlay()->Render();
    EXPECT_EQ(OverlayPixel(shown, 250, 420), Inverted(Pattern(250, 420, 21))) << "inside";
    EXPECT_EQ(OverlayPixel(shown, 160, 310), Pattern(160, 310, 21)) << "top-left corner of the box";

    m_pClient->Click(1);
    ASSERT_TRUE(WaitForOutcome(0));
    const CImageBitmap& b = LastCapture();
    ASSERT_EQ(b.Width(), 201);
    ASSERT_EQ(b.Height(), 150);
    const std::vector<Point> triangle{{0, 150}, {201, 150}, {100, 0}};
    const ShapeCount n = CheckShape(
        b, [&](int x, int y) { return ConvexSide(x, y, triangle); }, {150, 300}, 21, fill);
    EXPECT_EQ(n.nWrong, 0);
    EXPECT_GT(n.nInside, 14000); // half the box, 15075, less the band along the outline
    EXPECT_GT(n.nOutside, 14000);
    EXPECT_EQ(PixelAt(b, 0, 0), fill);
    EXPECT_EQ(PixelAt(b, 200, 0), fill);
    EXPECT_EQ(PixelAt(b, 100, 149), Pattern(250, 449, 21)) << "the base is the box's bottom row";
}

TEST_F(CEngineTest, PressDragReleaseFinishesRectangleAndCircleAtTheRelease) {
    m_host.m_settings.m_crTransparency = kMagenta;
    CTestWindow window(m_peer, {.rc = {0, 0, 600, 500}, .seed = 13, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_RECTANGLE));
    ASSERT_TRUE(WaitPicking());
    MoveAndWait(150, 120);
    m_pClient->ButtonDown(1);
    MoveAndWait(200, 140);
    m_pClient->MoveTo(250, 170);
    m_pClient->ButtonUp(1);
    m_pClient->Sync();
    ASSERT_TRUE(WaitForOutcome(0));
    ASSERT_EQ(LastCapture().Width(), 100);
    ASSERT_EQ(LastCapture().Height(), 50);
    EXPECT_EQ(PatternMismatches(LastCapture(), {0, 0, 100, 50}, {-150, -120}, 13), 0);

    // Up and to the left, the circle's box ends at the press.
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_CIRCLE));
    ASSERT_TRUE(WaitPicking());
    MoveAndWait(300, 300);
    m_pClient->ButtonDown(1);
    MoveAndWait(260, 240);
    m_pClient->MoveTo(220, 250);
    m_pClient->ButtonUp(1);
    m_pClient->Sync();
    ASSERT_TRUE(WaitForOutcome(1));
    const CImageBitmap& b = LastCapture();
    ASSERT_EQ(b.Width(), 50);
    ASSERT_EQ(b.Height(), 50);
    EXPECT_EQ(PixelAt(b, 0, 0), kMagentaPixel);
    EXPECT_EQ(PixelAt(b, 25, 25), Pattern(275, 275, 13));
}

TEST_F(CEngineTest, ClickWithALittleJitterKeepsClickMoveClick) {
    CTestWindow window(m_peer, {.rc = {0, 0, 500, 400}, .seed = 14, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_ELLIPSE));
    ASSERT_TRUE(WaitPicking());
    MoveAndWait(100, 100);
    m_pClient->ButtonDown(1);
    m_pClient->MoveTo(102, 101);
    m_pClient->ButtonUp(1);
    // Seen after the release: the release has been handled and picking goes on.
    MoveAndWait(180, 160);
    ASSERT_EQ(m_pEngine->State(), CCaptureEngine::EState::Picking);
    EXPECT_EQ(m_pEngine->Overlay()->Feedback().rcFocus, (Rect{100, 100, 180, 160}));
    m_pClient->Click(1);
    ASSERT_TRUE(WaitForOutcome(0));
    EXPECT_EQ(LastCapture().Width(), 80);
    EXPECT_EQ(LastCapture().Height(), 60);
}

TEST_F(CEngineTest, InfoBoxUsesTheUiFontAndKeepsOffTheArea) {
    const QFont oldFont = QApplication::font();
    QFont uiFont(QStringLiteral("DejaVu Sans"));
    uiFont.setPixelSize(11);
    QApplication::setFont(uiFont);
    // The box is measured when the engine starts.
    m_pEngine.reset();
    m_pEngine = std::make_unique<CCaptureEngine>(m_host);
    const bool bStarted = m_pEngine->Initialize(EngineTestServer()->DisplayName().c_str());
    QApplication::setFont(oldFont);
    ASSERT_TRUE(bStarted);
    const QFontMetrics metrics(uiFont);
    const capture::Size box = m_pEngine->Tracker().Tip().BoxSize();
    EXPECT_EQ(
        box.cx,
        std::max(metrics.horizontalAdvance(QString::fromStdString(CTrackerTip::WidestSizeText())) +
                     8,
                 metrics.horizontalAdvance(QString::fromLatin1(CTrackerTip::kHintText)) + 1));
    EXPECT_EQ(box.cy, metrics.height() + 8);

    CTestWindow window(m_peer, {.rc = {0, 0, 700, 600}, .seed = 15, .bOverrideRedirect = true});
    ASSERT_TRUE(window.WaitMapped(false));
    ASSERT_TRUE(m_pEngine->StartCommand(ID_CAPTURE_RECTANGLE));
    ASSERT_TRUE(WaitPicking());
    ClickAt(600, 500);
    MoveAndWait(450, 400); // up and left: the area is where the box usually goes
    const capture::PickerFeedback feedback = m_pEngine->Overlay()->Feedback();
    ASSERT_TRUE(feedback.bTipVisible);
    EXPECT_TRUE(feedback.rcTip.Intersect(feedback.rcFocus).IsEmpty())
        << feedback.rcTip.left << "," << feedback.rcTip.top;
    // The area shows inverted right up to the pointer; the box is drawn beside it.
    const QImage shown = m_pEngine->Overlay()->Render();
    EXPECT_EQ(OverlayPixel(shown, 455, 405), Inverted(Pattern(455, 405, 15)));
    EXPECT_EQ(OverlayPixel(shown, feedback.rcTip.left + 1, feedback.rcTip.top + 1),
              (RGBQuad{0, 0, 0, 0}));
    m_pClient->Tap(XK_Escape);
    EXPECT_TRUE(PumpUntil([&] { return !m_pEngine->IsBusy(); }));
}
