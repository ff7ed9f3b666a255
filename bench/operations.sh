#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Whole commands against peers: `quorvi convert big.bmp out.bmp --OPERATION` beside the same work
# in ImageMagick and libvips (VIPS_CONCURRENCY=1 and default threads), timed by hyperfine in one
# run on the same file. Prints mean times and each peer's time as a ratio to quorvi's.
#
#   bench/operations.sh [QUORVI] [RUNS]
#
# QUORVI defaults to build/cli/quorvi; RUNS to 5. FORMAT=tif uses uncompressed TIFF instead of
# BMP (libvips reads and writes BMP through its ImageMagick loader). ONLY="invert flip-h" runs a
# subset. The 3840x2160 input is made once in $WORK (default /dev/shm/quorvi-ops: the save of
# quorvi convert syncs its file to disk, which a memory file system makes free as the peers
# do not sync).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
quorvi="$(realpath "${1:-$here/../build/cli/quorvi}")"
runs="${2:-5}"
format="${FORMAT:-bmp}"
work="${WORK:-/dev/shm/quorvi-ops}"
for tool in hyperfine convert vips python3; do
    command -v "$tool" > /dev/null || { echo "operations.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
# ImageMagick's own program, not a wrapper that some machines put first on PATH.
magick="$(command -v convert-im6.q16 || command -v convert)"
[ -x "$quorvi" ] || { echo "operations.sh: no quorvi at $quorvi (build it first)" >&2; exit 1; }

mkdir -p "$work"
cd "$work"
in="big.$format"
if [ ! -f "$in" ]; then
    # A photo-like picture: smooth colour fields with fine noise, no alpha.
    "$magick" -size 3840x2160 plasma:fractal -blur 0x1 -attenuate 0.3 +noise Gaussian -alpha off \
        -depth 8 -type TrueColor -compress none "$in"
fi
out="out.$format"

# name | quorvi options | ImageMagick options | vips command (after "vips"; IN and OUT replaced)
ops=(
    "invert|--invert|-negate|invert IN OUT"
    "flip-h|--flip-h|-flop|flip IN OUT horizontal"
    "flip-v|--flip-v|-flip|flip IN OUT vertical"
    "rotate-cw|--rotate-cw|-rotate 90|rot IN OUT d90"
    "rotate-ccw|--rotate-ccw|-rotate -90|rot IN OUT d270"
    "rotate-30|--rotate 30|-interpolate Nearest -virtual-pixel Background -background rgb(192,192,192) +distort SRT -30 +repage|rotate IN OUT 30 --interpolate nearest --background 192,192,192"
    "grayscale|--grayscale|-grayscale Rec709Luma|colourspace IN OUT b-w"
    "brightness|--brightness 50|-evaluate add 18%|linear IN OUT 1 45.9"
    "contrast|--contrast 15|-function Polynomial 1.5,-0.2451|linear -- IN OUT 1.5 -62.5"
    "crop|--crop 960,540,2880,1620|-crop 1920x1080+960+540 +repage|crop IN OUT 960 540 1920 1080"
    "scale-50|--scale 50|-filter Triangle -resize 50%|resize IN OUT 0.5 --kernel linear"
    "scale-200|--scale 200|-filter Triangle -resize 200%|resize IN OUT 2 --kernel linear"
    "box-50|--scale 50:box|-filter Box -resize 50%|"
    "gaussian-50|--scale 50:gaussian|-filter Gaussian -resize 50%|"
    "hamming-50|--scale 50:hamming|-filter Hamming -resize 50%|"
    "intensity|--intensity 60||"
)

# A run with ONLY keeps the other operations' last results, so a table can be completed.
results="$work/results"
[ -n "${ONLY:-}" ] || rm -rf "$results"
mkdir -p "$results"
for entry in "${ops[@]}"; do
    IFS='|' read -r name qopts mopts vcmd <<< "$entry"
    if [ -n "${ONLY:-}" ] && ! [[ " $ONLY " == *" $name "* ]]; then
        continue
    fi
    cmds=(-n quorvi "$quorvi convert $in $out $qopts")
    [ -n "$mopts" ] && cmds+=(-n imagemagick "$magick $in $mopts $out")
    if [ -n "$vcmd" ]; then
        v="${vcmd//IN/$in}"
        v="${v//OUT/$out}"
        cmds+=(-n vips-1thread "env VIPS_CONCURRENCY=1 vips $v" -n vips "vips $v")
    fi
    echo "== $name" >&2
    hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$results/$name.json" "${cmds[@]}" > /dev/null
done

python3 - "$results" <<'PY'
import json, os, sys
rows = []
for f in sorted(os.listdir(sys.argv[1]), key=lambda n: os.path.getmtime(os.path.join(sys.argv[1], n))):
    data = json.load(open(os.path.join(sys.argv[1], f)))
    times = {r["command"]: (r["mean"] * 1000, (r["user"] + r["system"]) * 1000) for r in data["results"]}
    rows.append((f[:-5], times))
# On a busy machine wall time mostly measures waiting for a processor; CPU time (user + system)
# is the work. The threaded vips run is compared by wall time, the others by CPU time.
print("mean wall ms / CPU ms per command; ratio = peer / quorvi (above 1: quorvi is faster)")
print(f"{'operation':<12} {'quorvi':>11} {'ImageMagick':>13} {'ratio':>6} {'vips 1 thread':>14} {'ratio':>6} {'vips':>11} {'ratio':>6}")
for name, t in rows:
    qw, qc = t["quorvi"]
    def cell(key, width, by_wall=False):
        if key not in t:
            return f"{'-':>{width}}", f"{'-':>6}"
        w, c = t[key]
        ratio = w / qw if by_wall else c / qc
        return f"{w:>{width - 6}.0f}/{c:<5.0f}", f"{ratio:>6.2f}"
    im, imr = cell("imagemagick", 13)
    v1, v1r = cell("vips-1thread", 14)
    v, vr = cell("vips", 11, True)
    print(f"{name:<12} {qw:>5.0f}/{qc:<5.0f} {im} {imr} {v1} {v1r} {v} {vr}")
PY
