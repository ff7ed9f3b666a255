// SPDX-License-Identifier: MIT
// What `quorvi --help` says of the capture command. The command runs in a program of its own,
// quorvi-capture (see CaptureLauncher.cpp); both register it with these texts.
#pragma once

namespace cli {

inline constexpr const char* kCaptureUsage =
    "desktop|active|client|rect X,Y,W,H|window-at X,Y [--pointer] [--delay MS] [-o FILE] "
    "[--foreground]";
inline constexpr const char* kCaptureSummary =
    "grab the screen into FILE (format by extension) or onto the clipboard; the clipboard is "
    "served from the background until another program takes it or a clipboard manager keeps it "
    "(--foreground: wait for that)";

} // namespace cli
