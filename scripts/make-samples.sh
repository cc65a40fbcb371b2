#!/usr/bin/env bash
# Makes the bundled sample images (checked in under samples/): small
# pictures of all six formats the probe reads, with the kinds of names that
# a gallery must cope with. Needs ImageMagick; run it only to remake them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/samples"
im=/usr/bin/convert
if [ ! -x "$im" ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y -qq --no-install-recommends imagemagick >/dev/null
fi
rm -rf "$out"
mkdir -p "$out"

# picture SIZE FROM-TO LABEL [FORMAT:]FILE [options]: a gradient with a caption.
picture() {
  local size=$1 colours=$2 label=$3 file=$4 format=""
  shift 4
  case "$file" in *:*) format="${file%%:*}:"; file="${file#*:}" ;; esac
  "$im" -size "$size" "gradient:$colours" \
    \( -size "$size" xc:none -fill 'rgba(255,255,255,0.25)' -draw "circle 40,40 40,75" \
       -draw "rectangle 60%,55% 95%,90%" \) -composite \
    -gravity center -font DejaVu-Sans-Bold -pointsize 18 -fill white \
    -stroke 'rgba(0,0,0,0.5)' -strokewidth 1 -annotate 0 "$label" \
    -strip "$@" "$format$out/$file"
}

picture 320x240 '#1d4e89-#f79256' 'JPEG 320x240' 'sunset.jpg' -quality 82
picture 240x320 '#00b2ca-#1d4e89' 'JPEG portrait' 'photo #1.jpg' -quality 82
picture 600x150 '#7dcfb6-#fbd1a2' 'JPEG panorama 600x150' 'wide panorama.jpg' -quality 82
picture 200x150 '#f79256-#fbd1a2' 'PNG 200x150' 'PNG8:50%%20off.png' -colors 64
picture 160x160 '#2a9d8f-#e9c46a' 'GIF 160x160' 'café.gif' -colors 64
picture 180x120 '#264653-#2a9d8f' 'BMP 180x120' 'BMP3:Straße.bmp' -colors 64 -type Palette
picture 160x120 '#e76f51-#f4a261' 'PCX 160x120' 'scan.pcx' -colors 64 -type Palette
picture 120x160 '#6a4c93-#8ac926' 'TIFF II' 'tiff-intel.tif' -colors 32 -type Palette -compress zip -endian LSB
picture 160x120 '#1982c4-#ffca3a' 'TIFF MM' 'tiff-motorola.tif' -colors 32 -type Palette -compress zip -endian MSB

# Photos as phones and cameras store them: a portrait held one way and the
# other, stored as a landscape frame that the Exif orientation turns (6:
# a quarter clockwise, 8: a quarter anticlockwise), and a landscape with a
# large Exif block and a wide colour profile before its frame header.
# phone_photo ORIENTATION SIZE LABEL FILE EXIF_BYTES ICC_BYTES [options]
phone_photo() {
  local orientation=$1 size=$2 label=$3 file=$4 exif=$5 icc=$6
  shift 6
  picture "$size" '#2b2d42-#8d99ae' "$label" 'stored.jpg' "$@" -quality 82
  "$im" "$out/stored.jpg" -thumbnail 160x160 -strip "$out/thumb.jpg"
  python3 "$here/scripts/phone-photo.py" "$out/stored.jpg" "$out/$file" --orientation "$orientation" \
    --thumbnail "$out/thumb.jpg" --exif-bytes "$exif" --icc-bytes "$icc"
  rm "$out/stored.jpg" "$out/thumb.jpg"
}
phone_photo 6 240x320 'Portrait, Exif 6' 'portrait-6.jpg' 30000 3000 -rotate -90
phone_photo 8 240x320 'Portrait, Exif 8' 'portrait-8.jpg' 30000 3000 -rotate 90
phone_photo 1 360x240 'Camera, profile' 'landscape-profile.jpg' 50000 160000

ls -l "$out"
du -sh "$out"
