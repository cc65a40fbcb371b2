#!/usr/bin/env bash
# Makes the bundled samples of today's formats (checked in under samples/):
# a WebP, an AVIF stored turned (irot), a JPEG XL with orientation 6, an
# icon, an SVG sized by its viewBox alone, and a HEIC, which browsers do not
# show. Draws with Pillow and encodes with Debian's encoders; run it only to
# remake them. The older samples come from scripts/make-samples.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/samples"
"$here/scripts/setup.sh" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# draw W H LABEL FILE [ORIENTATION]: a two-colour picture with a caption;
# with an orientation, a JPEG whose Exif carries it.
draw() {
  /usr/bin/python3 - "$@" <<'PY'
import sys
from PIL import Image, ImageDraw, ImageFont
w, h, label, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], sys.argv[4]
im = Image.new("RGB", (w, h), (29, 78, 137))
d = ImageDraw.Draw(im)
for y in range(h):
    d.line((0, y, w, y), fill=(29 + 200 * y // h, 78 + 60 * y // h, 137 - 60 * y // h))
d.ellipse((10, 10, 10 + w // 4, 10 + w // 4), fill=(255, 255, 255, 64))
font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 16)
d.text((w // 2, h // 2), label, fill="white", anchor="mm", font=font, stroke_width=1, stroke_fill="black")
if len(sys.argv) > 5:
    exif = Image.Exif()
    exif[0x0112] = int(sys.argv[5])
    im.save(path, quality=85, exif=exif.tobytes())
else:
    im.save(path)
PY
}

draw 240 180 'WebP 240x180' "$work/webp.png"
cwebp -quiet -q 80 "$work/webp.png" -o "$out/meadow.webp"

# Stored 240 wide and 160 high, turned a quarter by irot: shown 160x240.
draw 240 160 'AVIF, irot 1' "$work/avif.png"
avifenc -s 10 --irot 1 "$work/avif.png" "$out/turned.avif" >/dev/null

# A JPEG stored 240x180 with Exif orientation 6, recompressed: the
# orientation moves into the codestream, shown 180x240.
draw 240 180 'JPEG XL, 6' "$work/jxl.jpg" 6
cjxl --quiet "$work/jxl.jpg" "$out/orientation-6.jxl" 2>/dev/null || cjxl "$work/jxl.jpg" "$out/orientation-6.jxl" >/dev/null 2>&1

for s in 16 32 48; do draw "$s" "$s" '' "$work/icon-$s.png"; done
icotool -c -o "$out/icon.ico" "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png"

cat > "$out/logo.svg" <<'SVG'
<?xml version="1.0" encoding="UTF-8"?>
<!-- Sized by its viewBox alone: a browser shows it 300 wide. -->
<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 400 100">
  <rect width="400" height="100" rx="16" fill="#1d4e89"/>
  <circle cx="50" cy="50" r="30" fill="#f79256"/>
  <text x="230" y="64" font-family="DejaVu Sans, sans-serif" font-size="40" font-weight="bold"
        fill="#fbd1a2" text-anchor="middle">SVG 400:100</text>
</svg>
SVG

draw 200 150 'HEIC 200x150' "$work/heic.png"
heif-enc -q 50 "$work/heic.png" -o "$out/phone.heic" >/dev/null

ls -l "$out"/meadow.webp "$out"/turned.avif "$out"/orientation-6.jxl "$out"/icon.ico "$out"/logo.svg "$out"/phone.heic
