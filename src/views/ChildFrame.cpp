// SPDX-License-Identifier: MIT
// The image window.
#include "views/ChildFrame.h"

#include "framework/CommandIds.h"
#include "framework/ui/CommandIcons.h"

CChildFrame::CChildFrame() {
    const QIcon icon = CCommandIcons::Get().Icon(IDR_IMAGE_FRAME_ICON);
    if (!icon.isNull())
        setWindowIcon(icon);
}
