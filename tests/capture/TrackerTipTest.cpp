// SPDX-License-Identifier: MIT
// The info box: its texts, its size and its place near monitor edges.
#include "capture/TrackerTip.h"

#include <gtest/gtest.h>

using capture::Point;
using capture::Rect;

namespace {

CTrackerTip MakeTip(std::vector<Rect> monitors) {
    CTrackerTip tip;
    tip.Prepare({301, 14}, {330, 15}); // box 338 x 23
    tip.SetMonitors(std::move(monitors));
    return tip;
}

bool Inside(const Rect& box, const Rect& monitor) {
    return box.left >= monitor.left && box.top >= monitor.top && box.right <= monitor.right &&
           box.bottom <= monitor.bottom;
}

} // namespace

TEST(TrackerTip, TextsAreTheStringTableEntries) {
    EXPECT_EQ(CTrackerTip::kHintStringId, 136);
    EXPECT_EQ(CTrackerTip::kSizeStringId, 137);
    EXPECT_STREQ(CTrackerTip::kHintText,
                 "Hotkey: [Left,Up,Right,Down,Shift,ESC,Left or Right click mouse]");
    EXPECT_EQ(CTrackerTip::SizeText(640, 7),
              "Size [640,7] | [Right click to toggle between stretch and move]");
    EXPECT_EQ(CTrackerTip::WidestSizeText(),
              "Size [8888,8888] | [Right click to toggle between stretch and move]");
}

TEST(TrackerTip, BoxFitsTheWiderAndTallerText) {
    CTrackerTip tip;
    tip.Prepare({300, 14}, {280, 15});
    EXPECT_EQ(tip.BoxSize(), (capture::Size{301, 23}));
    tip.Prepare({200, 20}, {280, 10});
    EXPECT_EQ(tip.BoxSize(), (capture::Size{288, 26}));
}

TEST(TrackerTip, FollowsThePointerAwayFromEdges) {
    const CTrackerTip tip = MakeTip({{0, 0, 1920, 1080}});
    EXPECT_EQ(tip.PlaceFor({0, 0}), (Point{2, 2}));
    EXPECT_EQ(tip.PlaceFor({500, 300}), (Point{502, 302}));
    // The last x that still fits beside the pointer: p.x + 338 + 6 < 1920.
    EXPECT_EQ(tip.PlaceFor({1575, 10}).x, 1577);
    EXPECT_EQ(tip.PlaceFor({1576, 10}).x, 1920 - 338 - 4);
}

TEST(TrackerTip, StaysOnScreenAtTheRightAndBottomEdges) {
    const Rect screen{0, 0, 1920, 1080};
    const CTrackerTip tip = MakeTip({screen});
    for (Point p : {Point{1919, 500}, Point{800, 1079}, Point{1919, 1079}, Point{1700, 1060}}) {
        const Point at = tip.PlaceFor(p);
        EXPECT_TRUE(Inside(Rect::FromSize(at.x, at.y, 338, 23), screen)) << p.x << "," << p.y;
    }
    EXPECT_EQ(tip.PlaceFor({1919, 1079}), (Point{1920 - 338 - 4, 1080 - 23 - 4}));
    EXPECT_EQ(tip.PlaceFor({100, 1079}), (Point{102, 1080 - 23 - 4}));
}

TEST(TrackerTip, UsesTheMonitorUnderThePointer) {
    // A 1920x1080 monitor beside a taller 1280x1024 one placed lower, and one above the right.
    const Rect left{0, 56, 1920, 1136}, right{1920, 0, 3200, 1024}, top{1920, 1024, 2560, 1504};
    const CTrackerTip tip = MakeTip({left, right, top});
    // Near the right edge of the left monitor the box stays on the left monitor rather than
    // spilling onto the next one.
    EXPECT_EQ(tip.PlaceFor({1900, 600}), (Point{1920 - 338 - 4, 602}));
    // On the right monitor it follows that monitor's edges.
    EXPECT_EQ(tip.PlaceFor({1925, 1010}), (Point{1927, 1024 - 23 - 4}));
    EXPECT_EQ(tip.PlaceFor({3190, 10}), (Point{3200 - 338 - 4, 12}));
    // A monitor narrower than the box keeps the box's left edge on it.
    const Rect narrow{0, 0, 300, 400};
    EXPECT_EQ(MakeTip({narrow}).PlaceFor({250, 10}).x, 0);
    for (Point p : {Point{1919, 1135}, Point{3199, 1023}, Point{2559, 1503}, Point{1920, 1024}}) {
        const Point at = tip.PlaceFor(p);
        const Rect box = Rect::FromSize(at.x, at.y, 338, 23);
        EXPECT_TRUE(Inside(box, left) || Inside(box, right) || Inside(box, top))
            << p.x << "," << p.y;
    }
}

TEST(TrackerTip, PointerInAGapUsesTheNearestMonitor) {
    const Rect a{0, 0, 1000, 800}, b{1000, 200, 2000, 1000};
    const CTrackerTip tip = MakeTip({a, b});
    // (1500, 100) is above monitor b, in no monitor: b is nearest.
    const Point at = tip.PlaceFor({1500, 100});
    EXPECT_EQ(at, (Point{1502, 200}));
    // No monitors at all: beside the pointer.
    EXPECT_EQ(MakeTip({}).PlaceFor({5000, 5000}), (Point{5002, 5002}));
}

TEST(TrackerTip, MoveToSetsTextAndPlace) {
    CTrackerTip tip = MakeTip({{0, 0, 800, 600}});
    EXPECT_FALSE(tip.IsPlaced());
    tip.MoveTo({10, 20}, CTrackerTip::TipMode::Size, 33, 44);
    EXPECT_TRUE(tip.IsPlaced());
    EXPECT_EQ(tip.Mode(), CTrackerTip::TipMode::Size);
    EXPECT_EQ(tip.Text(), CTrackerTip::SizeText(33, 44));
    EXPECT_EQ(tip.BoxRect(), (Rect{12, 22, 350, 45}));
    tip.MoveTo({10, 20}, CTrackerTip::TipMode::Hint);
    EXPECT_EQ(tip.Text(), CTrackerTip::kHintText);
    tip.Hide();
    EXPECT_FALSE(tip.IsPlaced());
}
