#!/usr/bin/env bash
# The packaging test: unpacks the zip, puts each of its two plugin folders
# (x86 and x64) into the plugin folder of a host of that build in a fresh
# Wine prefix, as a user would, and uses the plugin from there through the
# host bench of the same build with the shipped language files and template
# sets. The cross tools check both DLLs' exports and imports on any machine;
# the 32-bit one is run only where the kernel runs i386 programs. Run from
# scripts/test.sh, it uses that run's Wine prefix (WINEPREFIX).
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
version=$(tr -d '[:space:]' < "$here/build/win32/VERSION")
zip="$here/dist/Galvora-$version.zip"
work="$here/build/package-test"
failures=0
fail() { echo "FAIL package: $*"; failures=$((failures + 1)); }
pass() { echo "ok   package: $*"; }

[ -f "$zip" ] || { echo "package test: no $zip (run scripts/package.sh)"; exit 1; }
rm -rf "$work"
mkdir -p "$work/unpacked"
unzip -q "$zip" -d "$work/unpacked"
for entry in README.txt x86/Galvora.dll x64/Galvora.dll x86/GalvoraThumbs.exe x64/GalvoraThumbs.exe; do
  [ -f "$work/unpacked/Galvora/$entry" ] && pass "the zip holds Galvora/$entry" || fail "the zip lacks Galvora/$entry"
done
. "$here/scripts/wine-env.sh"
if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX/drive_c/windows" ]; then
  wine_env_use "$WINEPREFIX"
  rm -rf "$WINEPREFIX/drive_c/Far-x86" "$WINEPREFIX/drive_c/Far-x64"
else
  wine_env_start "$work/wineprefix"
  trap wine_env_stop EXIT
fi
samples=$(winepath -w "$here/samples")
count=$(find "$here/samples" -maxdepth 1 -type f | wc -l)
messages=$(sed -n 's/^constexpr int kMessageCount = \([0-9]*\);/\1/p' "$here/core/Messages.h")

# check ARCH BUILD OBJDUMP PE_FORMAT
check() {
  local arch=$1 build=$2 objdump=$3 format=$4
  local bin="$here/build/$build/bin"
  local folder="C:\\Far-$arch\\Plugins\\Galvora" root="Software\\Far-$arch\\Plugins"
  local plugin_dir="$WINEPREFIX/drive_c/Far-$arch/Plugins/Galvora"
  mkdir -p "$(dirname "$plugin_dir")"
  cp -r "$work/unpacked/Galvora/$arch" "$plugin_dir"
  local dll="$folder\\Galvora.dll" dll_unix="$plugin_dir/Galvora.dll"
  # The settings of a first start, whatever an earlier run in this prefix left.
  wine64 reg delete "HKCU\\$root\\Galvora" /f >/dev/null 2>&1 || true

  # The DLL as a loader sees it.
  $objdump -f "$dll_unix" | grep -q "file format $format" && pass "$arch: $format" || fail "$arch: not $format"
  local exports imports unexpected
  exports=$($objdump -p "$dll_unix" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\[/{print $NF}' | grep -v Table | sort | tr '\n' ' ')
  [ "$exports" = "Configure ConfigureW ExitFARW GetGlobalInfoW GetMinFarVersionW GetPluginInfo GetPluginInfoW OpenPlugin OpenW SetStartupInfo SetStartupInfoW " ] && pass "$arch: exports: $exports" || fail "$arch: exports: $exports"
  imports=$($objdump -p "$dll_unix" | awk '/DLL Name:/{print tolower($3)}' | sort | tr '\n' ' ')
  unexpected=$(for d in $imports; do case "$d" in kernel32.dll | user32.dll | advapi32.dll | shell32.dll | msvcrt.dll) ;; *) echo "$d" ;; esac; done)
  [ -z "$unexpected" ] && pass "$arch: imports only system DLLs: $imports" || fail "$arch: imports $unexpected"

  # The thumbnail worker: the same machine type, and besides kernel32 and
  # the C runtime only the three COM functions of ole32 that Windows XP has.
  local worker="$plugin_dir/GalvoraThumbs.exe" ole
  $objdump -f "$worker" | grep -q "file format $format" && pass "$arch: GalvoraThumbs.exe is $format" ||
    fail "$arch: GalvoraThumbs.exe is not $format"
  imports=$($objdump -p "$worker" | awk '/DLL Name:/{print tolower($3)}' | sort | tr '\n' ' ')
  ole=$($objdump -p "$worker" | sed -n '/DLL Name: ole32.dll/,/^$/p' | awk 'NR > 2 && NF == 3 {print $3}' | sort | tr '\n' ' ')
  [ "$imports" = "kernel32.dll msvcrt.dll ole32.dll " ] && [ "$ole" = "CoCreateInstance CoInitializeEx CoUninitialize " ] &&
    pass "$arch: the worker imports $imports($ole)" || fail "$arch: the worker imports $imports($ole)"

  # The language and help files are OEM text without a byte-order mark, the
  # one form that every host reads. A host from build 6371 on takes such a
  # file for UTF-8 when its first line beyond ASCII happens to be valid
  # UTF-8, and then garbles it: none may be.
  local text verdict
  for text in GalvoraEng.lng GalvoraRus.lng GalvoraEng.hlf GalvoraRus.hlf; do
    verdict=$(/usr/bin/python3 - "$plugin_dir/$text" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
if data.startswith((b"\xef\xbb\xbf", b"\xff\xfe", b"\xfe\xff")):
    print("has a byte-order mark"); sys.exit()
for line in data.split(b"\n"):
    if any(b >= 0x80 for b in line):
        try:
            line.decode("utf-8")
            print("its first line beyond ASCII reads as UTF-8")
        except UnicodeDecodeError:
            print("ok")
        sys.exit()
print("ok")
PY
)
    [ "$verdict" = ok ] && pass "$arch: $text is read as OEM by every host" || fail "$arch: $text $verdict"
  done

  # The user guides as HTML, which the built-in page's home link opens.
  local guide
  for guide in Galvora-en.html Galvora-ru.html; do
    grep -q '<title>' "$plugin_dir/$guide" 2>/dev/null && pass "$arch: $guide" || fail "$arch: no $guide"
  done

  if [ "$arch" = x86 ] && ! i386_native; then
    echo "skip package: x86: the plugin is not run here: $(i386_reason)"
    return 0
  fi
  local wine=wine64
  [ "$arch" = x86 ] && wine=wine32

  # The shipped language files: every message, labels that fit the dialog.
  local lng out too_long
  for lng in GalvoraEng.lng GalvoraRus.lng; do
    out=$($wine "$bin/hostemu.exe" --plugin "$dll" --lang "$folder\\$lng" --root "$root" --configure)
    echo "$out" | grep -q "($messages messages)" && pass "$arch: $lng has $messages messages" || fail "$arch: $lng: $(echo "$out" | head -n 1)"
    # Dialog labels (items 4, 8, 11, 13, 15, and the boxes 1, 2 and 6)
    # against the cells before the next field, and none that the host would clip.
    too_long=$(echo "$out" | tr -d '\r' | LC_ALL=C awk -F'"' '/^dialog: +[0-9]+ /{split($1, f, " "); n = f[2]; len = length($2);
        limit = (n == 1 || n == 2) ? 28 : (n == 4) ? 9 : (n == 6) ? 11 : (n == 8 || n == 11) ? 18 : (n == 13) ? 8 : (n == 15) ? 7 : 999;
        if (len > limit || / clipped to /) print "item " n " (" len " > " limit ")"}')
    [ -z "$too_long" ] && pass "$arch: $lng labels fit" || fail "$arch: $lng labels too long: $too_long"
  done

  # The version resource.
  local info
  info=$($wine "$bin/hostemu.exe" --plugin "$dll" --version-info | tr -d '\r')
  echo "$info" | grep -qx "version: ProductName=Galvora" && echo "$info" | grep -qx "version: FileVersion=$version" &&
    pass "$arch: version resource: Galvora $version" || fail "$arch: version resource: $info"

  # A thumbnail page, opened through the shell, from the bundled samples.
  page_of() {
    local record="$work/hostemu-$arch-$1.txt" page
    $wine "$bin/hostemu.exe" --plugin "$dll" --root "$root" --folder "$samples" --menu 1 \
      --handler "$(winepath -w "$bin")\\openrec.exe" "C:\\package-open-$arch.log" --open >"$record"
    page=$(sed -n 's/^opened: //p' "$record" | tr -d '\r' | tail -n 1)
    [ -n "$page" ] && winepath -u "$page"
  }
  # What the bench said of a run that opened no page: the plugin's
  # messages and the shell's trouble.
  said() { grep -E '^(message|shell|handler):' "$work/hostemu-$arch-$1.txt" | tr -d '\r' | tr '\n' ' '; }
  local page
  page=$(page_of builtin) || true
  if [ -n "$page" ] && [ "$(grep -c '<img src=' "$page")" -eq "$count" ]; then
    pass "$arch: thumbnail page with $count images"
  else
    fail "$arch: no thumbnail page with $count images (${page:-none opened: $(said builtin)})"
  fi

  # A template page: the modern set copied beside the DLL, templates switched on.
  cp "$plugin_dir/templates/modern-1252/"*.htm "$plugin_dir/"
  wine64 reg add "HKCU\\$root\\Galvora" /v Template /t REG_DWORD /d 1 /f >/dev/null
  page=$(page_of template) || true
  if [ -n "$page" ] && head -c 15 "$page" | grep -q '<!DOCTYPE html>' && [ "$(grep -c '<figure>' "$page")" -eq "$count" ]; then
    pass "$arch: template page with $count figures"
  else
    fail "$arch: no template page with $count figures (${page:-none opened: $(said template)})"
  fi
}

check x86 win32 i686-w64-mingw32-objdump pei-i386
check x64 win64 x86_64-w64-mingw32-objdump pei-x86-64

[ "$failures" -eq 0 ] && echo "package test passed" || { echo "package test: $failures failure(s)"; exit 1; }
