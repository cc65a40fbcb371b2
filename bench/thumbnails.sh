#!/usr/bin/env bash
# The thumbnail benchmark: how soon a gallery of phone photos is there to be
# looked at. Makes a phone photo of 4000 x 3000 (about 3.9 MB, laid out as
# phones write it, with an Exif thumbnail of 160 x 120) and the same photo
# without the thumbnail, links each into a folder many times, and under
# Wine (64-bit, the Unicode interface) makes the thumbnail page of each
# folder with the real DLL and worker: with the cache empty (cold), again
# (warm), and with thumbnails off. For each page it prints how long after
# the command the page was opened, and, in headless Chromium (1400 x 900),
# when every image of the first screen was painted and when the page's
# load event came. Prints figures; enforces nothing.
#
#   bench/thumbnails.sh [PHOTOS [PLAIN_PHOTOS]]   (1000 and 200 by default)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
photos=${1:-1000}
plain=${2:-200}
cd "$here"
cmake --preset win64 >/dev/null && cmake --build --preset win64 >/dev/null

work="$here/build/bench/phones"
rm -rf "$work"
mkdir -p "$work/exif" "$work/plain"
/usr/bin/python3 - "$work" <<'PY'
import sys
from PIL import Image
work = sys.argv[1]
w, h = 4000, 3000
base = Image.linear_gradient('L').resize((w, h)).convert('RGB')
noise = Image.effect_noise((w, h), 48).convert('RGB')
img = Image.blend(base, noise, 0.22)
img = Image.merge('RGB', (img.getchannel(0), img.getchannel(1).transpose(Image.FLIP_LEFT_RIGHT),
                          img.getchannel(2).transpose(Image.FLIP_TOP_BOTTOM)))
img.save(work + '/plain.jpg', quality=90)
img.resize((160, 120)).save(work + '/thumb.jpg', quality=85)
PY
/usr/bin/python3 "$here/scripts/phone-photo.py" "$work/plain.jpg" "$work/phone.jpg" --orientation 1 \
  --thumbnail "$work/thumb.jpg" --exif-bytes 40000 --icc-bytes 160000
for ((i = 0; i < photos; i++)); do ln "$work/phone.jpg" "$(printf '%s/exif/IMG_%04d.jpg' "$work" "$i")"; done
for ((i = 0; i < plain; i++)); do ln "$work/plain.jpg" "$(printf '%s/plain/IMG_%04d.jpg' "$work" "$i")"; done
echo "photos: $(stat -c %s "$work/phone.jpg") bytes each ($photos with an Exif thumbnail, $plain without)"

. "$here/scripts/wine-env.sh"
wine_env_start "$here/build/bench/wineprefix"
trap wine_env_stop EXIT
bin=$(winepath -w "$here/build/win64/bin")
cache="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Galvora/Thumbnails"
cores=$(nproc)

# page NAME FOLDER MAKETHUMBS: makes the page and measures it.
page() {
  local record="$work/$1.txt" opened unix
  LC_ALL=C.UTF-8 wine64 "$here/build/win64/bin/hostemu.exe" --unicode --plugin "$bin\\Galvora.dll" \
    --set "MakeThumbs=$3" --folder "$(winepath -w "$2")" --menu 1 --handler "$bin\\openrec.exe" 'C:\bench-open.log' \
    >"$record"
  opened=$(sed -n 's/^timing: the page was opened \([0-9]*\) ms.*/\1/p' "$record")
  unix=$(winepath -u "$(sed -n 's/^opened: //p' "$record" | tail -n 1)")
  read -r _ first _ images _ load < <(cd "$here/build/tools/node" && node "$here/bench/first-screen.mjs" "$unix")
  printf '  %-34s page opened %6s ms, first screen (%s images) %6s ms, all %6s ms; command to first screen %6s ms\n' \
    "$1" "$opened" "$images" "$first" "$load" "$((opened + first))"
  eval "last_opened=$opened"
}

echo "== thumbnail pages of 4000 x 3000 phone photos under Wine (64-bit), Chromium at 1400 x 900"
rm -rf "$cache"
page "$photos with Exif thumbnails, cold" "$work/exif" 1
page "$photos with Exif thumbnails, warm" "$work/exif" 1
rm -rf "$cache"
page "$plain without thumbnails, cold" "$work/plain" 1
echo "  worker: $plain copies decoded in ${last_opened} ms with the probe: $(awk -v n="$plain" -v ms="$last_opened" -v c="$cores" \
  'BEGIN { printf "%.1f copies per second per core (%d cores)", n / (ms / 1000) / c, c }')"
page "$plain without thumbnails, warm" "$work/plain" 1
page "$photos, thumbnails off" "$work/exif" 0
rm -rf "$work"
