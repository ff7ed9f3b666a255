#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# `quorvi capture desktop -o x.png` against `import -window root`, `scrot` and `maim` on the same
# Xvfb display, in one run per screen size, timed with hyperfine. Prints mean times and each
# peer's time divided by quorvi's (above 1: quorvi is faster). Peers not installed are skipped.
#   bash bench/capture.sh [build-dir]      SIZES="1920x1080 3840x2160" RUNS=10
set -euo pipefail

build=${1:-build}
quorvi=$(realpath "$build/cli/quorvi")
[ -x "$quorvi" ] || { echo "capture.sh: no quorvi at $quorvi (build it first)" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "capture.sh: hyperfine is needed (scripts/install-deps.sh)" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "capture.sh: Xvfb is needed (scripts/install-deps.sh)" >&2; exit 1; }
sizes=${SIZES:-"1920x1080 3840x2160"}
runs=${RUNS:-10}

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config
cd "$work"

for size in $sizes; do
    w=${size%x*}
    h=${size#*x}
    rm -f display.txt
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>display.txt >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s display.txt ] && break; sleep 0.1; done
    number=$(head -n1 display.txt)
    [ -n "$number" ] || { echo "capture.sh: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=:$number

    # A screen like a desktop's: flat panels, lines of text and a photo-like area (plasma), so
    # that the PNG encoders see both easy and hard data.
    text=()
    for i in $(seq 0 30); do
        text+=(-annotate "+20+$((h / 30 + 40 + i * 28))" "Line $i of some text in a window, as a terminal or editor shows it")
    done
    convert -size "${w}x${h}" xc:'#e8e8e8' \
        \( -size "$((w / 2))x$((h / 2))" -seed 7 plasma:fractal \) -geometry "+$((w / 4))+$((h / 8))" -composite \
        -fill '#2060a0' -draw "rectangle 0,0 $w,$((h / 30))" \
        -fill black -pointsize 18 "${text[@]}" screen.png
    # display paints the root and then exits with 1 on Xvfb; the root is checked below instead.
    display -window root screen.png || true
    import -window root -crop 1x1+0+0 -format '%[pixel:p{0,0}]' info: | grep -q 'srgb(32,96,160)' ||
        { echo "capture.sh: the test screen did not reach the root window" >&2; exit 1; }

    commands=(-n quorvi "$quorvi capture desktop -o q.png")
    command -v import >/dev/null && commands+=(-n import "import -window root i.png")
    command -v scrot >/dev/null && commands+=(-n scrot "scrot -o s.png")
    command -v maim >/dev/null && commands+=(-n maim "maim m.png")
    echo "== $size on $DISPLAY"
    hyperfine -N --warmup 2 --runs "$runs" --export-json "times-$size.json" "${commands[@]}" >/dev/null
    for f in q.png i.png s.png m.png; do [ -f "$f" ] && printf '%s %s bytes\n' "$f" "$(stat -c %s "$f")"; done
    python3 - "times-$size.json" <<'EOF'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
q = results["quorvi"]["mean"]
print(f"{'command':<8} {'mean ms':>9} {'stddev':>8} {'min ms':>8} {'peer/quorvi':>12}")
for name, r in results.items():
    print(f"{name:<8} {r['mean'] * 1000:9.1f} {r['stddev'] * 1000:8.1f} {r['min'] * 1000:8.1f} {r['mean'] / q:12.2f}")
EOF
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
done
