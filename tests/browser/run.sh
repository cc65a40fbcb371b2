#!/usr/bin/env bash
# The browser test: the real DLL makes gallery pages from the bundled
# samples under Wine (both views), and headless Chromium checks them.
# Runs in the Wine prefix of the test run (WINEPREFIX), like the rest of
# the Windows suite, with the DLL and the bench of one build:
#   run.sh BIN_DIR   (build/win32/bin or build/win64/bin)
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$here/build/win32/bin}" && pwd)
out="$here/build/test-artifacts/$(basename "$(dirname "$bin")")"
mkdir -p "$out"
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
. "$here/scripts/wine-env.sh"
# Each program with the loader of its own machine type.
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

# kept NAME RECORD: copies the page that RECORD says was opened to
# $out/NAME.htm and prints that path. Two pages made within the same 8.64 s
# may share a name (the random part repeats now and then), so each page is
# kept at once. Its image addresses are absolute, so the copy shows the same.
kept() {
  local page
  page=$(sed -n 's/^opened: //p' "$2" | tr -d '\r' | tail -n 1)
  [ -n "$page" ] || { echo "browser test: no page opened for $1" >&2; return 1; }
  cp "$(winepath -u "$page")" "$out/$1.htm"
  echo "$out/$1.htm"
}

# make_page LINE: runs the command menu's line on the samples. Wine's own
# processes may outlive the call, so the output goes to a file, not a pipe
# they would hold open.
make_page() {
  local record="$out/hostemu-line-$1.txt"
  wine "$bin/hostemu.exe" --plugin "$winbin\\Galvora.dll" --root "$root" --folder "$samples" \
    --menu "$1" --handler "$winbin\\openrec.exe" "$log" --open >"$record"
  kept "page-line-$1" "$record"
}

thumbnails=$(make_page 1)
full=$(make_page 0)

# Through the Unicode interface, as the host's current release loads the
# plugin: the samples under names in several scripts, in a folder named so
# too; the page is UTF-8.
names="$out/unicode-samples/галерея α 写真"
rm -rf "$out/unicode-samples" && mkdir -p "$names"
prefixes=("фото " "α " "写真 " "😀 " "mixed é ñ 𝄞 ")
i=0
for f in "$here"/samples/*; do
  cp "$f" "$names/${prefixes[i % ${#prefixes[@]}]}$(basename "$f")"
  i=$((i + 1))
done
unicode_page() {
  local record="$out/hostemu-unicode-$1.txt"
  LC_ALL=C.UTF-8 wine "$bin/hostemu.exe" --unicode --plugin "$winbin\\Galvora.dll" --set Cols=3 \
    --folder "$(LC_ALL=C.UTF-8 winepath -w "$names")" --menu "$1" --handler "$winbin\\openrec.exe" "$log" >"$record"
  kept "page-unicode-line-$1" "$record"
}
unicode_thumbnails=$(unicode_page 1)
unicode_full=$(unicode_page 0)

# Pictures whose shown size follows rules of the browser's own: AVIF clean
# apertures (applied only at the top left) and SVGs sized by a viewBox alone
# (its ratio inside 300 x 150), through the Unicode interface.
extra="$out/extra-samples"
rm -rf "$extra" && mkdir -p "$extra"
/usr/bin/python3 -c "from PIL import Image; Image.new('RGB', (64, 48), (200, 90, 40)).save('$out/extra-source.png')"
avifenc -s 10 --crop 0,0,32,24 "$out/extra-source.png" "$extra/clap-top-left.avif" >/dev/null
avifenc -s 10 --crop 8,8,32,24 "$out/extra-source.png" "$extra/clap-centred.avif" >/dev/null
for box in "square 100 100" "tall 100 400" "wide 400 100"; do
  set -- $box
  printf '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 %s %s"><rect width="%s" height="%s" fill="teal"/></svg>\n' \
    "$2" "$3" "$2" "$3" >"$extra/viewbox-$1.svg"
done
record="$out/hostemu-extra.txt"
LC_ALL=C.UTF-8 wine "$bin/hostemu.exe" --unicode --plugin "$winbin\\Galvora.dll" \
  --folder "$(LC_ALL=C.UTF-8 winepath -w "$extra")" --menu 1 --handler "$winbin\\openrec.exe" "$log" >"$record"
extra_thumbnails=$(kept page-extra "$record")

# The modern template sets, which link with %URL% and %THUMBURL%: names
# with # and % load too. The HTML checker gets names in plain ASCII, since
# it reads every page as utf-8.
wine reg add "HKCU\\$root\\Galvora" /v Template /t REG_DWORD /d 1 /f >/dev/null
browser_names=(); ascii_names=()
for f in "$here"/samples/*; do
  name=$(basename "$f")
  browser_names+=("$name")
  if printf '%s' "$name" | LC_ALL=C grep -q '[^ -~]'; then continue; fi
  ascii_names+=("$name")
done
paths_file="$out/html-check-paths.txt"
: >"$paths_file"
for n in "${ascii_names[@]}"; do printf '%s\r\n' "$samples\\$n" >>"$paths_file"; done

# template_page SET LINE NAME...: a page from the set on the named samples.
template_page() {
  local set=$1 line=$2 args=()
  shift 2
  for n in "$@"; do args+=(--select "$samples\\$n"); done
  local record="$out/hostemu-$set-$line-$#.txt"
  wine "$bin/hostemu.exe" --plugin "$winbin\\Galvora.dll" --root "$root" \
    --module "$(winepath -w "$here/templates/$set")\\Galvora.dll" --curdir "$samples" "${args[@]}" \
    --menu "$line" --handler "$winbin\\openrec.exe" "$log" --open >"$record"
  kept "page-$set-line-$line-$#-images" "$record"
}
template_thumbnails=$(template_page modern-1252 1 "${browser_names[@]}")
template_full=$(template_page modern-1252 0 "${browser_names[@]}")
html_pages=()
for set in modern-1252 modern-1251; do
  for line in 1 0; do html_pages+=("$(template_page "$set" "$line" "${ascii_names[@]}")"); done
done
wine reg delete "HKCU\\$root" /f >/dev/null 2>&1 || true

cd "$here/build/tools/node"
node "$here/tests/browser/check-gallery.mjs" "$out" "thumbnails=$thumbnails" "full=$full" \
  "unicode-thumbnails=$unicode_thumbnails" "unicode-full=$unicode_full" "extra-thumbnails=$extra_thumbnails" \
  "template-thumbnails=$template_thumbnails" "template-full=$template_full"
node "$here/tests/browser/check-html.mjs" "$paths_file" "${html_pages[@]}"
