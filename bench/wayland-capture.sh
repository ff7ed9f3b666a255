#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A desktop capture in a headless Wayland session (sway at 1920x1080, XWayland, the desktop
# portal with the wlroots backend) against grim alone, in one run. The portal's round trip runs
# grim itself and dominates; the figure that is ours is what the program adds once the portal
# has answered: reading its picture and, for the pickers, the overlay painted on screen. Prints
# medians over RUNS captures of each.
#   bash bench/wayland-capture.sh [build-dir]      RUNS=10
set -euo pipefail

build=$(realpath "${1:-build}")
runs=${RUNS:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
quorvi=$build/cli/quorvi
studio=$build/src/app/quorvi-studio
pointer=$build/tests/support/wl-pointer
for program in "$quorvi" "$studio" "$pointer"; do
    [ -x "$program" ] || { echo "wayland-capture.sh: no $program (build it first)" >&2; exit 1; }
done

work=$(mktemp -d)
chmod 0755 "$work"
session_pid=
studio_pid=
cleanup() {
    [ -n "${KEEP:-}" ] && cp "$work"/*.log /tmp/ 2> /dev/null || true
    [ -n "$studio_pid" ] && kill "$studio_pid" 2> /dev/null || true
    if [ -n "$session_pid" ]; then
        kill -TERM -- "-$session_pid" 2> /dev/null || true
        sleep 1
        kill -KILL -- "-$session_pid" 2> /dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/session"
QUORVI_WAYLAND_OWNER=$$ setsid "$here/tests/support/wayland/wayland-session.sh" "$work/session" \
    > "$work/session.log" 2>&1 &
session_pid=$!
for _ in $(seq 900); do [ -f "$work/session/env" ] && break; sleep 0.1; done
[ -f "$work/session/env" ] || { echo "wayland-capture.sh: the session did not start" >&2; cat "$work/session.log" >&2; exit 1; }
set -a
. "$work/session/env"
set +a
export XDG_SESSION_TYPE=wayland HOME=$work/home XDG_CONFIG_HOME=$work/home/config
export XDG_RUNTIME_DIR=$work/home/runtime QUORVI_TIMING=1
unset QT_QPA_PLATFORM
mkdir -p "$XDG_RUNTIME_DIR" && chmod 0700 "$XDG_RUNTIME_DIR"

now_ms() { date +%s%N | awk '{ printf "%.1f", $1 / 1e6 }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# grim alone: the screen read and written as PNG, which is what the portal has done when it
# answers.
: > "$work/grim.txt"
for _ in $(seq "$runs"); do
    start=$(now_ms)
    grim "$work/grim.png"
    end=$(now_ms)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f\n", b - a }' >> "$work/grim.txt"
done

# quorvi capture desktop: the portal's answer and our reading of its picture.
: > "$work/answer.txt"
: > "$work/read.txt"
: > "$work/read-cpu.txt"
for _ in $(seq "$runs"); do
    "$quorvi" capture desktop -o "$work/desktop.bmp" 2> "$work/cli.log"
    sed -n 's/^timing: portal answer \([0-9.]*\) ms, picture read in \([0-9.]*\) ms (\([0-9.]*\) ms CPU)$/\1 \2 \3/p' \
        "$work/cli.log" | while read -r answer read cpu; do
        echo "$answer" >> "$work/answer.txt"
        echo "$read" >> "$work/read.txt"
        echo "$cpu" >> "$work/read-cpu.txt"
    done
done

# The program's rectangle picker: the picture read and the overlay painted after the answer;
# a small drag ends each pick, into an image window only.
"$quorvi" settings CaptureOptions/OptionsA 40 > "$work/settings.log" 2>&1
"$studio" > "$work/studio.log" 2>&1 &
studio_pid=$!
for _ in $(seq 300); do [ -S "$XDG_RUNTIME_DIR/QuorviStudio.socket" ] && break; sleep 0.1; done
coproc POINTER { WAYLAND_DISPLAY=$WAYLAND_DISPLAY "$pointer" 1920 1080; }
read -r _ <&"${POINTER[0]}"
: > "$work/overlay.txt"
painted() { grep -c 'overlay painted' "$work/studio.log" || true; }
for i in $(seq "$runs"); do
    # A capture asked for while the last one is still being delivered is ignored: ask again.
    for _ in $(seq 20); do
        "$studio" --capture rectangle
        for _ in $(seq 40); do [ "$(painted)" -ge "$i" ] && break; sleep 0.05; done
        [ "$(painted)" -ge "$i" ] && break
    done
    for command in "move 900 500" down "move 960 540" up; do
        echo "$command" >&"${POINTER[1]}"
        read -r _ <&"${POINTER[0]}"
    done
done
sed -n 's/.*overlay painted \([0-9.]*\) ms after the answer (\([0-9.]*\) ms CPU)$/\1/p' "$work/studio.log" > "$work/overlay.txt"
sed -n 's/.*overlay painted \([0-9.]*\) ms after the answer (\([0-9.]*\) ms CPU)$/\2/p' "$work/studio.log" > "$work/overlay-cpu.txt"

grim_ms=$(median < "$work/grim.txt")
answer_ms=$(median < "$work/answer.txt")
read_ms=$(median < "$work/read.txt")
read_cpu=$(median < "$work/read-cpu.txt")
overlay_ms=$(median < "$work/overlay.txt")
overlay_cpu=$(median < "$work/overlay-cpu.txt")
echo "1920x1080, medians of $runs runs:"
echo "  grim alone (screen to PNG file):             $grim_ms ms"
echo "  portal round trip (runs grim itself):        $answer_ms ms"
echo "  ours: portal picture read (quorvi capture):  $read_ms ms ($read_cpu ms CPU)"
echo "  ours: picture read + overlay painted:        $overlay_ms ms ($overlay_cpu ms CPU; target: under 60 ms)"
echo "  load average: $(cut -d' ' -f1-3 /proc/loadavg) (wall times stretch with it; CPU times do not)"
