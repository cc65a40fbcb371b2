#!/usr/bin/env bash
# Makes the distribution: dist/Galvora/ and dist/Galvora-<version>.zip, with
# one folder per build of the host: x86/ (32-bit) and x64/ (64-bit), each a
# complete plugin folder that a user copies into the host's plugin folder.
#   scripts/package.sh [--no-build]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
for preset in win32 win64; do
  if [ ! -f "build/$preset/bin/Galvora.dll" ] || [ "${1:-}" != "--no-build" ]; then
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" >/dev/null
  fi
done
version=$(tr -d '[:space:]' < build/win32/VERSION)
[ "$version" = "$(tr -d '[:space:]' < build/win64/VERSION)" ] || { echo "package: the two builds differ in version" >&2; exit 1; }
rm -rf "$here/dist"
for arch in x86 x64; do
  preset=win32
  [ "$arch" = x64 ] && preset=win64
  out="$here/dist/Galvora/$arch"
  mkdir -p "$out/templates"
  cp "build/$preset/bin/Galvora.dll" "build/$preset/bin/GalvoraThumbs.exe" lang/GalvoraEng.lng lang/GalvoraRus.lng lang/GalvoraEng.hlf lang/GalvoraRus.hlf "$out/"
  cp docs/Galvora-en.md docs/Galvora-ru.md "build/$preset/bin/Galvora-en.html" "build/$preset/bin/Galvora-ru.html" "$out/"
  cp -r templates/minimal templates/modern-1252 templates/modern-1251 templates/PLACEHOLDERS.md "$out/templates/"
done
cat > "$here/dist/Galvora/README.txt" <<TEXT
Galvora $version

x86  for the 32-bit FAR (Far.exe built for x86)
x64  for the 64-bit FAR (Far.exe built for x64)

Copy the one folder that matches your FAR into its Plugins folder, for
example as C:\\Program Files\\Far Manager\\Plugins\\Galvora, and restart FAR.
Galvora-en.md (Russian: Galvora-ru.md) inside it is the user guide.
TEXT
sed -i 's/$/\r/' "$here/dist/Galvora/README.txt"
(cd "$here/dist" && zip -qrX "Galvora-$version.zip" Galvora)
echo "package: dist/Galvora/ (x86, x64) and dist/Galvora-$version.zip"
