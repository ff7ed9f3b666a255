// SPDX-License-Identifier: MIT
// The pickers driven by scripted hook messages: every picker, its keys and its feedback.
#include "capture/RegionTracker.h"

#include <gtest/gtest.h>

#include <algorithm>

using capture::CaptureMode;
using capture::FeedbackShape;
using capture::MouseInput;
using capture::MouseKind;
using capture::PickerAction;
using capture::PickerResponse;
using capture::Point;
using capture::Rect;
using capture::TrackerStep;

namespace {

// A desktop of known windows for the window pickers: top-level windows (top-most last) with
// child windows inside them.
class CScriptedDesktop : public IDesktopQueries {
public:
    struct Window {
        Rect rc;
        std::vector<Rect> children; // top-most last
    };
    std::vector<Window> windows;
    std::optional<Rect> active, activeClient, menu;

    std::optional<Rect> ControlRectAt(Point p) const override {
        for (auto w = windows.rbegin(); w != windows.rend(); ++w)
            if (w->rc.Contains(p)) {
                for (auto c = w->children.rbegin(); c != w->children.rend(); ++c)
                    if (c->Contains(p))
                        return *c;
                return std::nullopt;
            }
        return std::nullopt;
    }
    std::optional<Rect> WindowRectAt(Point p) const override {
        for (auto w = windows.rbegin(); w != windows.rend(); ++w)
            if (w->rc.Contains(p))
                return w->rc;
        return std::nullopt;
    }
    std::optional<Rect> ActiveWindowRect(bool bClient) const override {
        return bClient ? activeClient : active;
    }
    std::optional<Rect> PopupMenuRect() const override { return menu; }
    Rect DesktopRect() const override { return {0, 0, 1920, 1080}; }
    std::vector<Rect> MonitorRects() const override { return {DesktopRect()}; }
};

// Sends messages at increasing server times: presses 500 ms after the message before unless
// told otherwise, moves 10 ms.
class CPicker {
public:
    CRegionTracker tracker;
    std::uint32_t time = 100000;

    explicit CPicker(CaptureMode mode, const IDesktopQueries* q = nullptr) {
        tracker.SetDesktopQueries(q);
        tracker.Tip().Prepare({300, 14}, {320, 14});
        tracker.Tip().SetMonitors({{0, 0, 1920, 1080}});
        EXPECT_TRUE(tracker.Start(mode));
    }
    PickerResponse Send(MouseKind kind, Point p, std::uint32_t after = 500) {
        time += after;
        return tracker.OnMouse(MouseInput{kind, p, time});
    }
    PickerResponse Move(Point p) { return Send(MouseKind::Move, p, 10); }
    PickerResponse Left(Point p, std::uint32_t after = 500) {
        return Send(MouseKind::LeftDown, p, after);
    }
    PickerResponse LeftUp(Point p, std::uint32_t after = 500) {
        return Send(MouseKind::LeftUp, p, after);
    }
    PickerResponse Right(Point p) { return Send(MouseKind::RightDown, p); }
    // Drags a rectangle-type picker from a to b and clicks there.
    PickerResponse Drag(Point a, Point b) {
        Move(a);
        Left(a);
        Move(b);
        return Left(b);
    }
};

} // namespace

TEST(RegionTrackerStart, ModesStartAtTheirFirstStep) {
    CRegionTracker t;
    const std::pair<CaptureMode, TrackerStep> table[] = {
        {CaptureMode::Rectangle, TrackerStep::Hover},
        {CaptureMode::Square, TrackerStep::Hover},
        {CaptureMode::Ellipse, TrackerStep::Hover},
        {CaptureMode::Circle, TrackerStep::Hover},
        {CaptureMode::Triangle, TrackerStep::Hover},
        {CaptureMode::Polygon, TrackerStep::Polygon},
        {CaptureMode::Control, TrackerStep::ControlHover},
        {CaptureMode::IconSized, TrackerStep::IconHover},
        {CaptureMode::SingleWindow, TrackerStep::WindowHover}};
    for (auto [mode, step] : table) {
        ASSERT_TRUE(t.Start(mode));
        EXPECT_EQ(t.Step(), step);
        EXPECT_EQ(t.Mode(), mode);
    }
    for (CaptureMode m : {CaptureMode::ActiveWindow, CaptureMode::ActiveWindowClient,
                          CaptureMode::PopupMenu, CaptureMode::Desktop, CaptureMode::None})
        EXPECT_FALSE(t.Start(m));
}

TEST(MouseKindFromMessage, ClientAndNonClientCodes) {
    using capture::MouseKindFromMessage;
    EXPECT_EQ(MouseKindFromMessage(0x200), MouseKind::Move);
    EXPECT_EQ(MouseKindFromMessage(0x201), MouseKind::LeftDown);
    EXPECT_EQ(MouseKindFromMessage(0x202), MouseKind::LeftUp);
    EXPECT_EQ(MouseKindFromMessage(0x203), MouseKind::LeftDown);
    EXPECT_EQ(MouseKindFromMessage(0x204), MouseKind::RightDown);
    EXPECT_EQ(MouseKindFromMessage(0xA0), MouseKind::Move);
    EXPECT_EQ(MouseKindFromMessage(0xA1), MouseKind::LeftDown);
    EXPECT_EQ(MouseKindFromMessage(0xA2), MouseKind::LeftUp);
    EXPECT_EQ(MouseKindFromMessage(0xA3), MouseKind::LeftDown);
    EXPECT_EQ(MouseKindFromMessage(0xA4), MouseKind::RightDown);
    EXPECT_EQ(MouseKindFromMessage(0x205), MouseKind::Other);
    EXPECT_EQ(MouseKindFromMessage(0x20A), MouseKind::Other);

    const MouseInput in = capture::MouseInputFromMessage(0x201, 0xFFF6'0064u, 77);
    EXPECT_EQ(in.kind, MouseKind::LeftDown);
    EXPECT_EQ(in.pt, (Point{100, -10})); // y above a monitor's top edge is negative
    EXPECT_EQ(in.time, 77u);
    EXPECT_EQ(capture::MouseInputFromMessage(0x200, 0x0064'FFFEu, 0).pt, (Point{-2, 100}));
}

TEST(RectanglePicker, HoverAnchorStretchFinish) {
    CPicker p(CaptureMode::Rectangle);
    p.Move({100, 100});
    auto f = p.tracker.Feedback();
    EXPECT_TRUE(f.bTipVisible);
    EXPECT_EQ(f.strTipText, CTrackerTip::kHintText);
    EXPECT_EQ(f.rcTip.TopLeft(), (Point{102, 102}));
    EXPECT_FALSE(f.bFocusRect);

    p.Left({100, 100});
    EXPECT_TRUE(p.tracker.IsAnchored());
    EXPECT_EQ(p.tracker.Step(), TrackerStep::Stretch);
    EXPECT_EQ(p.tracker.Anchor(), (Point{100, 100}));

    auto r = p.Move({160, 140});
    EXPECT_TRUE(r.bRedraw);
    EXPECT_EQ(p.tracker.CurrentRect(), (Rect{100, 100, 160, 140}));
    f = p.tracker.Feedback();
    EXPECT_TRUE(f.bFocusRect);
    EXPECT_EQ(f.rcFocus, (Rect{100, 100, 160, 140}));
    EXPECT_EQ(f.inverted, FeedbackShape::Rectangle);
    EXPECT_EQ(f.rcInverted, (Rect{100, 100, 160, 140}));
    EXPECT_EQ(f.strTipText, "Size [60,40] | [Right click to toggle between stretch and move]");

    r = p.Left({160, 140});
    EXPECT_EQ(r.action, PickerAction::Finish);
    EXPECT_EQ(p.tracker.Step(), TrackerStep::Finish);
    EXPECT_FALSE(p.tracker.IsAnchored());
    const auto region = p.tracker.Region();
    EXPECT_EQ(region.rc, (Rect{100, 100, 160, 140}));
    EXPECT_EQ(region.nShapePoints, 0);
    EXPECT_EQ(p.tracker.Feedback(), capture::PickerFeedback{}); // everything erased
    // Input after the finish changes nothing.
    EXPECT_EQ(p.Move({5, 5}).action, PickerAction::Continue);
    EXPECT_EQ(p.tracker.Region().rc, (Rect{100, 100, 160, 140}));
}

TEST(RectanglePicker, DraggingUpAndLeftNormalises) {
    CPicker p(CaptureMode::Rectangle);
    EXPECT_EQ(p.Drag({200, 150}, {120, 90}).action, PickerAction::Finish);
    EXPECT_EQ(p.tracker.Region().rc, (Rect{120, 90, 200, 150}));
}

TEST(RectanglePicker, RightClickBeforeAnchoringAnchorsLikeLeft) {
    CPicker p(CaptureMode::Rectangle);
    p.Right({40, 50});
    EXPECT_TRUE(p.tracker.IsAnchored());
    EXPECT_FALSE(p.tracker.IsMoveMode());
    p.Move({70, 90});
    EXPECT_EQ(p.tracker.CurrentRect(), (Rect{40, 50, 70, 90}));
}

TEST(RectanglePicker, RightClickTogglesMoveAndBack) {
    CPicker p(CaptureMode::Rectangle);
    p.Left({100, 100});
    p.Move({150, 130});
    p.Right({150, 130});
    EXPECT_TRUE(p.tracker.IsMoveMode());
    p.Move({170, 120}); // +20, -10
    EXPECT_EQ(p.tracker.Step(), TrackerStep::Move);
    EXPECT_EQ(p.tracker.CurrentRect(), (Rect{120, 90, 170, 120}));
    EXPECT_EQ(p.tracker.Anchor(), (Point{120, 90}));
    EXPECT_EQ(p.tracker.Feedback().strTipText, CTrackerTip::SizeText(50, 30));
    p.Right({170, 120});
    EXPECT_FALSE(p.tracker.IsMoveMode());
    p.Move({200, 200}); // stretch again from the moved anchor
    EXPECT_EQ(p.tracker.Step(), TrackerStep::Stretch);
    EXPECT_EQ(p.tracker.CurrentRect(), (Rect{120, 90, 200, 200}));
    // Finishing in move mode works the same.
    p.Right({200, 200});
    p.Move({210, 210});
    EXPECT_EQ(p.Left({210, 210}).action, PickerAction::Finish);
    EXPECT_EQ(p.tracker.Region().rc, (Rect{130, 100, 210, 210}));
}

TEST(RectanglePicker, SamePointTwiceRedrawsNothing) {
    CPicker p(CaptureMode::Rectangle);
    p.Left({10, 10});
    EXPECT_TRUE(p.Move({30, 30}).bRedraw);
    EXPECT_FALSE(p.Move({30, 30}).bRedraw);
}

TEST(RectanglePicker, ZeroSizeClickKeepsPicking) {
    CPicker p(CaptureMode::Rectangle);
    p.Left({10, 10});
    EXPECT_EQ(p.Left({10, 10}).action, PickerAction::Continue);
    EXPECT_EQ(p.Left({10, 40}).action, PickerAction::Continue); // a line has no area either
    p.Move({30, 40});
    EXPECT_EQ(p.Left({30, 40}).action, PickerAction::Finish);
    EXPECT_EQ(p.tracker.Region().rc, (Rect{10, 10, 30, 40}));
}

TEST(RectanglePicker, PressPositionCountsEvenWithoutAMoveBeforeIt) {
    CPicker p(CaptureMode::Rectangle);
    p.Left({10, 10});
    EXPECT_EQ(p.Left({50, 25}).action, PickerAction::Finish);
    EXPECT_EQ(p.tracker.Region().rc, (Rect{10, 10, 50, 25}));
}

TEST(RectTypePickers, PressDragReleaseFinishesAtTheRelease) {
    struct Case {
        CaptureMode mode;
        Rect rc;
        int nShapePoints;
    };
    // Pressed at (200, 150), released at (80, 90) without a move message in between (the hook
    // folds a fast drag's motion into the release).
    const Case cases[] = {{CaptureMode::Rectangle, {80, 90, 200, 150}, 0},
                          {CaptureMode::Square, {140, 90, 200, 150}, 0},
                          {CaptureMode::Circle, {140, 90, 200, 150}, 2},
                          {CaptureMode::Ellipse, {80, 90, 200, 150}, 2},
                          {CaptureMode::Triangle, {80, 90, 200, 150}, 3}};
    for (const Case& c : cases) {
        CPicker p(c.mode);
        p.Move({200, 150});
        EXPECT_EQ(p.Left({200, 150}, 10).action, PickerAction::Continue);
        p.Move({150, 120});
        EXPECT_EQ(p.tracker.Step(), TrackerStep::Stretch);
        const PickerResponse r = p.LeftUp({80, 90}, 10);
        EXPECT_EQ(r.action, PickerAction::Finish) << int(c.mode);
        EXPECT_EQ(p.tracker.Region().rc, c.rc) << int(c.mode);
        EXPECT_EQ(p.tracker.Region().nShapePoints, c.nShapePoints) << int(c.mode);
    }
}

TEST(RectTypePickers, ClickWithoutADragKeepsClickMoveClick) {
    for (CaptureMode mode : {CaptureMode::Rectangle, CaptureMode::Square, CaptureMode::Circle,
                             CaptureMode::Ellipse, CaptureMode::Triangle}) {
        CPicker p(mode);
        p.Left({100, 100});
        // A hand that shakes a little while clicking still clicks.
        EXPECT_EQ(p.LeftUp({104, 96}, 80).action, PickerAction::Continue) << int(mode);
        EXPECT_TRUE(p.tracker.IsAnchored());
        p.Move({160, 170});
        // The release of the finishing click comes after the finish and changes nothing.
        EXPECT_EQ(p.Left({160, 170}).action, PickerAction::Finish) << int(mode);
        EXPECT_EQ(p.LeftUp({200, 200}, 80).action, PickerAction::Continue);
        EXPECT_EQ(p.tracker.Region().rc.TopLeft(), (Point{100, 100})) << int(mode);
    }
    // Anchored with the right button, a left release is no drag's end.
    CPicker p(CaptureMode::Rectangle);
    p.Right({10, 10});
    p.Move({60, 60});
    EXPECT_EQ(p.LeftUp({60, 60}).action, PickerAction::Continue);
    // A drag whose release leaves no area (a square with no height) goes on as a click.
    CPicker flat(CaptureMode::Square);
    flat.Left({10, 10});
    EXPECT_EQ(flat.LeftUp({90, 10}, 50).action, PickerAction::Continue);
    flat.Move({40, 40});
    EXPECT_EQ(flat.Left({40, 40}).action, PickerAction::Finish);
    EXPECT_EQ(flat.tracker.Region().rc, (Rect{10, 10, 40, 40}));
}

TEST(RectTypePickers, InfoBoxKeepsOffTheAreaBeingPicked) {
    // Box 320+8 x 14+8 = 328 x 22 (CPicker's Prepare); the screen is 1920 x 1080.
    const auto overlaps = [](const Rect& a, const Rect& b) { return !a.Intersect(b).IsEmpty(); };
    // Dragged up and to the left: the area lies below and right of the pointer, where the box
    // would usually go.
    CPicker p(CaptureMode::Rectangle);
    p.Left({900, 700});
    p.Move({500, 400});
    capture::PickerFeedback f = p.tracker.Feedback();
    EXPECT_FALSE(overlaps(f.rcTip, f.rcFocus)) << f.rcTip.left << "," << f.rcTip.top;
    EXPECT_EQ(f.rcTip.TopLeft(), (Point{500 - 2 - 328, 402})) << "left of the pointer";
    // Near the left edge as well: above the pointer instead.
    p.Move({100, 400});
    f = p.tracker.Feedback();
    EXPECT_EQ(f.rcTip.TopLeft(), (Point{102, 400 - 2 - 22}));
    // Down and right towards the bottom-right corner: no room beside the pointer, so the box
    // goes above the area.
    CPicker corner(CaptureMode::Ellipse);
    corner.Left({1000, 500});
    corner.Move({1910, 1075});
    f = corner.tracker.Feedback();
    EXPECT_FALSE(overlaps(f.rcTip, f.rcFocus)) << f.rcTip.left << "," << f.rcTip.top;
    EXPECT_TRUE(overlaps(f.rcTip, Rect{0, 0, 1920, 1080}));
    EXPECT_GE(f.rcTip.left, 0);
    EXPECT_LT(f.rcTip.right, 1920);
    // The polygon's size text keeps off its outline's box too.
    CPicker poly(CaptureMode::Polygon);
    poly.Left({800, 800});
    poly.Move({400, 300});
    f = poly.tracker.Feedback();
    EXPECT_FALSE(overlaps(f.rcTip, Rect{400, 300, 800, 800})) << f.rcTip.left << "," << f.rcTip.top;
}

TEST(SquarePicker, SideIsTheShorterDistanceTowardsThePointer) {
    CPicker p(CaptureMode::Square);
    p.Left({100, 100});
    p.Move({130, 180});
    EXPECT_EQ(p.tracker.CurrentRect(), (Rect{100, 100, 130, 130}));
    p.Move({20, 60}); // up and left: the anchor becomes the bottom-right corner
    EXPECT_EQ(p.tracker.CurrentRect(), (Rect{60, 60, 100, 100}));
    p.Move({150, 90}); // right and up
    EXPECT_EQ(p.tracker.CurrentRect(), (Rect{100, 90, 110, 100}));
    EXPECT_EQ(p.tracker.Feedback().inverted, FeedbackShape::Rectangle);
    EXPECT_EQ(p.Left({150, 90}).action, PickerAction::Finish);
    EXPECT_EQ(p.tracker.Region().nShapePoints, 0);
}

TEST(CirclePicker, SquareBoxWithInscribedEllipse) {
    CPicker p(CaptureMode::Circle);
    p.Left({300, 300});
    p.Move({250, 200});
    EXPECT_EQ(p.tracker.CurrentRect(), (Rect{250, 250, 300, 300}));
    const auto f = p.tracker.Feedback();
    EXPECT_EQ(f.inverted, FeedbackShape::Ellipse);
    EXPECT_EQ(f.rcInverted, (Rect{250, 250, 300, 300}));
    EXPECT_EQ(f.rcFocus, (Rect{250, 250, 300, 300}));
    EXPECT_EQ(p.Left({250, 200}).action, PickerAction::Finish);
    const auto region = p.tracker.Region();
    EXPECT_EQ(region.rc, (Rect{250, 250, 300, 300}));
    EXPECT_EQ(region.nShapePoints, 2);
    EXPECT_TRUE(region.points.empty());
}

TEST(EllipsePicker, BoxOfAnchorAndPointer) {
    CPicker p(CaptureMode::Ellipse);
    EXPECT_EQ(p.Drag({10, 20}, {110, 70}).action, PickerAction::Finish);
    const auto region = p.tracker.Region();
    EXPECT_EQ(region.rc, (Rect{10, 20, 110, 70}));
    EXPECT_EQ(region.nShapePoints, 2);
}

TEST(TrianglePicker, PointsFollowTheBoxAndEndRelative) {
    CPicker p(CaptureMode::Triangle);
    p.Left({100, 50});
    p.Move({40, 150});
    auto f = p.tracker.Feedback();
    EXPECT_EQ(f.inverted, FeedbackShape::Polygon);
    EXPECT_EQ(f.polygon, (std::vector<Point>{{40, 150}, {100, 150}, {70, 50}}));
    EXPECT_EQ(f.rcFocus, (Rect{40, 50, 100, 150}));
    p.Right({40, 150});
    p.Move({50, 145}); // move by (10, -5)
    f = p.tracker.Feedback();
    EXPECT_EQ(f.polygon, (std::vector<Point>{{50, 145}, {110, 145}, {80, 45}}));
    EXPECT_EQ(p.Left({50, 145}).action, PickerAction::Finish);
    const auto region = p.tracker.Region();
    EXPECT_EQ(region.rc, (Rect{50, 45, 110, 145}));
    EXPECT_EQ(region.nShapePoints, 3);
    EXPECT_EQ(region.points, (std::vector<Point>{{0, 100}, {60, 100}, {30, 0}}));
}

TEST(PickerKeys, ShiftHidesAndShowsTheInfoBox) {
    CPicker p(CaptureMode::Rectangle);
    p.Left({100, 100});
    p.Move({150, 120});
    ASSERT_TRUE(p.tracker.Feedback().bTipVisible);
    auto r = p.tracker.OnKey(capture::vk::kShift, {150, 120});
    EXPECT_TRUE(r.bRedraw);
    EXPECT_FALSE(p.tracker.Feedback().bTipVisible);
    EXPECT_TRUE(p.tracker.Feedback().bFocusRect); // the region stays
    p.Move({160, 130});
    EXPECT_FALSE(p.tracker.Feedback().bTipVisible);
    p.tracker.OnKey(capture::vk::kShift, {160, 130});
    const auto f = p.tracker.Feedback();
    EXPECT_TRUE(f.bTipVisible);
    EXPECT_EQ(f.strTipText, CTrackerTip::SizeText(60, 30));
    EXPECT_EQ(f.rcTip.TopLeft(), (Point{162, 132}));
}

TEST(PickerKeys, ShiftInPolygonRedrawsAsAMove) {
    CPicker p(CaptureMode::Polygon);
    p.Move({10, 10});
    EXPECT_TRUE(p.tracker.Feedback().bTipVisible);
    p.tracker.OnKey(capture::vk::kShift, {12, 14});
    EXPECT_FALSE(p.tracker.Feedback().bTipVisible);
    p.tracker.OnKey(capture::vk::kShift, {12, 14});
    EXPECT_TRUE(p.tracker.Feedback().bTipVisible);
    EXPECT_EQ(p.tracker.Feedback().rcTip.TopLeft(), (Point{14, 16}));
}

TEST(PickerKeys, EscapeCancelsAndResets) {
    CPicker p(CaptureMode::Ellipse);
    p.Left({10, 10});
    p.Move({50, 50});
    p.tracker.OnKey(capture::vk::kShift, {50, 50});
    const auto r = p.tracker.OnKey(capture::vk::kEscape, {50, 50});
    EXPECT_EQ(r.action, PickerAction::Cancel);
    EXPECT_EQ(p.tracker.Mode(), CaptureMode::None);
    EXPECT_FALSE(p.tracker.IsAnchored());
    EXPECT_TRUE(p.tracker.IsInfoShown()); // reset wants the box again
    EXPECT_EQ(p.tracker.Anchor(), (Point{-1, -1}));
    EXPECT_EQ(p.tracker.Feedback(), capture::PickerFeedback{});
    EXPECT_EQ(p.Move({60, 60}).action, PickerAction::Continue); // no longer picking
    EXPECT_FALSE(p.tracker.Feedback().bTipVisible);
}

TEST(PickerKeys, ArrowsAskForAOnePixelNudge) {
    CPicker p(CaptureMode::Polygon);
    EXPECT_EQ(p.tracker.OnKey(capture::vk::kLeft, {5, 5}).nudge, (Point{-1, 0}));
    EXPECT_EQ(p.tracker.OnKey(capture::vk::kUp, {5, 5}).nudge, (Point{0, -1}));
    EXPECT_EQ(p.tracker.OnKey(capture::vk::kRight, {5, 5}).nudge, (Point{1, 0}));
    EXPECT_EQ(p.tracker.OnKey(capture::vk::kDown, {5, 5}).nudge, (Point{0, 1}));
    EXPECT_EQ(p.tracker.OnKey(65, {5, 5}).nudge, (Point{0, 0})); // other keys: nothing
    CRegionTracker idle;
    EXPECT_EQ(idle.OnKey(capture::vk::kEscape, {0, 0}).action, PickerAction::Continue);
}

TEST(PolygonPicker, VerticesRubberBandAndFloatingVertex) {
    CPicker p(CaptureMode::Polygon);
    p.Move({10, 10});
    EXPECT_EQ(p.tracker.Feedback().strTipText, CTrackerTip::kHintText);
    p.Left({10, 10});
    EXPECT_EQ(p.tracker.VertexCount(), 1);
    p.Move({40, 30});
    auto f = p.tracker.Feedback();
    EXPECT_TRUE(f.bRubberBand);
    EXPECT_EQ(f.bandFrom, (Point{10, 10}));
    EXPECT_EQ(f.bandTo, (Point{40, 30}));
    EXPECT_FALSE(f.bFocusRect);
    EXPECT_EQ(f.strTipText, CTrackerTip::SizeText(30, 20));

    p.Left({40, 30});
    p.Move({25, 60});
    f = p.tracker.Feedback();
    EXPECT_FALSE(f.bRubberBand);
    EXPECT_EQ(f.inverted, FeedbackShape::Polygon);
    EXPECT_EQ(f.fillRule, capture::FillRule::Winding); // what is shown is what is captured
    EXPECT_EQ(f.polygon, (std::vector<Point>{{10, 10}, {40, 30}, {25, 60}}));
    EXPECT_EQ(f.rcFocus, (Rect{10, 10, 40, 60}));
    EXPECT_EQ(p.tracker.ShapePointCount(), 2);
}

TEST(PolygonPicker, DoublePressFinishesWithTheVerticesBounds) {
    CPicker p(CaptureMode::Polygon);
    p.Left({10, 10});
    p.Left({60, 10});
    p.Move({90, 80});
    p.Left({40, 50});
    p.Move({90, 80});               // floating vertex away from the outline
    auto r = p.Left({40, 50}, 500); // same point again, slowly: ignored
    EXPECT_EQ(r.action, PickerAction::Continue);
    EXPECT_EQ(p.tracker.VertexCount(), 3);
    r = p.Left({40, 50}, 279);
    EXPECT_EQ(r.action, PickerAction::Finish);
    const auto region = p.tracker.Region();
    EXPECT_EQ(region.rc, (Rect{10, 10, 60, 50})); // the floating vertex is not part of it
    EXPECT_EQ(region.nShapePoints, 3);
    EXPECT_EQ(region.points, (std::vector<Point>{{0, 0}, {50, 0}, {30, 40}}));
}

TEST(PolygonPicker, PressesAtLeast280msApartDoNotFinish) {
    CPicker p(CaptureMode::Polygon);
    p.Left({10, 10});
    EXPECT_EQ(p.Left({50, 10}, 280).action, PickerAction::Continue);
    EXPECT_EQ(p.Left({50, 50}, 280).action, PickerAction::Continue);
    EXPECT_EQ(p.tracker.VertexCount(), 3);
    EXPECT_EQ(p.Left({10, 50}, 100).action, PickerAction::Finish);
    EXPECT_EQ(p.tracker.Region().nShapePoints, 4);
}

TEST(PolygonPicker, ReleasesAreTimedSeparately) {
    CPicker p(CaptureMode::Polygon);
    p.Left({10, 10});
    p.LeftUp({10, 10}, 100);
    p.Left({50, 10}, 300);   // presses 400 ms apart
    p.LeftUp({50, 10}, 290); // releases 590 ms apart
    p.Left({50, 50}, 10);    // presses 300 ms apart
    EXPECT_EQ(p.tracker.VertexCount(), 3);
    // Releases 210 ms apart finish.
    EXPECT_EQ(p.LeftUp({50, 50}, 200).action, PickerAction::Finish);
    EXPECT_EQ(p.tracker.Region().nShapePoints, 3);
}

TEST(PolygonPicker, ServerTimeWrapStillMeasures) {
    CPicker p(CaptureMode::Polygon);
    p.time = 0xFFFFFF00u;
    p.Left({10, 10}, 0);
    p.Left({50, 10}, 500); // wraps past zero, 500 ms later
    p.Left({50, 50}, 500);
    EXPECT_EQ(p.tracker.VertexCount(), 3);
    EXPECT_EQ(p.Left({10, 50}, 100).action, PickerAction::Finish);
}

TEST(PolygonPicker, ThirtySixthVertexBeepsAndCanStillFinish) {
    CPicker p(CaptureMode::Polygon);
    for (int i = 0; i < 35; ++i) {
        const auto r = p.Left({10 + i * 5, (i % 2) * 40 + 10});
        EXPECT_FALSE(r.bBeep);
    }
    EXPECT_EQ(p.tracker.VertexCount(), 35);
    auto r = p.Left({500, 500});
    EXPECT_TRUE(r.bBeep);
    EXPECT_EQ(p.tracker.VertexCount(), 35);
    p.Move({300, 300});
    EXPECT_EQ(p.tracker.Feedback().polygon.size(), 36u); // 35 plus the floating one
    r = p.Left({501, 500}, 100);
    EXPECT_TRUE(r.bBeep);
    EXPECT_EQ(r.action, PickerAction::Finish);
    const auto region = p.tracker.Region();
    EXPECT_EQ(region.nShapePoints, 35);
    EXPECT_EQ(region.rc, (Rect{10, 10, 180, 50}));
}

TEST(PolygonPicker, RightClickStartsAVertexThenTogglesMove) {
    CPicker p(CaptureMode::Polygon);
    p.Right({20, 20});
    EXPECT_EQ(p.tracker.VertexCount(), 1);
    p.Right({30, 30}); // one vertex: nothing
    EXPECT_EQ(p.tracker.VertexCount(), 1);
    EXPECT_FALSE(p.tracker.IsMoveMode());
    p.Left({60, 20});
    p.Move({40, 60});
    p.Right({40, 60});
    EXPECT_TRUE(p.tracker.IsMoveMode());
    p.Move({50, 70}); // everything moves by (10, 10)
    auto f = p.tracker.Feedback();
    EXPECT_EQ(f.polygon, (std::vector<Point>{{30, 30}, {70, 30}, {50, 70}}));
    EXPECT_EQ(f.rcFocus, (Rect{30, 30, 70, 70}));
    p.Left({50, 70}); // no vertex in move mode
    EXPECT_EQ(p.tracker.VertexCount(), 2);
    // Finishing in move mode turns the floating vertex into a vertex.
    EXPECT_EQ(p.Left({50, 70}, 100).action, PickerAction::Finish);
    const auto region = p.tracker.Region();
    EXPECT_EQ(region.nShapePoints, 3);
    EXPECT_EQ(region.rc, (Rect{30, 30, 70, 70}));
    EXPECT_EQ(region.points, (std::vector<Point>{{0, 0}, {40, 0}, {20, 40}}));
}

TEST(PolygonPicker, OnePointRuleKeepsTheRubberBandExtent) {
    CPicker p(CaptureMode::Polygon);
    p.Left({10, 10});
    // A double press on the first vertex: one vertex without extent has nothing to capture.
    EXPECT_EQ(p.Left({10, 10}, 100).action, PickerAction::Continue);
    EXPECT_EQ(p.tracker.VertexCount(), 1);
    // Two quick releases with the band stretched finish with the one vertex.
    p.Move({50, 30});
    p.LeftUp({50, 30}, 400);
    EXPECT_EQ(p.LeftUp({50, 30}, 100).action, PickerAction::Finish);
    const auto region = p.tracker.Region();
    EXPECT_EQ(region.nShapePoints, 1);
    EXPECT_EQ(region.rc, (Rect{10, 10, 50, 30}));
    EXPECT_TRUE(region.points.empty());
}

TEST(PolygonPicker, TwoPointsBecomeTheEllipseOfTheirBox) {
    CPicker p(CaptureMode::Polygon);
    p.Left({100, 40});
    p.Left({20, 90});
    p.Move({200, 200});
    EXPECT_EQ(p.Left({20, 90}, 150).action, PickerAction::Finish);
    const auto region = p.tracker.Region();
    EXPECT_EQ(region.nShapePoints, 2);
    EXPECT_EQ(region.rc, (Rect{20, 40, 100, 90}));
}

TEST(PolygonPicker, CollinearVerticesCannotFinish) {
    CPicker p(CaptureMode::Polygon);
    p.Left({10, 10});
    p.Left({50, 10});
    EXPECT_EQ(p.Left({90, 10}, 100).action, PickerAction::Continue);
    EXPECT_EQ(p.Left({90, 50}, 100).action, PickerAction::Finish);
}

TEST(WindowPickers, ControlHighlightsChildWindowsOnly) {
    CScriptedDesktop desk;
    desk.windows = {{{100, 100, 500, 400}, {{120, 150, 220, 180}, {300, 300, 480, 380}}}};
    CPicker p(CaptureMode::Control, &desk);
    p.Move({50, 50}); // desktop: nothing
    EXPECT_EQ(p.tracker.Feedback().inverted, FeedbackShape::None);
    EXPECT_EQ(p.Left({50, 50}).action, PickerAction::Continue); // nothing to take yet
    p.Move({130, 160});
    auto f = p.tracker.Feedback();
    EXPECT_EQ(f.inverted, FeedbackShape::Rectangle);
    EXPECT_EQ(f.rcInverted, (Rect{120, 150, 220, 180}));
    EXPECT_FALSE(f.bTipVisible);
    EXPECT_FALSE(p.Move({131, 160}).bRedraw); // same control
    p.Move({110, 110}); // the top-level window itself is no control: the last one stays
    EXPECT_EQ(p.tracker.Feedback().rcInverted, (Rect{120, 150, 220, 180}));
    EXPECT_EQ(p.Right({400, 350}).action, PickerAction::Continue); // other buttons ignored
    EXPECT_EQ(p.tracker.Feedback().rcInverted, (Rect{120, 150, 220, 180}));
    EXPECT_EQ(p.Left({400, 350}).action, PickerAction::Finish); // the press position counts
    EXPECT_EQ(p.tracker.Region().rc, (Rect{300, 300, 480, 380}));
    EXPECT_EQ(p.tracker.Region().nShapePoints, 0);
}

TEST(WindowPickers, SingleWindowTakesTheTopMostWindow) {
    CScriptedDesktop desk;
    desk.windows = {{{0, 0, 800, 600}, {}}, {{300, 200, 900, 700}, {{310, 210, 400, 260}}}};
    CPicker p(CaptureMode::SingleWindow, &desk);
    p.Move({100, 100});
    EXPECT_EQ(p.tracker.Feedback().rcInverted, (Rect{0, 0, 800, 600}));
    p.Move({320, 220});
    EXPECT_EQ(p.tracker.Feedback().rcInverted, (Rect{300, 200, 900, 700}));
    EXPECT_EQ(p.Left({320, 220}).action, PickerAction::Finish);
    EXPECT_EQ(p.tracker.Region().rc, (Rect{300, 200, 900, 700}));
}

TEST(WindowPickers, IconSizedSquareEndsAtThePointer) {
    CPicker p(CaptureMode::IconSized);
    p.Move({100, 80});
    EXPECT_EQ(p.tracker.Feedback().rcInverted, (Rect{68, 48, 100, 80}));
    EXPECT_EQ(p.Left({101, 80}).action, PickerAction::Finish);
    EXPECT_EQ(p.tracker.Region().rc, (Rect{69, 48, 101, 80}));
}

TEST(ImmediateQueries, AskTheDesktop) {
    CScriptedDesktop desk;
    CRegionTracker t;
    EXPECT_FALSE(t.QueryImmediate(CaptureMode::ActiveWindow)); // no desktop to ask
    t.SetDesktopQueries(&desk);
    EXPECT_FALSE(t.QueryImmediate(CaptureMode::ActiveWindow));
    EXPECT_FALSE(t.QueryImmediate(CaptureMode::PopupMenu));
    desk.active = Rect{10, 20, 300, 200};
    desk.activeClient = Rect{12, 40, 298, 198};
    desk.menu = Rect{50, 60, 150, 260};
    EXPECT_EQ(t.QueryImmediate(CaptureMode::ActiveWindow)->rc, *desk.active);
    EXPECT_EQ(t.Step(), TrackerStep::Immediate);
    EXPECT_EQ(t.Mode(), CaptureMode::ActiveWindow);
    EXPECT_EQ(t.QueryImmediate(CaptureMode::ActiveWindowClient)->rc, *desk.activeClient);
    EXPECT_EQ(t.QueryImmediate(CaptureMode::PopupMenu)->rc, *desk.menu);
    const auto desktop = t.QueryImmediate(CaptureMode::Desktop);
    EXPECT_EQ(desktop->rc, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(desktop->nShapePoints, 0);
    EXPECT_EQ(t.Region(), *desktop);
    EXPECT_FALSE(t.QueryImmediate(CaptureMode::Rectangle)); // pickers are not immediate
}
