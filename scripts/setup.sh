#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

need=(
  cmake ninja-build git zip unzip
  g++-mingw-w64-i686 wine wine32:i386
  googletest libbenchmark-dev
  clang-14 libclang-rt-14-dev
  chromium bubblewrap
  default-jre-headless
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

missing=()
for p in "${need[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Nu HTML Checker comes from the npm registry; it is kept inside the project's build folder.
here=$(cd "$(dirname "$0")/.." && pwd)
vnu_dir="$here/build/tools/vnu"
if [ ! -f "$vnu_dir/node_modules/vnu-jar/build/dist/vnu.jar" ]; then
  mkdir -p "$vnu_dir"
  (cd "$vnu_dir" && npm install --silent --no-audit --no-fund vnu-jar@latest >/dev/null)
fi
echo "setup: ready"
