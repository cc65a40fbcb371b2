#!/usr/bin/env bash
# The browser test: the real DLL makes gallery pages from the bundled
# samples under Wine (both views), and headless Chromium checks them.
# Runs in the Wine prefix of the test run (WINEPREFIX), like the rest of
# the win32 suite.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
bin="$here/build/win32/bin"
out="$here/build/test-artifacts"
mkdir -p "$out"
export WINEPREFIX="${WINEPREFIX:-$here/build/win32/wineprefix}"
wine() { "$here/cmake/wine-run.sh" "$@"; }
# On its own, this keeps one server alive across its steps (when the test
# run keeps one already, this does nothing) and makes the prefix.
mkdir -p "$WINEPREFIX"
wineserver -p30 2>/dev/null || true
wine cmd /c exit </dev/null >/dev/null 2>&1

root='Software\GalvoraBrowserTest\Plugins'
wine reg delete "HKCU\\$root" /f >/dev/null 2>&1 || true
wine reg add "HKCU\\$root\\Galvora" /v Cols /t REG_DWORD /d 3 /f >/dev/null
log='C:\galvora-browser-open.log'
winbin=$(winepath -w "$bin")
samples=$(winepath -w "$here/samples")

# make_page LINE: runs the command menu's line on the samples and prints
# the page it opened (a Unix path). Wine's own processes may outlive the
# call, so the output goes to a file, not a pipe they would hold open.
make_page() {
  local record="$out/hostemu-line-$1.txt" page
  wine "$bin/hostemu.exe" --plugin "$winbin\\Galvora.dll" --root "$root" --folder "$samples" \
    --menu "$1" --handler "$winbin\\openrec.exe" "$log" --open >"$record"
  page=$(sed -n 's/^opened: //p' "$record" | tr -d '\r' | tail -n 1)
  [ -n "$page" ] || { echo "browser test: the plugin opened no page" >&2; return 1; }
  winepath -u "$page"
}

thumbnails=$(make_page 1)
full=$(make_page 0)
wine reg delete "HKCU\\$root" /f >/dev/null 2>&1 || true

cd "$here/build/tools/node"
node "$here/tests/browser/check-gallery.mjs" "$out" "thumbnails=$thumbnails" "full=$full"
