#!/usr/bin/env bash
# The packaging test: unpacks the zip into the plugin folder of a fresh Wine
# prefix, as a user would, and uses the plugin from there through the host
# bench with the shipped language files and template sets.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
version=$(tr -d '[:space:]' < "$here/build/win32/VERSION")
zip="$here/dist/Galvora-$version.zip"
bin="$here/build/win32/bin"
work="$here/build/package-test"
failures=0
fail() { echo "FAIL package: $*"; failures=$((failures + 1)); }
pass() { echo "ok   package: $*"; }

[ -f "$zip" ] || { echo "package test: no $zip (run scripts/package.sh)"; exit 1; }
rm -rf "$work"
mkdir -p "$work"
. "$here/scripts/wine-env.sh"
wine_env_start "$work/wineprefix"
trap wine_env_stop EXIT

plugins="$WINEPREFIX/drive_c/Program Files/Far/Plugins"
mkdir -p "$plugins"
unzip -q "$zip" -d "$plugins"
dll_unix="$plugins/Galvora/Galvora.dll"
dll='C:\Program Files\Far\Plugins\Galvora\Galvora.dll'
folder='C:\Program Files\Far\Plugins\Galvora'

# The DLL as a loader sees it.
exports=$(i686-w64-mingw32-objdump -p "$dll_unix" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\[/{print $NF}' | grep -v Table | sort | tr '\n' ' ')
[ "$exports" = "Configure GetPluginInfo OpenPlugin SetStartupInfo " ] && pass "exports: $exports" || fail "exports: $exports"
imports=$(i686-w64-mingw32-objdump -p "$dll_unix" | awk '/DLL Name:/{print tolower($3)}' | sort | tr '\n' ' ')
unexpected=$(for d in $imports; do case "$d" in kernel32.dll | user32.dll | advapi32.dll | shell32.dll | msvcrt.dll) ;; *) echo "$d" ;; esac; done)
[ -z "$unexpected" ] && pass "imports only system DLLs: $imports" || fail "imports $unexpected"

# The shipped language files: 15 messages each, labels that fit the dialog.
for lng in GalvoraEng.lng GalvoraRus.lng; do
  out=$(wine "$bin/hostemu.exe" --plugin "$dll" --lang "$folder\\$lng" --root 'Software\Far\Plugins' --configure)
  echo "$out" | grep -q '(15 messages)' && pass "$lng has 15 messages" || fail "$lng: $(echo "$out" | head -n 1)"
  # Dialog labels (items 3, 7, 10, 12, 14, and the boxes 1 and 5) against the cells before the next field.
  too_long=$(echo "$out" | tr -d '\r' | LC_ALL=C awk -F'"' '/^dialog: +[0-9]+ /{split($1, f, " "); n = f[2]; len = length($2);
      limit = (n == 1) ? 28 : (n == 3) ? 9 : (n == 5) ? 11 : (n == 7 || n == 10) ? 18 : (n == 12) ? 6 : (n == 14) ? 7 : 999;
      if (len > limit || / clipped to /) print "item " n " (" len " > " limit ")"}')
  [ -z "$too_long" ] && pass "$lng labels fit" || fail "$lng labels too long: $too_long"
done

# The version resource.
info=$(wine "$bin/hostemu.exe" --plugin "$dll" --version-info | tr -d '\r')
echo "$info" | grep -qx "version: ProductName=Galvora" && echo "$info" | grep -qx "version: FileVersion=$version" &&
  pass "version resource: Galvora $version" || fail "version resource: $info"

# A thumbnail page, opened through the shell, from the bundled samples.
samples=$(winepath -w "$here/samples")
count=$(find "$here/samples" -maxdepth 1 -type f | wc -l)
page_of() {
  local record="$work/hostemu-$1.txt" page
  wine "$bin/hostemu.exe" --plugin "$dll" --folder "$samples" --menu 1 \
    --handler "$(winepath -w "$bin")\\openrec.exe" 'C:\package-open.log' --open >"$record"
  page=$(sed -n 's/^opened: //p' "$record" | tr -d '\r' | tail -n 1)
  [ -n "$page" ] && winepath -u "$page"
}
page=$(page_of builtin) || true
if [ -n "$page" ] && [ "$(grep -c '<img src=' "$page")" -eq "$count" ]; then
  pass "thumbnail page with $count images"
else
  fail "no thumbnail page with $count images (${page:-none opened})"
fi

# A template page: the modern set copied beside the DLL, templates switched on.
cp "$plugins/Galvora/templates/modern-1252/"*.htm "$plugins/Galvora/"
wine reg add 'HKCU\Software\Far\Plugins\Galvora' /v Template /t REG_DWORD /d 1 /f >/dev/null
page=$(page_of template) || true
if [ -n "$page" ] && head -c 15 "$page" | grep -q '<!DOCTYPE html>' && [ "$(grep -c '<figure>' "$page")" -eq "$count" ]; then
  pass "template page with $count figures"
else
  fail "no template page with $count figures (${page:-none opened})"
fi

[ "$failures" -eq 0 ] && echo "package test passed" || { echo "package test: $failures failure(s)"; exit 1; }
