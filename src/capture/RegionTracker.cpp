// SPDX-License-Identifier: MIT
// The region and window pickers as a state machine over hook messages.
#include "capture/RegionTracker.h"

#include <algorithm>
#include <cstdlib>

using capture::CaptureMode;
using capture::CaptureRegion;
using capture::MouseInput;
using capture::MouseKind;
using capture::PickerAction;
using capture::PickerFeedback;
using capture::PickerResponse;
using capture::Point;
using capture::Rect;
using capture::TrackerStep;

namespace {

int Sign(int v) {
    return (v > 0) - (v < 0);
}

template <class It> Rect BoundingRect(It first, It last) {
    Rect rc{first->x, first->y, first->x, first->y};
    for (It it = first; it != last; ++it) {
        rc.left = std::min(rc.left, it->x);
        rc.top = std::min(rc.top, it->y);
        rc.right = std::max(rc.right, it->x);
        rc.bottom = std::max(rc.bottom, it->y);
    }
    return rc;
}

} // namespace

void CRegionTracker::Reset() {
    m_mode = CaptureMode::None;
    m_step = TrackerStep::Hover;
    m_bShow = m_bShown = true;
    m_bAnchored = m_bMoveMode = m_bPolyMove = m_bDragPress = false;
    m_ptAnchor = m_ptLast = m_ptPress = Point{-1, -1};
    m_rc = Rect{};
    m_shape = Shape::None;
    m_points.fill(Point{});
    m_nVertices = m_nShapePoints = 0;
    m_size = capture::Size{};
    m_tLastLeftDown.reset();
    m_tLastLeftUp.reset();
    m_tip.Hide();
}

bool CRegionTracker::Start(CaptureMode mode) {
    if (!capture::IsPickerMode(mode))
        return false;
    Reset();
    m_mode = mode;
    m_step = capture::FirstStep(mode);
    return true;
}

std::optional<CaptureRegion> CRegionTracker::QueryImmediate(CaptureMode mode) {
    if (capture::IsPickerMode(mode) || mode == CaptureMode::None)
        return std::nullopt;
    Reset();
    m_mode = mode;
    m_step = TrackerStep::Immediate;
    if (!m_pQueries)
        return std::nullopt;
    std::optional<Rect> rc;
    switch (mode) {
    case CaptureMode::ActiveWindow:
        rc = m_pQueries->ActiveWindowRect(false);
        break;
    case CaptureMode::ActiveWindowClient:
        rc = m_pQueries->ActiveWindowRect(true);
        break;
    case CaptureMode::PopupMenu:
        rc = m_pQueries->PopupMenuRect();
        break;
    default:
        rc = m_pQueries->DesktopRect();
        break;
    }
    if (!rc || rc->IsEmpty())
        return std::nullopt;
    m_rc = *rc;
    m_size = {rc->Width(), rc->Height()};
    return CaptureRegion{*rc, 0, {}};
}

bool CRegionTracker::IsRectPicker() const noexcept {
    return m_mode == CaptureMode::Rectangle || m_mode == CaptureMode::Square ||
           m_mode == CaptureMode::Ellipse || m_mode == CaptureMode::Circle ||
           m_mode == CaptureMode::Triangle;
}

bool CRegionTracker::IsWindowPicker() const noexcept {
    return m_mode == CaptureMode::Control || m_mode == CaptureMode::SingleWindow ||
           m_mode == CaptureMode::IconSized;
}

bool CRegionTracker::IsPicking() const noexcept {
    return capture::IsPickerMode(m_mode) && m_step != TrackerStep::Finish;
}

PickerResponse CRegionTracker::OnMouse(const MouseInput& input) {
    PickerResponse response;
    if (!IsPicking() || input.kind == MouseKind::Other)
        return response;
    const PickerFeedback before = Feedback();
    if (IsRectPicker())
        OnRectMouse(input, response);
    else if (IsWindowPicker())
        OnWindowMouse(input, response);
    else
        OnPolygonMouse(input, response);
    response.bRedraw = response.action != PickerAction::Continue || Feedback() != before;
    return response;
}

PickerResponse CRegionTracker::OnKey(int nVirtKey, Point ptPointer) {
    PickerResponse response;
    if (!IsPicking())
        return response;
    switch (nVirtKey) {
    case capture::vk::kShift: {
        const PickerFeedback before = Feedback();
        m_bShow = !m_bShow;
        if (IsRectPicker())
            UpdateRectStep(ptPointer);
        else if (m_mode == CaptureMode::Polygon)
            PolygonMove(ptPointer, false);
        m_bShown = m_bShow;
        response.bRedraw = Feedback() != before;
        break;
    }
    case capture::vk::kEscape:
        Reset();
        response.action = PickerAction::Cancel;
        response.bRedraw = true;
        break;
    case capture::vk::kLeft:
        response.nudge = {-1, 0};
        break;
    case capture::vk::kUp:
        response.nudge = {0, -1};
        break;
    case capture::vk::kRight:
        response.nudge = {1, 0};
        break;
    case capture::vk::kDown:
        response.nudge = {0, 1};
        break;
    default:
        break;
    }
    return response;
}

CaptureRegion CRegionTracker::Region() const {
    CaptureRegion region{m_rc, m_nShapePoints, {}};
    if (m_nShapePoints >= 3)
        region.points.assign(m_points.begin(),
                             m_points.begin() + std::min(m_nShapePoints, kPointSlots));
    return region;
}

PickerFeedback CRegionTracker::Feedback() const {
    PickerFeedback f;
    if (!IsPicking())
        return f;
    f.bTipVisible = m_bShow && m_tip.IsPlaced();
    f.rcTip = m_tip.BoxRect();
    f.strTipText = m_tip.Text();
    if (IsWindowPicker()) {
        if (!m_rc.IsEmpty()) {
            f.inverted = capture::FeedbackShape::Rectangle;
            f.rcInverted = m_rc;
        }
        return f;
    }
    if (m_mode == CaptureMode::Polygon && m_nVertices == 1) {
        f.bRubberBand = m_points[0] != m_points[1];
        f.bandFrom = m_points[0];
        f.bandTo = m_points[1];
        return f;
    }
    const bool bRegion = IsRectPicker() ? m_bAnchored : m_nVertices >= 2;
    if (!bRegion || m_rc.IsEmpty())
        return f;
    f.bFocusRect = true;
    f.rcFocus = m_rc;
    if (m_shape == Shape::Polygon) {
        const int n = m_mode == CaptureMode::Polygon ? std::min(m_nVertices + 1, kPointSlots) : 3;
        f.inverted = capture::FeedbackShape::Polygon;
        f.polygon.assign(m_points.begin(), m_points.begin() + n);
    } else {
        f.inverted = m_shape == Shape::Ellipse ? capture::FeedbackShape::Ellipse
                                               : capture::FeedbackShape::Rectangle;
        f.rcInverted = m_rc;
    }
    return f;
}

void CRegionTracker::FollowWithTip(Point p, CTrackerTip::TipMode mode) {
    m_bShown = m_bShow;
    // The size text sits beside the area being picked, never over it.
    m_tip.MoveTo(p, mode, m_size.cx, m_size.cy, mode == CTrackerTip::TipMode::Size ? m_rc : Rect{});
}

void CRegionTracker::EnterFinish() {
    m_step = TrackerStep::Finish;
    m_tip.Hide();
    for (Point& p : m_points)
        p = p - m_rc.TopLeft();
    m_shape = Shape::None;
    m_bAnchored = m_bMoveMode = m_bPolyMove = m_bDragPress = false;
    m_tLastLeftDown.reset();
    m_tLastLeftUp.reset();
}

// ---- Rectangle, square, ellipse, circle, triangle ----

void CRegionTracker::OnRectMouse(const MouseInput& input, PickerResponse& response) {
    switch (input.kind) {
    case MouseKind::Move:
        UpdateRectStep(input.pt);
        break;
    case MouseKind::LeftDown:
        RectLeftDown(input.pt, response);
        break;
    case MouseKind::LeftUp:
        RectLeftUp(input.pt, response);
        break;
    case MouseKind::RightDown:
        if (!m_bAnchored) {
            SetAnchor(input.pt);
        } else {
            UpdateRectStep(input.pt);
            m_bMoveMode = !m_bMoveMode;
            m_step = m_bMoveMode ? TrackerStep::Move : TrackerStep::Stretch;
        }
        break;
    default:
        break;
    }
}

void CRegionTracker::RectLeftDown(Point p, PickerResponse& response) {
    if (!m_bAnchored) {
        SetAnchor(p);
        m_bDragPress = true;
        m_ptPress = p;
        return;
    }
    m_bDragPress = false;
    UpdateRectStep(p);
    if (FinishRect())
        response.action = PickerAction::Finish;
}

// Press, drag, release finishes where the button comes up; a press released where it went
// down (within the threshold) was a click and leaves the area following the pointer.
void CRegionTracker::RectLeftUp(Point p, PickerResponse& response) {
    if (!m_bDragPress)
        return;
    m_bDragPress = false;
    const Point d = p - m_ptPress;
    if (std::max(std::abs(d.x), std::abs(d.y)) <= kDragThreshold)
        return;
    UpdateRectStep(p);
    if (FinishRect())
        response.action = PickerAction::Finish;
}

void CRegionTracker::UpdateRectStep(Point p) {
    if (!m_bAnchored)
        Hover(p);
    else if (m_bMoveMode)
        MoveRegion(p);
    else
        Stretch(p);
}

void CRegionTracker::Hover(Point p) {
    m_step = TrackerStep::Hover;
    m_ptLast = p;
    FollowWithTip(p, CTrackerTip::TipMode::Hint);
}

void CRegionTracker::SetAnchor(Point p) {
    m_bAnchored = true;
    m_bMoveMode = false;
    m_step = TrackerStep::Stretch;
    m_ptAnchor = m_ptLast = p;
    m_rc = Rect{p.x, p.y, p.x, p.y};
    m_size = {};
    m_shape = Shape::None;
    m_nShapePoints = 0;
}

void CRegionTracker::Stretch(Point p) {
    if (p == m_ptLast && m_bShow == m_bShown)
        return;
    m_step = TrackerStep::Stretch;
    if (m_mode == CaptureMode::Square || m_mode == CaptureMode::Circle) {
        const int dx = p.x - m_ptAnchor.x, dy = p.y - m_ptAnchor.y;
        const int side = std::min(std::abs(dx), std::abs(dy));
        m_rc = Rect::Normalized(m_ptAnchor, m_ptAnchor + Point{Sign(dx) * side, Sign(dy) * side});
    } else {
        m_rc = Rect::Normalized(m_ptAnchor, p);
    }
    BuildShapeFromRect();
    m_ptLast = p;
    m_size = {m_rc.Width(), m_rc.Height()};
    FollowWithTip(p, CTrackerTip::TipMode::Size);
}

void CRegionTracker::BuildShapeFromRect() {
    if (m_mode == CaptureMode::Ellipse || m_mode == CaptureMode::Circle) {
        m_shape = Shape::Ellipse;
        m_nShapePoints = 2;
    } else if (m_mode == CaptureMode::Triangle) {
        m_points[0] = {m_rc.left, m_rc.bottom};
        m_points[1] = {m_rc.right, m_rc.bottom};
        m_points[2] = {(m_rc.left + m_rc.right) / 2, m_rc.top};
        m_shape = Shape::Polygon;
        m_nShapePoints = 3;
    } else {
        m_shape = Shape::None;
        m_nShapePoints = 0;
    }
}

void CRegionTracker::MoveRegion(Point p) {
    if (p == m_ptLast && m_bShow == m_bShown)
        return;
    m_step = TrackerStep::Move;
    const Point d = p - m_ptLast;
    m_rc = m_rc.Offset(d);
    m_ptAnchor = m_ptAnchor + d;
    if (m_mode == CaptureMode::Triangle)
        for (int i = 0; i < 3; ++i)
            m_points[std::size_t(i)] = m_points[std::size_t(i)] + d;
    m_ptLast = p;
    FollowWithTip(p, CTrackerTip::TipMode::Size);
}

bool CRegionTracker::FinishRect() {
    // A zero-size region holds nothing to capture: keep picking.
    if (m_rc.IsEmpty())
        return false;
    EnterFinish();
    return true;
}

// ---- Control, single window, icon-sized square ----

std::optional<Rect> CRegionTracker::WindowPickerRect(Point p) const {
    if (m_mode == CaptureMode::IconSized)
        return Rect{p.x - kIconSide, p.y - kIconSide, p.x, p.y};
    if (!m_pQueries)
        return std::nullopt;
    return m_mode == CaptureMode::Control ? m_pQueries->ControlRectAt(p)
                                          : m_pQueries->WindowRectAt(p);
}

void CRegionTracker::OnWindowMouse(const MouseInput& input, PickerResponse& response) {
    if (input.kind != MouseKind::Move && input.kind != MouseKind::LeftDown)
        return;
    m_ptLast = input.pt;
    const std::optional<Rect> rc = WindowPickerRect(input.pt);
    if (rc && !rc->IsEmpty() && *rc != m_rc) {
        m_rc = *rc;
        m_size = {rc->Width(), rc->Height()};
    }
    // A press where no window was ever found has nothing to capture: keep picking.
    if (input.kind == MouseKind::LeftDown && !m_rc.IsEmpty()) {
        EnterFinish();
        response.action = PickerAction::Finish;
    }
}

// ---- Polygon ----

void CRegionTracker::OnPolygonMouse(const MouseInput& input, PickerResponse& response) {
    switch (input.kind) {
    case MouseKind::Move:
        PolygonMove(input.pt, false);
        break;
    case MouseKind::LeftDown:
        PolygonLeftDown(input.pt, response);
        if (IsDoublePress(m_tLastLeftDown, input.time) && FinishPolygon())
            response.action = PickerAction::Finish;
        break;
    case MouseKind::LeftUp:
        if (IsDoublePress(m_tLastLeftUp, input.time) && FinishPolygon())
            response.action = PickerAction::Finish;
        break;
    case MouseKind::RightDown:
        PolygonRightDown(input.pt);
        break;
    default:
        break;
    }
}

bool CRegionTracker::IsDoublePress(std::optional<std::uint32_t>& tLast, std::uint32_t t) noexcept {
    // Server time wraps after 49 days; unsigned difference handles the wrap.
    const bool bDouble = tLast && std::uint32_t(t - *tLast) < kDoublePressMs;
    tLast = t;
    return bDouble;
}

void CRegionTracker::PolygonMove(Point p, bool bForce) {
    if (!bForce && p == m_ptLast && m_bShow == m_bShown)
        return;
    const int n = m_nVertices;
    if (n == 0) {
        m_ptLast = p;
        FollowWithTip(p, CTrackerTip::TipMode::Hint);
        return;
    }
    if (n == 1) {
        m_points[1] = p;
        m_rc = Rect::Normalized(m_points[0], p);
    } else if (m_bPolyMove) {
        const Point d = p - m_ptLast;
        for (int i = 0; i <= n && i < kPointSlots; ++i)
            m_points[std::size_t(i)] = m_points[std::size_t(i)] + d;
        m_rc = m_rc.Offset(d);
    } else {
        m_points[std::size_t(n)] = p;
        m_rc = BoundingRect(m_points.begin(), m_points.begin() + n + 1);
    }
    m_shape = n >= 2 ? Shape::Polygon : Shape::None;
    m_size = {m_rc.Width(), m_rc.Height()};
    m_ptLast = p;
    FollowWithTip(p, CTrackerTip::TipMode::Size);
}

void CRegionTracker::PolygonLeftDown(Point p, PickerResponse& response) {
    if (m_bPolyMove)
        return;
    if (m_nVertices > 0 && p == m_points[std::size_t(m_nVertices - 1)])
        return;
    if (m_nVertices >= kMaxVertices) {
        response.bBeep = true;
        return;
    }
    m_points[std::size_t(m_nVertices++)] = p;
    m_nShapePoints = m_nVertices;
    PolygonMove(p, true);
}

void CRegionTracker::PolygonRightDown(Point p) {
    if (m_nVertices == 0) {
        m_points[0] = p;
        m_nVertices = m_nShapePoints = 1;
        PolygonMove(p, true);
    } else if (m_nVertices >= 2) {
        m_bPolyMove = !m_bPolyMove;
    }
}

bool CRegionTracker::FinishPolygon() {
    int n = m_nVertices;
    if (m_bPolyMove && n < kPointSlots)
        ++n; // the floating vertex joins the outline
    // One vertex keeps the rubber band's extent; more are bounded by the vertices alone.
    const Rect rc = n >= 2 ? BoundingRect(m_points.begin(), m_points.begin() + n) : m_rc;
    if (rc.IsEmpty())
        return false; // nothing to capture yet: keep picking
    m_nVertices = m_nShapePoints = n;
    m_rc = rc;
    m_size = {rc.Width(), rc.Height()};
    EnterFinish();
    return true;
}
