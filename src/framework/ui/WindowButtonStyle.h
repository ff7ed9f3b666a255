// SPDX-License-Identifier: MIT
// CWindowButtonStyle: the application's style, with the images of the image windows' buttons
// (system menu, minimise, maximise, restore, close, ...) made once for the whole program.
#pragma once

#include <QIcon>
#include <QProxyStyle>

#include <array>

class CWindowButtonStyle final : public QProxyStyle {
    Q_OBJECT

public:
    // Over the style the application would use without it.
    CWindowButtonStyle();

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* pOption = nullptr,
                       const QWidget* pWidget = nullptr) const override;

private:
    // The base style makes new icons each time it paints a window's buttons (in the menu bar
    // while the window is maximised), and each new icon leaves its pixmaps in the process-wide
    // pixmap cache under keys no later paint asks for. They cost nothing by the cache's measure
    // (less than a kilobyte each), so nothing ever evicted them: every window opened, activated
    // or repainted kept about 3 KB for good.
    mutable std::array<QIcon, SP_TitleBarContextHelpButton + 1> m_buttonIcons;
};
