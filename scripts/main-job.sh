#!/usr/bin/env bash
# The main job: builds Galvora.dll, runs it in the host bench under Wine on
# a folder of images (the bundled samples unless one is given), chooses the
# thumbnail line (or the full-size line with --full), and prints the page
# that the plugin opened, with a screenshot of it rendered by Chromium.
# The 32-bit DLL by default; --x64 runs the 64-bit one in a 64-bit bench.
# The bench plays a host of the 1.x interface by default; --unicode plays
# the host's current release, which loads the plugin through its Unicode
# interface.
#
#   scripts/main-job.sh [--full] [--x64] [--unicode] [FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
line=1
preset=win32
interface=
folder="$here/samples"
for arg in "$@"; do
  case "$arg" in
    --full) line=0 ;;
    --x64) preset=win64 ;;
    --unicode) interface=--unicode ;;
    -h | --help) sed -n '2,12p' "$0"; exit 0 ;;
    *) folder=$(cd "$arg" && pwd) ;;
  esac
done

"$here/scripts/setup.sh"
cd "$here"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" >/dev/null

out="$here/build/main-job"
mkdir -p "$out"
. "$here/scripts/wine-env.sh"
wine_env_start "$out/wineprefix"
trap wine_env_stop EXIT

bin=$(winepath -w "$here/build/$preset/bin")
log='C:\galvora-open.log'
if [ -n "$interface" ]; then
  LC_ALL=C.UTF-8 wine "$here/build/$preset/bin/hostemu.exe" --unicode --plugin "$bin\\Galvora.dll" \
    --folder "$(LC_ALL=C.UTF-8 winepath -w "$folder")" --menu "$line" \
    --handler "$bin\\openrec.exe" "$log" >"$out/hostemu.txt"
else
  wine "$here/build/$preset/bin/hostemu.exe" --plugin "$bin\\Galvora.dll" \
    --folder "$(winepath -w "$folder")" --menu "$line" \
    --handler "$bin\\openrec.exe" "$log" --open >"$out/hostemu.txt"
fi
cat "$out/hostemu.txt"

page=$(sed -n 's/^opened: //p' "$out/hostemu.txt" | tr -d '\r' | tail -n 1)
if [ -z "$page" ]; then
  echo "main-job: the plugin opened no page" >&2
  exit 1
fi
unix_page=$(winepath -u "$page")
cp "$unix_page" "$out/gallery.htm"
"$here/scripts/chromium-sandboxed.sh" --window-size=1000,600 --screenshot="$out/gallery.png" \
  "file://$unix_page" >/dev/null 2>&1
echo
echo "Page opened by the plugin: $page"
echo "  on this machine:         $unix_page (copied to $out/gallery.htm)"
echo "Screenshot:                $out/gallery.png"
