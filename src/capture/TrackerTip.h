// SPDX-License-Identifier: MIT
// The pickers' info box: its texts, its size from the measured texts, and where it goes beside
// the pointer so that it stays on the pointer's monitor.
#pragma once

#include "capture/CaptureGeometry.h"

#include <string>
#include <vector>

class CTrackerTip {
public:
    static constexpr int kHintStringId = 136;
    static constexpr int kSizeStringId = 137;
    static constexpr const char* kHintText =
        "Hotkey: [Left,Up,Right,Down,Shift,ESC,Left or Right click mouse]";
    static constexpr const char* kSizeFormat =
        "Size [%1,%2] | [Right click to toggle between stretch and move]";
    enum class TipMode { Hint = 1, Size = 2 };

    // kSizeFormat with %1 = cx and %2 = cy in decimal.
    static std::string SizeText(int cx, int cy);
    // The text the box must hold at its widest: kSizeFormat with "8888" twice.
    static std::string WidestSizeText() { return SizeText(8888, 8888); }

    // Sets the box size from the measured text extents of kHintText and WidestSizeText().
    void Prepare(capture::Size hintExtent, capture::Size sizeExtent) noexcept;
    capture::Size BoxSize() const noexcept { return m_sizeBox; }

    // Monitor rectangles in root coordinates; the box stays on the one holding the pointer.
    void SetMonitors(std::vector<capture::Rect> monitors) { m_monitors = std::move(monitors); }
    const std::vector<capture::Rect>& Monitors() const noexcept { return m_monitors; }

    // Top-left corner of the box for pointer p: 2 pixels right of and below the pointer, pulled
    // back inside the monitor's right and bottom edges. With a non-empty rcAvoid (the area being
    // picked) the box goes to whichever side of the pointer, or of that area, keeps it off the
    // area and on the monitor; only when no such place exists does it fall back to the above.
    capture::Point PlaceFor(capture::Point p, const capture::Rect& rcAvoid = {}) const noexcept;

    // Moves the box to pointer p showing the hint, or the size text for cx x cy, off rcAvoid.
    void MoveTo(capture::Point p, TipMode mode, int cx = 0, int cy = 0,
                const capture::Rect& rcAvoid = {});
    void Hide() noexcept { m_bPlaced = false; }

    bool IsPlaced() const noexcept { return m_bPlaced; }
    TipMode Mode() const noexcept { return m_mode; }
    const std::string& Text() const noexcept { return m_strText; }
    capture::Rect BoxRect() const noexcept {
        return capture::Rect::FromSize(m_ptBox.x, m_ptBox.y, m_sizeBox.cx, m_sizeBox.cy);
    }

private:
    const capture::Rect* MonitorFor(capture::Point p) const noexcept;
    capture::Point PlaceBeside(capture::Point p, const capture::Rect* pMonitor) const noexcept;
    bool Fits(capture::Point at, const capture::Rect* pMonitor) const noexcept;

    capture::Size m_sizeBox;
    std::vector<capture::Rect> m_monitors;
    bool m_bPlaced = false;
    TipMode m_mode = TipMode::Hint;
    std::string m_strText;
    capture::Point m_ptBox;
};
