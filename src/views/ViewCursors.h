// SPDX-License-Identifier: MIT
// The image view's own cursors, drawn from SVG at the screen's device pixel ratio so that they
// stay sharp at 1x and 2x.
#pragma once

#include <QCursor>

class CViewCursors {
public:
    // The cursor resources by number.
    enum ECursor {
        IDC_SELECT = 101,   // over the image in selection mode
        IDC_PAN_DRAG = 122, // while a pan drag runs
        IDC_PAN = 133,      // over a view that can scroll, in browse mode
        IDC_MOVE = 170,     // over the selection: a press drags it
    };

    // The cursor for dDevicePixelRatio; the arrow when the picture cannot be drawn.
    static QCursor Load(ECursor id, double dDevicePixelRatio);
    // The picture alone, dDevicePixelRatio x 32 pixels a side (null when missing).
    static QImage Picture(ECursor id, double dDevicePixelRatio);
};
