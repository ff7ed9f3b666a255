// SPDX-License-Identifier: MIT
// Whether the program runs in a Wayland session, where the screen is read through the desktop
// portal and window positions are not given to programs.
#pragma once

namespace capture {

// WAYLAND_DISPLAY set, or XDG_SESSION_TYPE=wayland. QUORVI_CAPTURE=x11 keeps the X11 path
// (an X server of its own inside a Wayland desktop, for one).
bool IsWaylandSession() noexcept;

} // namespace capture
