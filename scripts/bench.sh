#!/usr/bin/env bash
# Benchmarks that print figures (no thresholds are enforced here):
#   the probe against the floor every header reader pays (open, size query,
#   one read of 4 KB, close) and against two other header readers, Python's
#   imagesize and the Rust imagesize crate, natively over the same files,
#   for the six older formats and for WebP, AVIF, HEIC, JPEG XL, icons and SVG;
#   the probe against the same floor under Wine;
#   the template writer's peak memory on a 16 MB template of empty lines;
#   (the Windows programs are the 64-bit build, run by Wine's 64-bit loader)
#   the page job for 1,000 and 10,000 images under Wine, built-in and from
#   templates, and how soon the progress box comes up for 5,000 files;
#   the thumbnail page of 1,000 phone photos from the command to the first
#   screen drawn in Chromium, cold and warm, with and without the cameras'
#   thumbnails, and with thumbnails off (bench/thumbnails.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
"$here/scripts/setup.sh" >/dev/null

# The other readers, from Debian's packages; the Rust one is built with
# Debian's rustc against the crate's sources that Debian ships.
need=(python3-imagesize librust-imagesize-dev rustc)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
readers="$here/build/bench/readers"
mkdir -p "$readers"
crate=$(ls -d /usr/share/cargo/registry/imagesize-* | sort -V | tail -n 1)
if [ ! -x "$readers/imagesize-reader" ] || [ "$here/bench/readers/imagesize_reader.rs" -nt "$readers/imagesize-reader" ]; then
  /usr/bin/rustc --edition 2018 --crate-type lib --crate-name imagesize -O "$crate/src/lib.rs" \
    -o "$readers/libimagesize.rlib"
  /usr/bin/rustc --edition 2018 -O "$here/bench/readers/imagesize_reader.rs" \
    --extern imagesize="$readers/libimagesize.rlib" -o "$readers/imagesize-reader"
fi

cmake --preset native >/dev/null && cmake --build --preset native >/dev/null
cmake --preset win64 >/dev/null && cmake --build --preset win64 >/dev/null

rounds=7
corpus="$here/build/bench/corpus"
rm -rf "$corpus"
echo "== probe, native"
build/native/bin/galvora-probe-bench "$corpus" 2400 600 "$rounds"
# The readers take turns, one round each, so that a machine that speeds up
# or slows down over the minutes favours none of them.
declare -A times
# The older formats (mix), phone photos, both, and one list per newer format.
lists="mix phone all webp avif heic jxl ico svg"
for ((round = 0; round < rounds; round++)); do
  for list in $lists; do
    read -r floor probe _ < <(build/native/bin/galvora-probe-bench --measure "$corpus/$list.txt" 1)
    read -r rust _ < <("$readers/imagesize-reader" 1 < "$corpus/$list.txt")
    read -r python _ < <(/usr/bin/python3 "$here/bench/readers/imagesize_reader.py" 1 < "$corpus/$list.txt")
    times[$list.floor]+="$floor " times[$list.probe]+="$probe " times[$list.rust]+="$rust " times[$list.python]+="$python "
  done
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
echo
echo "microseconds per file, median of $rounds rounds taken in turns, natively"
echo "(mix: six formats and non-images; phone: photos as phones write them; then one"
echo " list per newer format; of those, Python's imagesize reads WebP and SVG)"
printf '  %-6s %8s %8s %8s %8s   %s\n' list floor probe rust python "probe / floor"
for list in $lists; do
  awk -v l="$list" -v f="$(median "${times[$list.floor]}")" -v p="$(median "${times[$list.probe]}")" \
    -v r="$(median "${times[$list.rust]}")" -v y="$(median "${times[$list.python]}")" \
    'BEGIN { printf "  %-6s %8.2f %8.2f %8.2f %8.2f   %.3f\n", l, f, p, r, y, p / f }'
done
rm -rf "$corpus"
echo
echo "== template memory, native"
build/native/bin/galvora-template-memory-bench

. "$here/scripts/wine-env.sh"
wine_env_start "$here/build/bench/wineprefix"
trap wine_env_stop EXIT
echo
echo "== probe, under Wine (the floor with CreateFileA, GetFileSizeEx, ReadFile, CloseHandle)"
wine64 build/win64/bin/galvora-probe-bench.exe 'C:\galvora-probe-corpus' 2400 600 "$rounds" | tr -d '\r'
echo "== page job under Wine"
templates=$(winepath -w "$here/templates/modern-1252")
for n in 1000 10000; do wine64 build/win64/bin/galvora-page-bench.exe "$n"; done
for n in 1000 10000; do wine64 build/win64/bin/galvora-page-bench.exe "$n" "$templates"; done
echo "== the progress box under Wine: 5,000 files"
progress="$here/build/bench/progress"
rm -rf "$progress" && mkdir -p "$progress"
for i in $(seq -w 0 4999); do cp "$here/samples/sunset.jpg" "$progress/p$i.jpg"; done
bin=$(winepath -w "$here/build/win64/bin")
start=$(date +%s%N)
wine64 build/win64/bin/hostemu.exe --plugin "$bin\\Galvora.dll" --folder "$(winepath -w "$progress")" --menu 1 --open \
  >"$progress.txt" 2>&1
end=$(date +%s%N)
first=$(grep -m 1 '^message:' "$progress.txt" | sed 's/ | .*//')
boxes=$(grep -c '^message:' "$progress.txt" || true)
echo "  first box: ${first#message: } (the time from the command's start), $boxes boxes in all;" \
  "the whole job $(( (end - start) / 1000000 )) ms with Wine's start"
rm -rf "$progress"
wine_env_stop
trap - EXIT
echo
"$here/bench/thumbnails.sh"
