#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Capture soak: 300 desktop captures in a row in one process, each on the clipboard (read back
# by xclip) and saved under an automatic name, on a private Xvfb. Prints resident memory and the
# process's X resources along the way; the last line gives their change after warm-up.
# Not part of the test run (it takes minutes):
#   bash bench/capture-soak.sh [build-dir]     ROUNDS=300 SIZE=1920x1080
set -euo pipefail

build=${1:-build}
measure=$(realpath "$build/bench/measure_CaptureSoakMeasure")
[ -x "$measure" ] || { echo "capture-soak.sh: build the measure_CaptureSoakMeasure target first" >&2; exit 1; }
for tool in Xvfb xclip xrestop; do
    command -v "$tool" >/dev/null || { echo "capture-soak.sh: $tool is needed (scripts/install-deps.sh)" >&2; exit 1; }
done
size=${SIZE:-1920x1080}

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>display.txt >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s display.txt ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 display.txt)
convert -size "$size" -seed 3 plasma:fractal screen.png
# display paints the root and then exits with 1 on Xvfb.
display -window root screen.png || true
"$measure" "${ROUNDS:-300}" "$work"
