#!/usr/bin/env bash
# Regenerates the fuzz seed corpora in tests/data/fuzz-seeds/<format>/: tiny valid files of
# every layout each reader handles, written by ImageMagick and netpbm (and small derived
# variants those tools do not write). Usage: make-seeds.sh [format...]
set -euo pipefail
exec 2> >(grep -v -e "computing colormap" -e "colors found" >&2)
root=$(cd "$(dirname "$0")/../.." && pwd)
seeds=$root/tests/data/fuzz-seeds
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A small colourful picture and a grey one.
convert -size 9x7 xc: -sparse-color bilinear '0,0 red 8,0 yellow 0,6 blue 8,6 white' "$work/pic.ppm"
convert "$work/pic.ppm" -colorspace gray "$work/grey.pgm"

# Patches little-endian fields and rebuilds files the tools do not write.
derive() { python3 - "$@" <<'PY'
import struct, sys
kind, src, dst = sys.argv[1:4]
b = bytearray(open(src, 'rb').read())
if kind == 'bmp-topdown':
    off = struct.unpack_from('<I', b, 10)[0]; w, h = struct.unpack_from('<ii', b, 18)
    bits = struct.unpack_from('<H', b, 28)[0]; stride = ((w * bits + 31) // 32) * 4
    rows = [b[off + i * stride: off + (i + 1) * stride] for i in range(h)]
    b = b[:off] + b''.join(reversed(rows)); struct.pack_into('<i', b, 22, -h)
elif kind == 'bmp-rle4':
    off = struct.unpack_from('<I', b, 10)[0]; w, h = struct.unpack_from('<ii', b, 18)
    stride = ((w * 4 + 31) // 32) * 4; out = bytearray()
    for i in range(h):
        row = [(b[off + i * stride + x // 2] >> (0 if x % 2 else 4)) & 15 for x in range(w)]
        x = 0
        while x < w:
            n = min(w - x, 2)
            if w - x >= 3:
                n = min(w - x, 5); out += bytes([0, n])
                packed = bytes((row[x + k] << 4) | (row[x + k + 1] if k + 1 < n else 0) for k in range(0, n, 2))
                out += packed + (b'\0' if len(packed) % 2 else b'')
            else:
                out += bytes([n, (row[x] << 4) | (row[x + 1] if n == 2 else 0)])
            x += n
        out += b'\0\0'
    b = b[:off] + out + b'\0\1'; struct.pack_into('<I', b, 30, 2)
elif kind == 'tga-16':  # 16-bit words with the attribute bit on every other pixel
    n = struct.unpack_from('<H', b, 12)[0] * struct.unpack_from('<H', b, 14)[0]
    px = b[18 + b[0]:]
    words = b''.join(struct.pack('<H', (px[3*i+2] >> 3) << 10 | (px[3*i+1] >> 3) << 5 | px[3*i] >> 3 | (i % 2) << 15) for i in range(n))
    b = b[:18 + b[0]] + words; b[16] = 16; b[17] = 1
elif kind == 'tga-topright':  # same bytes, read from the other corner
    b[17] |= 0x30
open(dst, 'wb').write(b)
PY
}

make_bmp() {
    local d=$seeds/bmp; mkdir -p "$d"
    local p=$work/pic.ppm
    convert "$p" -colors 2 -type palette -compress None "BMP3:$d/pal1.bmp"
    convert "$p" -colors 12 -type palette -compress None "BMP3:$d/pal4.bmp"
    convert "$p" -colors 40 -type palette -compress None "BMP3:$d/pal8.bmp"
    convert "$p" -colors 40 -type palette -compress RLE "BMP3:$d/rle8.bmp"
    convert "$p" -type truecolor "BMP3:$d/rgb24.bmp"
    convert "$p" -alpha set -define bmp3:alpha=true "BMP3:$d/rgb32.bmp"
    convert "$p" -alpha set -channel A -fx i/w +channel "BMP:$d/argb32v5.bmp"
    convert "$p" -define bmp:subtype=RGB565 "BMP:$d/rgb565.bmp"
    convert "$p" -alpha set -define bmp:subtype=ARGB4444 "BMP:$d/argb4444.bmp"
    derive bmp-topdown "$d/pal8.bmp" "$d/pal8topdown.bmp"
    derive bmp-topdown "$d/rgb24.bmp" "$d/rgb24topdown.bmp"
    derive bmp-rle4 "$d/pal4.bmp" "$d/rle4.bmp"
}

make_tga() {
    local d=$seeds/tga; mkdir -p "$d"
    local p=$work/pic.ppm
    convert "$p" -type truecolor "TGA:$d/rgb24.tga"
    convert "$p" -type truecolor -compress RLE "TGA:$d/rgb24rle.tga"
    convert "$p" -alpha set -channel A -fx i/w +channel "TGA:$d/rgba32.tga"
    convert "$p" -alpha set -channel A -fx i/w +channel -compress RLE "TGA:$d/rgba32rle.tga"
    convert "$p" -colors 20 -type palette "TGA:$d/mapped.tga"
    convert "$p" -colors 20 -type palette -compress RLE "TGA:$d/mappedrle.tga"
    convert "$p" -type grayscale "TGA:$d/grey.tga"
    convert "$p" -colors 20 ppm:- | pamtotga -cmap16 > "$d/map15rle.tga" 2>/dev/null
    convert "$p" pgm:- | pamtotga -mono > "$d/greyrle.tga" 2>/dev/null
    derive tga-16 "$d/rgb24.tga" "$d/rgb16attr.tga"
    derive tga-topright "$d/rgb24.tga" "$d/rgb24topright.tga"
}

make_jpeg() {
    local d=$seeds/jpeg; mkdir -p "$d"
    local p=$work/pic.ppm
    convert "$p" -quality 80 -sampling-factor 1x1 "$d/baseline.jpg"
    convert "$p" -quality 80 -sampling-factor 2x2 "$d/yuv420.jpg"
    convert "$p" -quality 80 -sampling-factor 2x1 "$d/yuv422.jpg"
    convert "$p" -quality 80 -interlace JPEG "$d/progressive.jpg"
    convert "$work/grey.pgm" -quality 80 "$d/grey.jpg"
    convert "$p" -colorspace CMYK -quality 80 "$d/cmyk.jpg"
}

make_png() {
    local d=$seeds/png; mkdir -p "$d"
    local p=$work/pic.ppm a=$work/alpha.png
    convert "$p" -alpha set -channel A -fx 'i/w' +channel "$a"
    for b in 1 2 4 8 16; do
        convert "$p" -colorspace gray -depth $b -define png:color-type=0 -define png:bit-depth=$b "$d/grey$b.png"
    done
    for b in 1 2 4 8; do
        convert "$p" +dither -colors $((1 << b)) -define png:bit-depth=$b "PNG8:$d/palette$b.png"
    done
    convert "$p" +dither -colors 9 -fill none -draw 'color 0,0 replace' "PNG8:$d/palette-trns.png"
    convert "$p" -depth 16 -define png:color-type=2 "$d/rgb16.png"
    convert "$p" -depth 8 -fill none -draw 'color 0,0 replace' -define png:color-type=2 "$d/rgb-trns.png"
    convert "$a" -depth 8 -define png:color-type=6 "$d/rgba8.png"
    convert "$a" -colorspace gray -depth 16 -define png:color-type=4 "$d/greyalpha16.png"
    convert "$p" -interlace PNG -depth 8 -define png:color-type=2 "$d/interlaced.png"
}

make_tiff() {
    local d=$seeds/tiff; mkdir -p "$d"
    local p=$work/pic.ppm
    convert "$p" -colors 2 -type bilevel -compress None "$d/bilevel.tif"
    convert "$p" -colors 2 -type bilevel -compress Group4 "$d/g4.tif"
    convert "$p" +dither -colors 12 -type palette -depth 4 "$d/palette4.tif"
    convert "$p" +dither -colors 40 -type palette -compress LZW "$d/palette8-lzw.tif"
    convert "$p" -compress None "$d/rgb8.tif"
    convert "$p" -depth 16 -compress Zip "$d/rgb16-zip.tif"
    convert "$p" -alpha set -channel A -fx 'i/w' +channel -compress LZW "$d/rgba.tif"
    convert "$work/grey.pgm" -compress None "$d/grey.tif"
    convert "$p" -define tiff:tile-geometry=16x16 -compress None "$d/tiled.tif"
    convert "$p" -compress JPEG -quality 80 "$d/jpeg.tif"
    convert "$p" -compress None -endian MSB "$d/bigendian.tif"
}

make_gif() {
    local d=$seeds/gif; mkdir -p "$d"
    local p=$work/pic.ppm
    convert "$p" +dither -colors 32 "$d/plain.gif"
    convert "$p" +dither -colors 32 -interlace GIF "$d/interlaced.gif"
    convert "$p" +dither -colors 16 -fill none -draw 'color 0,0 replace' "$d/transparent.gif"
    convert "$p" +dither -colors 8 -page 12x10+2+1 "$d/offset-frame.gif"
    convert -delay 10 "$p" "$work/grey.pgm" +dither -colors 16 "$d/animated.gif"
}

make_picture() {
    local d=$seeds/picture; mkdir -p "$d"
    for f in bmp/rle8.bmp pict/bands4.pict jpeg/baseline.jpg png/palette-trns.png tiff/palette4.tif gif/transparent.gif; do
        [ -f "$seeds/$f" ] && cp "$seeds/$f" "$d/"
    done
    # A DOS EPS header (30 bytes) whose TIFF preview follows it.
    python3 - "$seeds/tiff/palette4.tif" "$d/preview.eps" <<'PY'
import struct, sys
tiff = open(sys.argv[1], 'rb').read()
head = struct.pack('<IIIIIIIH', 0xC6D3D0C5, 30, 0, 0, 0, 30, len(tiff), 0xFFFF)
open(sys.argv[2], 'wb').write(head + tiff)
PY
}

make_pcx() {
    local d=$seeds/pcx; mkdir -p "$d"
    local p=$work/pic.ppm
    convert "$p" -threshold 50% pbm:- | ppmtopcx > "$d/mono.pcx"
    convert "$p" -colors 4 ppm:- | ppmtopcx > "$d/planes2.pcx"
    convert "$p" -colors 8 ppm:- | ppmtopcx -planes=3 > "$d/planes3.pcx"
    convert "$p" -colors 16 ppm:- | ppmtopcx > "$d/planes4.pcx"
    convert "$p" -colors 4 ppm:- | ppmtopcx -packed > "$d/packed2.pcx"
    convert "$p" -colors 16 ppm:- | ppmtopcx -packed > "$d/packed4.pcx"
    convert "$p" -colors 30 ppm:- | ppmtopcx -8bit > "$d/vga8.pcx"
    ppmtopcx -24bit "$p" > "$d/rgb24.pcx"
    convert "$p" "PCX:$d/magick24.pcx"
}

make_pgm() {
    local d=$seeds/pgm; mkdir -p "$d"
    local g=$work/grey.pgm
    convert "$g" -depth 8 "pgm:$d/p5.pgm"
    convert "$g" -depth 8 -compress none "pgm:$d/p2.pgm"
    convert "$g" -depth 16 "pgm:$d/p5-16bit.pgm"
    pamdepth 15 "$g" > "$d/p5-max15.pgm"
    pamdepth 1000 "$g" | pnmtoplainpnm > "$d/p2-max1000.pgm"
    printf 'P2\n# comment\n3 2 # size\n#\r15\r\n0 7 15\n\n1 2\n3' > "$d/p2-comments.pgm"
}

make_pict() {
    local d=$seeds/pict; mkdir -p "$d"
    local p=$work/pic.ppm
    convert "$p" "PICT:$d/direct32.pict"
    convert "$p" +dither -colors 40 -type palette "PICT:$d/packbits8.pict"
    convert "$p" +dither -colors 200 ppm:- | ppmtopict > "$d/netpbm8.pict" 2>/dev/null
    # Hand-made: a version 1 BitsRect after vector opcodes (a polygon among them), a 16-bit DirectBitsRect packed by
    # words, two PackBitsRgn bands of a 4-bit picture inside a larger frame.
    python3 - "$d" <<'PY'
import struct, sys
d = sys.argv[1]
def rect(t, l, b, r): return struct.pack('>4h', t, l, b, r)
def v2(w, h, ops):
    body = struct.pack('>H', 0) + rect(0, 0, h, w) + b'\0\x11\x02\xff' + b'\x0c\x00' + struct.pack('>hh', -1, -1) + b'\0' * 20
    for op in ops:
        if len(body) % 2: body += b'\0'
        body += op
    if len(body) % 2: body += b'\0'
    return b'\0' * 512 + body + b'\0\xff'
def pixmap(pack, bpp, comps): return struct.pack('>hhIIIhhhhIII', 0, pack, 0, 0x480000, 0x480000, 16 if bpp > 8 else 0, bpp, comps, 8 if bpp > 8 else bpp, 0, 0, 0)
# version 1: clip region, line, paint rect, then a 10 x 2 BitsRect
v1 = struct.pack('>H', 0) + rect(0, 0, 2, 10) + b'\x11\x01' + b'\x01' + struct.pack('>H', 10) + rect(0, 0, 2, 10)
v1 += b'\x20' + rect(0, 0, 2, 2) + b'\x31' + rect(0, 0, 1, 1) + b'\x70' + struct.pack('>H', 18) + rect(0, 0, 2, 2) + struct.pack('>4h', 0, 0, 1, 1)
v1 += b'\x90' + struct.pack('>H', 2) + rect(0, 0, 2, 10) * 3 + struct.pack('>H', 0) + bytes([0xA0, 0x40, 0x55, 0xC0]) + b'\xff'
open(d + '/v1bits.pict', 'wb').write(b'\0' * 512 + v1)
# 16 bits, 12 x 2, packing type 3: a run and literals
row = bytes([256 - 9, 0x7C, 0x00, 1, 0x03, 0xE0, 0x00, 0x1F])
op = b'\x00\x9a' + struct.pack('>IH', 0xFF, 0x8000 | 24) + rect(0, 0, 2, 12) + pixmap(3, 16, 3) + rect(0, 0, 2, 12) * 2 + struct.pack('>H', 0) + (bytes([len(row)]) + row) * 2
open(d + '/direct16.pict', 'wb').write(v2(12, 2, [op]))
# 4 bits, 16 x 2 bands in a 16 x 5 frame, with a colour table of 16 and the mask region
ops = []
for band in range(2):
    ct = struct.pack('>IHH', 0, 0, 15) + b''.join(struct.pack('>HHHH', i, i * 4369, 65535 - i * 4369, (i * 7 % 16) * 4369) for i in range(16))
    rows = bytes([5, 3, 0x01, 0x23, 0x45, 0x67, 5, 3, 0x89, 0xAB, 0xCD, 0xEF])
    ops.append(b'\x00\x99' + struct.pack('>H', 0x8000 | 8) + rect(0, 0, 2, 16) + pixmap(0, 4, 1) + ct + rect(0, 0, 2, 16) + rect(band * 3, 0, band * 3 + 2, 16) + struct.pack('>HH', 0, 10) + rect(0, 0, 2, 16) + rows)
open(d + '/bands4.pict', 'wb').write(v2(16, 5, ops))
PY
}

# Metafiles no tool here writes: a few records of each kind, built field by field. The
# placeable WMF header and the EMF frame make a 40 x 30 picture at 72 dpi.
make_wmf() {
    local d=$seeds/wmf; mkdir -p "$d"
    python3 - "$d" <<'PY'
import struct, sys
d = sys.argv[1]
def rec(fn, *words): return struct.pack('<IH', 3 + len(words), fn) + struct.pack('<%dH' % len(words), *(w & 0xFFFF for w in words))
def colour(r, g, b): return [r | (g << 8), b]
def wmf(records, placeable=True):
    body = b''.join(records) + rec(0)
    head = struct.pack('<HHHIHIH', 1, 9, 0x300, (18 + len(body)) // 2, 4, 64, 0)
    out = head + body
    if placeable:
        words = struct.unpack('<10H', struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, 0, 0, 40, 30, 72, 0))
        check = 0
        for w in words: check ^= w
        out = struct.pack('<IHhhhhHIH', 0x9AC6CDD7, 0, 0, 0, 40, 30, 72, 0, check) + out
    return out
shapes = [rec(0x020B, 0, 0), rec(0x020C, 30, 40),
          rec(0x02FC, 0, *colour(255, 0, 0), 0), rec(0x012D, 0),                 # red brush
          rec(0x02FA, 0, 1, 0, *colour(0, 0, 255)), rec(0x012D, 1),              # blue pen
          rec(0x041B, 20, 30, 5, 5), rec(0x0418, 28, 38, 10, 20),
          rec(0x0324, 3, 2, 2, 12, 2, 7, 12), rec(0x0214, 29, 0), rec(0x0213, 0, 39),
          rec(0x01F0, 0), rec(0x01F0, 1)]
open(d + '/shapes.wmf', 'wb').write(wmf(shapes))
open(d + '/noplaceable.wmf', 'wb').write(wmf(shapes, placeable=False))
hatch = [rec(0x020B, 0, 0), rec(0x020C, 30, 40), rec(0x0201, *colour(0, 255, 0)),
         rec(0x02FC, 2, *colour(0, 0, 0), 3), rec(0x012D, 0), rec(0x0418, 29, 39, 0, 0)]
open(d + '/hatched.wmf', 'wb').write(wmf(hatch))
PY
}

make_emf() {
    local d=$seeds/emf; mkdir -p "$d"
    python3 - "$d" <<'PY'
import struct, sys
d = sys.argv[1]
def rec(kind, payload): return struct.pack('<II', kind, 8 + len(payload)) + payload
def emf(records):
    body = b''.join(records) + rec(14, struct.pack('<III', 0, 16, 20))
    size = 88 + len(body)
    head = rec(1, struct.pack('<4i4iIIIIHHIIIiiii', 0, 0, 39, 29, 0, 0, 1411, 1058, 0x464D4520, 0x10000, size,
                                  len(records) + 2, 3, 0, 0, 0, 0, 1024, 768, 361, 271))
    return head + body
rect = lambda *r: struct.pack('<4i', *r)
shapes = [rec(39, struct.pack('<IIII', 1, 0, 0x0000FF, 0)), rec(37, struct.pack('<I', 1)),          # red brush
          rec(38, struct.pack('<IIiiI', 2, 0, 1, 0, 0xFF0000)), rec(37, struct.pack('<I', 2)),       # blue pen
          rec(43, rect(5, 5, 30, 20)), rec(42, rect(20, 10, 38, 28)),
          rec(87, rect(0, 0, 39, 29) + struct.pack('<I3h3h', 3, 2, 2, 12, 2, 7, 12)[:4] + struct.pack('<6h', 2, 2, 12, 2, 7, 12)),
          rec(40, struct.pack('<I', 1)), rec(40, struct.pack('<I', 2))]
open(d + '/shapes.emf', 'wb').write(emf(shapes))
PY
}

formats=("$@")
[ ${#formats[@]} -gt 0 ] || formats=(bmp tga pcx pgm pict wmf emf jpeg png tiff gif picture)
for f in "${formats[@]}"; do
    "make_$f"
done
ls -l "$seeds"/*/ | awk 'NR > 1 { total += $5 } END { print "seed bytes:", total }'
