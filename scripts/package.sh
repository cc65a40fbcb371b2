#!/usr/bin/env bash
# Makes the distribution: dist/Galvora/ (the folder a user copies into the
# host's plugin folder) and dist/Galvora-<version>.zip.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
if [ ! -f build/win32/bin/Galvora.dll ] || [ "${1:-}" != "--no-build" ]; then
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 >/dev/null
fi
version=$(tr -d '[:space:]' < build/win32/VERSION)
out="$here/dist/Galvora"
rm -rf "$here/dist"
mkdir -p "$out/templates"
cp build/win32/bin/Galvora.dll lang/GalvoraEng.lng lang/GalvoraRus.lng "$out/"
cp docs/Galvora-en.md docs/Galvora-ru.md "$out/"
cp -r templates/minimal templates/modern-1252 templates/modern-1251 templates/PLACEHOLDERS.md "$out/templates/"
(cd "$here/dist" && zip -qrX "Galvora-$version.zip" Galvora)
echo "package: dist/Galvora/ and dist/Galvora-$version.zip"
