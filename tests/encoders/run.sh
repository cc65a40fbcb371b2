#!/usr/bin/env bash
# The probe on files made by real encoders (Debian's webp, libavif-bin,
# libheif-examples, libjxl-tools, icoutils and Pillow): each file's type and
# size as a browser shows it, against what it was made to be.
#   run.sh GALVORA_PROBE [WORK_DIR]
set -euo pipefail
probe=$1
work=${2:-$(mktemp -d)}
mkdir -p "$work"
cd "$work"
failures=0 checked=0

# draw W H FILE [PIL options as key=value]: a picture drawn by Pillow.
draw() {
  /usr/bin/python3 - "$@" <<'PY'
import sys
from PIL import Image, ImageDraw
w, h, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
opts = dict(a.split("=", 1) for a in sys.argv[4:])
mode = opts.pop("mode", "RGB")
background = {"P": 3, "RGBA": (0, 128, 128, 0)}.get(mode, "teal")  # RGBA: see-through
im = Image.new(mode, (w, h), background)
ImageDraw.Draw(im).rectangle((w // 4, h // 4, w // 2, h // 2), fill="orange" if mode != "P" else 9)
if "orientation" in opts:
    exif = Image.Exif()
    exif[0x0112] = int(opts.pop("orientation"))
    opts["exif"] = exif.tobytes()
if "sizes" in opts:
    opts["sizes"] = [tuple(int(v) for v in s.split("x")) for s in opts["sizes"].split(",")]
for key in ("quality",):
    if key in opts:
        opts[key] = int(opts[key])
im.save(path, **opts)
PY
}

# expect FILE TYPE WIDTH HEIGHT [DEPTH]
expect() {
  local line type w h d
  line=$("$probe" --why "$1" | tr -d '\r')
  IFS=$'\t' read -r type w h d _ <<<"$line"
  checked=$((checked + 1))
  if [ "$type $w $h" != "$2 $3 $4" ] || { [ -n "${5:-}" ] && [ "$d" != "$5" ]; }; then
    echo "FAIL $1: probe says $line; made as type $2, $3x$4${5:+, depth $5}"
    failures=$((failures + 1))
  fi
}

# WebP: lossy (odd sizes, the largest side), lossless, with alpha (VP8X).
draw 333 77 odd.png
cwebp -quiet odd.png -o lossy.webp && expect lossy.webp 7 333 77 24
cwebp -quiet -lossless odd.png -o lossless.webp && expect lossless.webp 7 333 77 24
draw 16383 2 long.png
cwebp -quiet long.png -o long.webp && expect long.webp 7 16383 2
draw 300 450 alpha.png mode=RGBA
cwebp -quiet -exact -alpha_q 100 alpha.png -o alpha.webp && expect alpha.webp 7 300 450 32
# An Exif orientation inside a WebP is not applied by browsers.
draw 64 48 exif.jpg orientation=6
cwebp -quiet -metadata exif exif.jpg -o exif.webp && expect exif.webp 7 64 48

# AVIF: every rotation, mirroring, the clean aperture, and 10-bit pixels.
draw 64 48 avif.png
for angle in 0 1 2 3; do
  avifenc -s 10 --irot "$angle" avif.png "irot$angle.avif" >/dev/null
  if [ $((angle % 2)) -eq 1 ]; then expect "irot$angle.avif" 8 48 64; else expect "irot$angle.avif" 8 64 48; fi
done
avifenc -s 10 --imir 1 avif.png imir.avif >/dev/null && expect imir.avif 8 64 48
# Browsers apply a clean aperture only when it starts at the top left.
avifenc -s 10 --crop 8,8,32,24 avif.png crop.avif >/dev/null && expect crop.avif 8 64 48
avifenc -s 10 --crop 8,8,32,24 --irot 1 avif.png crop-irot.avif >/dev/null && expect crop-irot.avif 8 48 64
avifenc -s 10 --crop 0,0,32,24 avif.png corner.avif >/dev/null && expect corner.avif 8 32 24
avifenc -s 10 --crop 0,0,32,24 --irot 1 avif.png corner-irot.avif >/dev/null && expect corner-irot.avif 8 24 32
avifenc -s 10 -d 10 avif.png deep.avif >/dev/null && expect deep.avif 8 64 48 30

# HEIC.
draw 200 150 heic.png
heif-enc -q 50 heic.png -o plain.heic >/dev/null && expect plain.heic 9 200 150

# JPEG XL: sizes of every header form, a fixed ratio, and orientations in a
# recompressed JPEG, a re-encoded one and a PNG with an eXIf chunk.
for size in 256x256 640x480 1920x1080 513x17 1x1 9000x3; do
  draw "${size%x*}" "${size#*x}" "jxl-$size.png"
  cjxl "jxl-$size.png" "jxl-$size.jxl" >/dev/null 2>&1 && expect "jxl-$size.jxl" 10 "${size%x*}" "${size#*x}"
done
for o in 3 6 8; do
  draw 64 48 "o$o.jpg" orientation=$o
  cjxl "o$o.jpg" "o$o-recompressed.jxl" >/dev/null 2>&1
  cjxl --lossless_jpeg=0 "o$o.jpg" "o$o-encoded.jxl" >/dev/null 2>&1
  if [ "$o" = 3 ]; then size="64 48"; else size="48 64"; fi
  expect "o$o-recompressed.jxl" 10 $size
  expect "o$o-encoded.jxl" 10 $size
done
draw 64 48 o6.png exif=
/usr/bin/python3 -c "
from PIL import Image
im = Image.open('o6.jpg'); im.save('o6.png', exif=im.getexif().tobytes())"
cjxl o6.png o6-png.jxl >/dev/null 2>&1 && expect o6-png.jxl 10 48 64

# Icons: icotool's directory and Pillow's, whose 256 is stored as 0.
for s in 16 32 48; do draw "$s" "$s" "icon$s.png"; done
icotool -c -o tool.ico icon16.png icon48.png icon32.png && expect tool.ico 11 48 48
draw 256 256 big.png
/usr/bin/python3 -c "
from PIL import Image
Image.open('big.png').save('pillow.ico', sizes=[(16, 16), (256, 256), (64, 64)])"
expect pillow.ico 11 256 256 32
icotool -c --cursor --hotspot-x=3 --hotspot-y=5 -o cursor.cur icon32.png && expect cursor.cur 11 32 32

# The older formats where their readers were wrong: RGB TIFF (three
# BitsPerSample values behind the directory), a wide PNG, BMP.
draw 70000 2 wide.png && expect wide.png 3 70000 2 24
draw 70 50 rgb.tif compression=tiff_lzw && expect rgb.tif 6 70 50 24
draw 70 50 rgba.tif mode=RGBA && expect rgba.tif 6 70 50 32
draw 70 50 top-down.bmp && /usr/bin/python3 -c "
import struct
b = bytearray(open('top-down.bmp', 'rb').read())
b[22:26] = struct.pack('<i', -50)
open('top-down.bmp', 'wb').write(b)" && expect top-down.bmp 4 70 50 24
draw 70000 2 wide.bmp && expect wide.bmp 4 70000 2 24
draw 30 20 gif.gif mode=P && expect gif.gif 1 30 20

echo "encoders: $checked files, $failures failure(s)"
[ "$failures" -eq 0 ]
