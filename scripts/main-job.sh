#!/usr/bin/env bash
# The main job: builds Galvora.dll, runs it in the host bench under Wine on
# a folder of images (the bundled samples unless one is given), chooses the
# thumbnail line (or the full-size line with --full), and prints the page
# that the plugin opened, with a screenshot of it rendered by Chromium.
# By default it plays what most users run: the host's current 64-bit
# release, which loads the 64-bit DLL through its Unicode interface.
# --x86 takes the 32-bit DLL (on a machine that runs i386 programs), and
# --ansi plays a host of the 1.x interface. (--x64 and --unicode, the
# defaults, are still taken.)
#
#   scripts/main-job.sh [--full] [--x86] [--ansi] [FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
line=1
preset=win64
interface=unicode
folder="$here/samples"
step="reading the arguments"
# Whatever fails ends with one line that names the step.
trap 'rc=$?; echo "main-job: failed while $step (exit status $rc)" >&2; exit $rc' ERR
for arg in "$@"; do
  case "$arg" in
    --full) line=0 ;;
    --x86) preset=win32 ;;
    --x64) preset=win64 ;;
    --ansi) interface=ansi ;;
    --unicode) interface=unicode ;;
    -h | --help) sed -n '2,13p' "$0"; exit 0 ;;
    -*) echo "main-job: unknown option $arg (see --help)" >&2; exit 2 ;;
    *)
      if ! folder=$(cd "$arg" 2>/dev/null && pwd); then
        echo "main-job: no folder $arg" >&2
        exit 2
      fi
      ;;
  esac
done

step="installing what the build needs (scripts/setup.sh)"
"$here/scripts/setup.sh"
. "$here/scripts/wine-env.sh"
if [ "$preset" = win32 ] && ! i386_native; then
  echo "main-job: --x86 cannot run here: $(i386_reason); the default runs the 64-bit DLL" >&2
  exit 1
fi
cd "$here"
step="configuring the $preset build"
cmake --preset "$preset" >/dev/null
step="building the $preset build"
cmake --build --preset "$preset" >/dev/null

out="$here/build/main-job"
mkdir -p "$out"
step="making a Wine prefix"
wine_env_start "$out/wineprefix"
trap 'rc=$?; echo "main-job: failed while $step (exit status $rc)" >&2; wine_env_stop; exit $rc' ERR
trap wine_env_stop EXIT

step="running the plugin in the host bench"
bin=$(winepath -w "$here/build/$preset/bin")
log='C:\galvora-open.log'
hostemu="$here/build/$preset/bin/hostemu.exe"
if [ "$interface" = unicode ]; then
  LC_ALL=C.UTF-8 wine_run "$hostemu" --unicode --plugin "$bin\\Galvora.dll" \
    --folder "$(LC_ALL=C.UTF-8 winepath -w "$folder")" --menu "$line" \
    --handler "$bin\\openrec.exe" "$log" >"$out/hostemu.txt"
else
  wine_run "$hostemu" --plugin "$bin\\Galvora.dll" \
    --folder "$(winepath -w "$folder")" --menu "$line" \
    --handler "$bin\\openrec.exe" "$log" --open >"$out/hostemu.txt"
fi
cat "$out/hostemu.txt"

step="finding the page that the plugin opened"
page=$(sed -n 's/^opened: //p' "$out/hostemu.txt" | tr -d '\r' | tail -n 1)
if [ -z "$page" ]; then
  echo "main-job: the plugin opened no page (see $out/hostemu.txt)" >&2
  exit 1
fi
unix_page=$(winepath -u "$page")
cp "$unix_page" "$out/gallery.htm"
step="taking a screenshot of the page in Chromium"
"$here/scripts/chromium-sandboxed.sh" --window-size=1000,600 --screenshot="$out/gallery.png" \
  "file://$unix_page" >/dev/null 2>&1
echo
echo "Page opened by the plugin: $page"
echo "  on this machine:         $unix_page (copied to $out/gallery.htm)"
echo "Screenshot:                $out/gallery.png"
