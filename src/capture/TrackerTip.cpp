// SPDX-License-Identifier: MIT
// The pickers' info box: texts, size and placement.
#include "capture/TrackerTip.h"

#include <algorithm>
#include <climits>
#include <cstdint>

using capture::Point;
using capture::Rect;
using capture::Size;

std::string CTrackerTip::SizeText(int cx, int cy) {
    std::string text = kSizeFormat;
    const std::string w = std::to_string(cx), h = std::to_string(cy);
    text.replace(text.find("%1"), 2, w);
    text.replace(text.find("%2"), 2, h);
    return text;
}

void CTrackerTip::Prepare(Size hintExtent, Size sizeExtent) noexcept {
    m_sizeBox.cx = std::max(sizeExtent.cx + 8, hintExtent.cx + 1);
    m_sizeBox.cy = std::max(sizeExtent.cy + 8, hintExtent.cy + 6);
}

const Rect* CTrackerTip::MonitorFor(Point p) const noexcept {
    const Rect* best = nullptr;
    std::int64_t bestDistance = INT64_MAX;
    for (const Rect& m : m_monitors) {
        if (m.IsEmpty())
            continue;
        if (m.Contains(p))
            return &m;
        // Between monitors (layouts with gaps): the nearest one.
        const std::int64_t dx = std::max({m.left - p.x, 0, p.x - (m.right - 1)});
        const std::int64_t dy = std::max({m.top - p.y, 0, p.y - (m.bottom - 1)});
        if (dx * dx + dy * dy < bestDistance) {
            bestDistance = dx * dx + dy * dy;
            best = &m;
        }
    }
    return best;
}

Point CTrackerTip::PlaceBeside(Point p, const Rect* m) const noexcept {
    Point box{p.x + 2, p.y + 2};
    if (!m)
        return box;
    if (p.x + m_sizeBox.cx + 6 >= m->right)
        box.x = m->right - m_sizeBox.cx - 4;
    if (p.y + m_sizeBox.cy + 6 >= m->bottom)
        box.y = m->bottom - m_sizeBox.cy - 4;
    // A box wider or taller than its monitor keeps its start on it.
    box.x = std::max(box.x, m->left);
    box.y = std::max(box.y, m->top);
    return box;
}

// On the monitor, with the same 4-pixel gap to the right and bottom edges as PlaceBeside.
bool CTrackerTip::Fits(Point at, const Rect* m) const noexcept {
    return !m || (at.x >= m->left && at.y >= m->top && at.x + m_sizeBox.cx + 4 <= m->right &&
                  at.y + m_sizeBox.cy + 4 <= m->bottom);
}

Point CTrackerTip::PlaceFor(Point p, const Rect& rcAvoid) const noexcept {
    const Rect* m = MonitorFor(p);
    const Point beside = PlaceBeside(p, m);
    if (rcAvoid.IsEmpty())
        return beside;
    const int cx = m_sizeBox.cx, cy = m_sizeBox.cy;
    // The four corners around the pointer first (the usual one leading), then hugging the
    // area's sides for when the pointer is near a monitor corner.
    const Point candidates[] = {
        {p.x + 2, p.y + 2},
        {p.x - 2 - cx, p.y + 2},
        {p.x + 2, p.y - 2 - cy},
        {p.x - 2 - cx, p.y - 2 - cy},
        {beside.x, rcAvoid.bottom + 2},
        {beside.x, rcAvoid.top - 2 - cy},
        {rcAvoid.right + 2, beside.y},
        {rcAvoid.left - 2 - cx, beside.y},
    };
    for (const Point& at : candidates) {
        const Rect box = Rect::FromSize(at.x, at.y, cx, cy);
        if (Fits(at, m) && box.Intersect(rcAvoid).IsEmpty())
            return at;
    }
    return beside;
}

void CTrackerTip::MoveTo(Point p, TipMode mode, int cx, int cy, const Rect& rcAvoid) {
    m_mode = mode;
    m_strText = mode == TipMode::Hint ? std::string(kHintText) : SizeText(cx, cy);
    m_ptBox = PlaceFor(p, rcAvoid);
    m_bPlaced = true;
}
