// SPDX-License-Identifier: MIT
// The window buttons' images.
#include "framework/ui/WindowButtonStyle.h"

CWindowButtonStyle::CWindowButtonStyle() : QProxyStyle(nullptr) {}

QIcon CWindowButtonStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* pOption,
                                       const QWidget* pWidget) const {
    // The buttons' images depend on the button alone, not on the window that shows them.
    if (standardIcon < SP_TitleBarMenuButton || standardIcon > SP_TitleBarContextHelpButton)
        return QProxyStyle::standardIcon(standardIcon, pOption, pWidget);
    QIcon& icon = m_buttonIcons[standardIcon];
    if (icon.isNull())
        icon = QProxyStyle::standardIcon(standardIcon, pOption, pWidget);
    return icon;
}
