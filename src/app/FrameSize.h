// SPDX-License-Identifier: MIT
// The main window's size at start-up, from the screen it opens on.
#pragma once

#include <QRect>
#include <QSize>

#include <algorithm>

// Three quarters of the screen's available area (logical pixels, so the same share at every
// scale), but at least what the window needs to show its toolbar and status panes whole, and
// never more than the area itself.
inline QSize StartupFrameSize(const QRect& available, const QSize& needed) {
    const QSize share = available.size() * 3 / 4;
    const QSize wanted(std::max(share.width(), needed.width()),
                       std::max(share.height(), needed.height()));
    return wanted.boundedTo(available.size());
}
