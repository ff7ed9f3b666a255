// SPDX-License-Identifier: MIT
// The region and window pickers: builds a capture region from the hook's mouse and key
// messages, and answers the immediate region queries. Plain logic; the overlay draws Feedback().
#pragma once

#include "capture/CaptureRegion.h"
#include "capture/DesktopQueries.h"
#include "capture/PickerTypes.h"
#include "capture/TrackerTip.h"

#include <array>
#include <optional>

class CRegionTracker {
public:
    static constexpr int kPointSlots = 36; // vertices plus the floating one
    static constexpr int kMaxVertices = 35;
    static constexpr std::uint32_t kDoublePressMs = 280;
    static constexpr int kIconSide = 32;
    // A left press and release further apart than this (pixels, either axis) is a drag: the
    // rectangle-type pickers finish at the release. Closer, it is a click that anchors.
    static constexpr int kDragThreshold = 4;

    CRegionTracker() { Reset(); }

    // Back to idle: no anchor, no region, info box wanted, mode None.
    void Reset();

    // Window lookups for the window pickers and the immediate queries (not owned; may be null,
    // then the window pickers find nothing).
    void SetDesktopQueries(const IDesktopQueries* pQueries) noexcept { m_pQueries = pQueries; }

    // Starts a picker of a picker mode at its first step; false (and nothing changes) for the
    // immediate modes and None.
    bool Start(capture::CaptureMode mode);

    // The region of an immediate mode (active window, client area, popup menu, desktop), or
    // empty when there is none. Leaves the tracker in that mode at step Immediate.
    std::optional<capture::CaptureRegion> QueryImmediate(capture::CaptureMode mode);

    // One mouse message of the hook while picking.
    capture::PickerResponse OnMouse(const capture::MouseInput& input);
    // One picker key (virtual-key code) with the pointer's current position.
    capture::PickerResponse OnKey(int nVirtKey, capture::Point ptPointer);

    // The finished region (after a Finish response): rectangle in root coordinates, shape point
    // count and vertices relative to the rectangle.
    capture::CaptureRegion Region() const;

    // What to draw now.
    capture::PickerFeedback Feedback() const;

    CTrackerTip& Tip() noexcept { return m_tip; }
    const CTrackerTip& Tip() const noexcept { return m_tip; }

    capture::CaptureMode Mode() const noexcept { return m_mode; }
    capture::TrackerStep Step() const noexcept { return m_step; }
    bool IsAnchored() const noexcept { return m_bAnchored; }
    bool IsMoveMode() const noexcept { return m_bMoveMode || m_bPolyMove; }
    bool IsInfoShown() const noexcept { return m_bShow; }
    capture::Point Anchor() const noexcept { return m_ptAnchor; }
    capture::Rect CurrentRect() const noexcept { return m_rc; }
    int ShapePointCount() const noexcept { return m_nShapePoints; }
    int VertexCount() const noexcept { return m_nVertices; }
    capture::Size RegionSize() const noexcept { return m_size; }

private:
    enum class Shape { None, Ellipse, Polygon };

    bool IsRectPicker() const noexcept;
    bool IsWindowPicker() const noexcept;
    bool IsPicking() const noexcept;

    void OnRectMouse(const capture::MouseInput& input, capture::PickerResponse& response);
    void RectLeftDown(capture::Point p, capture::PickerResponse& response);
    void RectLeftUp(capture::Point p, capture::PickerResponse& response);
    void SetAnchor(capture::Point p);
    void Hover(capture::Point p);
    void Stretch(capture::Point p);
    void MoveRegion(capture::Point p);
    void UpdateRectStep(capture::Point p);
    void BuildShapeFromRect();
    bool FinishRect();

    void OnWindowMouse(const capture::MouseInput& input, capture::PickerResponse& response);
    std::optional<capture::Rect> WindowPickerRect(capture::Point p) const;

    void OnPolygonMouse(const capture::MouseInput& input, capture::PickerResponse& response);
    void PolygonMove(capture::Point p, bool bForce);
    void PolygonLeftDown(capture::Point p, capture::PickerResponse& response);
    void PolygonRightDown(capture::Point p);
    bool IsDoublePress(std::optional<std::uint32_t>& tLast, std::uint32_t t) noexcept;
    bool FinishPolygon();

    void EnterFinish();
    void FollowWithTip(capture::Point p, CTrackerTip::TipMode mode);

    capture::CaptureMode m_mode = capture::CaptureMode::None;
    capture::TrackerStep m_step = capture::TrackerStep::Hover;
    bool m_bShow = true;
    bool m_bShown = true;
    bool m_bAnchored = false;
    bool m_bMoveMode = false;
    bool m_bDragPress = false; // the left press that anchored is still held
    capture::Point m_ptPress;
    capture::Point m_ptAnchor;
    capture::Point m_ptLast;
    capture::Rect m_rc;
    Shape m_shape = Shape::None;
    std::array<capture::Point, kPointSlots> m_points{};
    int m_nVertices = 0;
    bool m_bPolyMove = false;
    int m_nShapePoints = 0;
    capture::Size m_size;
    std::optional<std::uint32_t> m_tLastLeftDown;
    std::optional<std::uint32_t> m_tLastLeftUp;
    const IDesktopQueries* m_pQueries = nullptr;
    CTrackerTip m_tip;
};
