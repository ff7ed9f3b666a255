#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Whole commands against peers: `quorvi convert big.bmp out.bmp --OPERATION` beside the same work
# in GraphicsMagick, ImageMagick, libvips and netpbm, each on PPM (their cheapest format: no
# header to speak of, rows top-down) and each writing a new file, timed by hyperfine in one run.
# Prints mean wall times and quorvi's time as a ratio to the fastest peer (below 1: quorvi is
# faster).
#
#   bench/operations.sh [QUORVI] [RUNS]
#
# QUORVI defaults to build/cli/quorvi; RUNS to 10. ONLY="invert flip" runs a subset (the other
# rows keep their last results). The 3840x2160 input is made once in $WORK (default
# /dev/shm/quorvi-ops, a memory file system: the save of quorvi convert syncs its file, which a
# disk would charge to quorvi alone). Run it on a quiet machine: the figures are wall times.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
quorvi="$(realpath "${1:-$here/../build/cli/quorvi}")"
runs="${2:-10}"
work="${WORK:-/dev/shm/quorvi-ops}"
for tool in hyperfine gm vips pamflip python3; do
    command -v "$tool" > /dev/null || { echo "operations.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
# ImageMagick's own program, not a wrapper that some machines put first on PATH.
magick="$(command -v convert-im6.q16 || command -v convert)"
[ -x "$quorvi" ] || { echo "operations.sh: no quorvi at $quorvi (build it first)" >&2; exit 1; }

mkdir -p "$work"
cd "$work"
if [ ! -f big.bmp ] || [ ! -f big.ppm ]; then
    # A photo-like picture: smooth colour fields with fine noise, no alpha.
    "$magick" -size 3840x2160 plasma:fractal -blur 0x1 -attenuate 0.3 +noise Gaussian -alpha off \
        -depth 8 -type TrueColor big.ppm
    "$magick" big.ppm -type TrueColor BMP3:big.bmp
fi

# name | quorvi options | GraphicsMagick options | ImageMagick options | vips command (IN, OUT
# replaced) | netpbm pipeline (reads stdin, writes stdout) | peers' output extension
ops=(
    "copy||||copy IN OUT|pamtopnm|ppm"
    "invert|--invert|-negate|-negate|invert IN OUT|pnminvert|ppm"
    "grayscale|--grayscale|-colorspace GRAY -type Grayscale|-grayscale Rec709Luma|colourspace IN OUT b-w|ppmtopgm|pgm"
    "flip|--flip-h|-flop|-flop|flip IN OUT horizontal|pamflip -lr|ppm"
    "rotate-90|--rotate-cw|-rotate 90|-rotate 90|rot IN OUT d90|pamflip -cw|ppm"
    "rotate-45|--rotate 45|-background rgb(192,192,192) -rotate -45|-interpolate Nearest -virtual-pixel Background -background rgb(192,192,192) +distort SRT -45 +repage|rotate IN OUT 45 --interpolate nearest --background 192,192,192|pnmrotate -noantialias -background=rgb:c0/c0/c0 45|ppm"
    "resize-50|--scale 50|-filter Triangle -resize 50%|-filter Triangle -resize 50%|resize IN OUT 0.5 --kernel linear|pamscale 0.5|ppm"
)

results="$work/results"
[ -n "${ONLY:-}" ] || rm -rf "$results"
mkdir -p "$results"
for entry in "${ops[@]}"; do
    IFS='|' read -r name qopts gopts mopts vcmd ncmd ext <<< "$entry"
    if [ -n "${ONLY:-}" ] && ! [[ " $ONLY " == *" $name "* ]]; then
        continue
    fi
    v="${vcmd//IN/big.ppm}"
    v="${v//OUT/out-vips.$ext}"
    cmds=(-n quorvi "$quorvi convert big.bmp out-quorvi.bmp $qopts"
          -n GraphicsMagick "gm convert big.ppm $gopts out-gm.$ext"
          -n ImageMagick "$magick big.ppm $mopts out-im.$ext"
          -n vips "vips $v"
          -n netpbm "sh -c '$ncmd < big.ppm > out-netpbm.$ext'")
    echo "== $name" >&2
    hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$results/$name.json" "${cmds[@]}" > /dev/null
done

python3 - "$results" <<'PY'
import json, os, sys
order = ["copy", "invert", "grayscale", "flip", "rotate-90", "rotate-45", "resize-50"]
peers = ["GraphicsMagick", "ImageMagick", "vips", "netpbm"]
print("mean wall ms (CPU ms = user + system); ratio = quorvi / fastest peer (target <= 0.70)")
print(f"{'operation':<10} {'quorvi':>11} " + " ".join(f"{p:>15}" for p in peers) + f" {'fastest':>15} {'ratio':>6}")
for name in order:
    path = os.path.join(sys.argv[1], name + ".json")
    if not os.path.exists(path):
        continue
    t = {r["command"]: (r["mean"] * 1000, (r["user"] + r["system"]) * 1000)
         for r in json.load(open(path))["results"]}
    cell = lambda k: f"{t[k][0]:>6.0f} ({t[k][1]:>4.0f})"
    fastest = min(peers, key=lambda p: t[p][0])
    ratio = t["quorvi"][0] / t[fastest][0]
    print(f"{name:<10} {cell('quorvi'):>11} " + " ".join(f"{cell(p):>15}" for p in peers) +
          f" {fastest:>15} {ratio:>6.2f}")
PY
