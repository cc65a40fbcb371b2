#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

need=(
  cmake ninja-build git zip unzip
  g++-mingw-w64-i686 wine wine32:i386
  googletest
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

# Node.js and npm: the machine's own when it has them, else Debian's.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# From the npm registry, kept in the project's build folder: the driver of
# the browser test and the Nu HTML Checker.
here=$(cd "$(dirname "$0")/.." && pwd)
node_dir="$here/build/tools/node"
if [ ! -f "$node_dir/node_modules/playwright-core/package.json" ] ||
   [ ! -f "$node_dir/node_modules/vnu-jar/build/dist/vnu.jar" ]; then
  mkdir -p "$node_dir"
  (cd "$node_dir" && npm install --silent --no-audit --no-fund --no-save \
     playwright-core@1.65.2 vnu-jar@26.9.27 >/dev/null)
fi
echo "setup: ready"
