#!/usr/bin/env bash
# Decode and encode speed of every file format through `quorvi convert`, against ImageMagick's
# `convert` and libvips' `vips copy` (also with VIPS_CONCURRENCY=1), on one 3840x2160
# photo-like picture, in one hyperfine run. Prints a table of mean times and ratios.
#
# Decode X: X -> each tool's cheapest output (quorvi: BMP; convert: PPM; vips: its .v format).
# Encode Y: each tool's cheapest input (quorvi and convert: BMP; vips: .v) -> Y.
# Work files live in /dev/shm when it exists, so disk speed and fsync stay out of the figures.
#
# FORMATS_CLOCK=cpu ranks by processor time (user + system) instead of wall time: steadier on
# a busy machine, though multi-threaded vips then counts every thread's time.
#
# Usage: bench/formats.sh [path/to/quorvi] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quorvi=$(realpath "${1:-$root/build/cli/quorvi}")
runs=${2:-5}
for tool in hyperfine convert vips python3; do
    command -v "$tool" >/dev/null || { echo "formats.sh: $tool is missing" >&2; exit 1; }
done
[ -x "$quorvi" ] || { echo "formats.sh: $quorvi is not built" >&2; exit 1; }

base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/quorvi-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "== making the 3840x2160 picture and its copies in every format"
# Smooth shapes with fine grain, like a photograph: a blurred plasma with a little noise.
convert -size 960x540 -seed 42 plasma:fractal -resize 3840x2160! -blur 0x3 \
        -attenuate 0.3 +noise Gaussian -depth 8 photo.ppm
convert photo.ppm -type truecolor BMP3:photo.bmp
convert photo.ppm photo.tga
convert photo.ppm photo.pcx
convert photo.ppm -colorspace gray photo.pgm
convert photo.ppm -quality 90 photo.jpg
convert photo.ppm photo.png
convert photo.ppm -compress None photo.tif
convert photo.ppm +dither -colors 256 photo.gif
vips copy photo.ppm photo.v

decode_formats=(bmp tga pcx pgm jpg png tif gif)
encode_formats=(bmp jpg png tif gif)
commands=()
names=()
add() { names+=("$1"); commands+=("$2"); }
for f in "${decode_formats[@]}"; do
    add "decode $f quorvi" "$quorvi convert photo.$f q-$f.bmp"
    add "decode $f convert" "convert photo.$f ppm:m-$f.ppm"
    add "decode $f vips" "vips copy photo.$f v-$f.v"
    add "decode $f vips1" "VIPS_CONCURRENCY=1 vips copy photo.$f v1-$f.v"
done
# JPEG at quality 90 for every tool (their defaults differ: 95, 92 and 75).
for f in "${encode_formats[@]}"; do
    q=""; mq=""; vq=""
    if [ "$f" = jpg ]; then q=" --quality 90"; mq=" -quality 90"; vq="[Q=90]"; fi
    # libvips writes PNG rows unfiltered unless asked; with filter=all it does libpng's
    # adaptive filtering like the others (the same work: its file then has our size to 10 bytes).
    if [ "$f" = png ]; then vq="[filter=all]"; fi
    add "encode $f quorvi" "$quorvi convert photo.bmp out-q.$f$q"
    add "encode $f convert" "convert photo.bmp$mq out-m.$f"
    add "encode $f vips" "vips copy photo.v out-v.$f$vq"
    add "encode $f vips1" "VIPS_CONCURRENCY=1 vips copy photo.v out-v1.$f$vq"
done

args=()
for i in "${!commands[@]}"; do
    args+=(-n "${names[$i]}" "${commands[$i]}")
done
echo "== timing ${#commands[@]} commands, $runs runs each"
# A command that fails (a peer without that format) is kept out of the table, not fatal.
hyperfine --warmup 1 --runs "$runs" --ignore-failure --style basic --export-json times.json "${args[@]}" >/dev/null

FORMATS_CLOCK=${FORMATS_CLOCK:-wall} python3 - times.json <<'PY'
import json, os, sys
cpu_clock = os.environ["FORMATS_CLOCK"] == "cpu"
print("clock:", "processor time (user + system)" if cpu_clock else "wall time")
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
# Peers decoding or encoding with the same library as quorvi (others use their own code).
same_library = {"jpg": {"convert", "vips", "vips1"}, "png": {"convert", "vips", "vips1"},
                "tif": {"convert", "vips", "vips1"}, "gif": set()}
own_readers = {"bmp", "tga", "pcx", "pgm"}
def mean(op, fmt, tool):
    r = results.get(f"{op} {fmt} {tool}")
    if not r or any(code != 0 for code in r.get("exit_codes", [0])):
        return None
    if cpu_clock:
        return (r["user"] + r["system"]) * 1000
    return r["mean"] * 1000
print(f"{'op':7}{'fmt':5}{'quorvi ms':>10}{'convert':>9}{'vips':>8}{'vips1':>8}"
      f"{'q/fastest':>10}{'q/same-lib':>11}  target")
for op, formats in (("decode", ["bmp", "tga", "pcx", "pgm", "jpg", "png", "tif", "gif"]),
                    ("encode", ["bmp", "jpg", "png", "tif", "gif"])):
    for fmt in formats:
        q = mean(op, fmt, "quorvi")
        peers = {t: mean(op, fmt, t) for t in ("convert", "vips", "vips1")}
        valid = [v for v in peers.values() if v is not None]
        fastest = min(valid) if valid else None
        same = [v for t, v in peers.items() if v is not None and t in same_library.get(fmt, set())]
        ratio = q / fastest if q and fastest else None
        same_ratio = q / min(same) if q and same else None
        if op == "decode" and fmt in own_readers:
            goal = "faster than every peer: " + ("met" if ratio is not None and ratio < 1 else "MISSED")
        elif same:
            goal = "within 10% of same-library peer: " + ("met" if same_ratio <= 1.10 else "MISSED")
        else:
            goal = "no peer uses the same library"
        cell = lambda v: f"{v:8.0f}" if v is not None else f"{'n/a':>8}"
        print(f"{op:7}{fmt:5}{cell(q):>10}{cell(peers['convert']):>9}{cell(peers['vips']):>8}"
              f"{cell(peers['vips1']):>8}{(f'{ratio:10.2f}' if ratio else f'{chr(45):>10}')}"
              f"{(f'{same_ratio:11.2f}' if same_ratio else f'{chr(45):>11}')}  {goal}")
PY
