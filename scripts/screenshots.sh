#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Screenshots of the running program on a private Xvfb + openbox at 100 % and 200 % device
# scale (the 200 % one on a screen twice as large, as a HiDPI monitor is): the main window is
# brought forward by a second start, then two images are opened through File Open.
#   bash scripts/screenshots.sh [build-dir] [out-dir]    -> OUT/shot-100.png, OUT/shot-200.png
set -euo pipefail
build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-screenshots}")
studio=$build/src/app/quorvi-studio
[ -x "$studio" ] || { echo "screenshots.sh: build quorvi-studio first ($studio)" >&2; exit 1; }
for tool in Xvfb openbox xdotool convert import; do
    command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is needed (scripts/install-deps.sh)" >&2; exit 1; }
done
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
convert -size 800x600 -seed 5 plasma:fractal "$work/photo.png"
convert -size 300x200 gradient:red-blue "$work/small.png"

shoot() { # scale screen
    local scale=$1 screen=$2
    export HOME=$work/home$scale XDG_CONFIG_HOME=$work/home$scale/.config XDG_RUNTIME_DIR=$work/run$scale
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=:$(head -n1 "$work/display")
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    QT_SCALE_FACTOR=$scale "$studio" &
    local app=$!
    pids+=($app)
    sleep 4
    # The program starts in the tray; a second start brings its window forward and ends.
    QT_SCALE_FACTOR=$scale "$studio"
    sleep 2
    for image in photo small; do
        xdotool key ctrl+o && sleep 2
        xdotool type --delay 10 "$work/$image.png" && xdotool key Return && sleep 3
    done
    import -window root "$out/shot-$((scale * 100)).png"
    kill "$app" 2>/dev/null || true
}
shoot 1 1600x1000
shoot 2 3200x2000
echo "screenshots in $out"
