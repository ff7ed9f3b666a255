// SPDX-License-Identifier: MIT
// CChildFrame: the window of one image inside the main window's MDI area, showing the image
// window icon; everything else is the framework's MDI child.
#pragma once

#include "framework/ui/MDIChildWnd.h"

class CChildFrame : public CMDIChildWnd {
    Q_OBJECT

public:
    CChildFrame();
};
