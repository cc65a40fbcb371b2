#!/usr/bin/env bash
# Benchmarks that print figures (no thresholds are enforced here):
#   the probe against the floor every header reader pays (open, size query,
#   one read of 4 KB, close) and against two other header readers, Python's
#   imagesize and the Rust imagesize crate, natively over the same files;
#   the probe against the same floor under Wine;
#   the page job for 1,000 and 10,000 images under Wine, built-in and from templates.
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
cmake --preset win32 >/dev/null && cmake --build --preset win32 >/dev/null

rounds=7
corpus="$here/build/bench/corpus"
rm -rf "$corpus"
echo "== probe, native"
out=$(build/native/bin/galvora-probe-bench "$corpus" 2400 600 "$rounds")
echo "$out" | grep -v '^result '
declare -A us
while read -r _ list reader value; do us[$list.$reader]=$value; done < <(echo "$out" | grep '^result ')
for list in mix phone all; do
  read -r us[$list.rust] _ < <("$readers/imagesize-reader" "$rounds" < "$corpus/$list.txt")
  read -r us[$list.python] _ < <(/usr/bin/python3 "$here/bench/readers/imagesize_reader.py" 3 < "$corpus/$list.txt")
done
echo
echo "microseconds per file (median), natively; mix = six formats and non-images, phone = photos as phones write them"
printf '  %-6s %8s %8s %8s %8s   %s\n' list floor probe rust python "probe / floor"
for list in mix phone all; do
  awk -v l="$list" -v f="${us[$list.floor]}" -v p="${us[$list.probe]}" -v r="${us[$list.rust]}" \
    -v y="${us[$list.python]}" 'BEGIN { printf "  %-6s %8.2f %8.2f %8.2f %8.2f   %.3f\n", l, f, p, r, y, p / f }'
done
rm -rf "$corpus"

. "$here/scripts/wine-env.sh"
wine_env_start "$here/build/bench/wineprefix"
trap wine_env_stop EXIT
echo
echo "== probe, under Wine (the floor with CreateFileA, GetFileSizeEx, ReadFile, CloseHandle)"
wine build/win32/bin/galvora-probe-bench.exe 'C:\galvora-probe-corpus' 2400 600 "$rounds" | tr -d '\r' | grep -v '^result '
echo "== page job under Wine"
templates=$(winepath -w "$here/templates/modern-1252")
for n in 1000 10000; do wine build/win32/bin/galvora-page-bench.exe "$n"; done
for n in 1000 10000; do wine build/win32/bin/galvora-page-bench.exe "$n" "$templates"; done
