#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: packages already present are left as they are.
# Then finds out once whether this machine runs i386 programs natively (the
# answer is kept in build/i386-native.txt; --i386-only does only that).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
i386_file="$here/build/i386-native.txt"

# Some kernels run no i386 programs (IA-32 emulation off): Wine's 32-bit
# loader then fails with ENOEXEC. Where binfmt_misc hands them to qemu they
# do start, but far too slowly to test with; that counts as "no" too.
detect_i386() {
  [ -f "$i386_file" ] && return 0
  mkdir -p "$(dirname "$i386_file")"
  local answer=yes reason="runs i386 programs natively" entry out rc
  set +e
  out=$(/usr/lib/wine/wine --version 2>&1 </dev/null)
  rc=$?
  set -e
  if [ $rc -eq 126 ] || grep -qi 'exec format error' <<<"$out"; then
    answer=no reason="the kernel runs no i386 programs (Wine's 32-bit loader: Exec format error)"
  elif [ $rc -ne 0 ]; then
    answer=no reason="Wine's 32-bit loader does not start (exit status $rc)"
  else
    for entry in /proc/sys/fs/binfmt_misc/*; do
      case "${entry##*/}" in status | register | '*') continue ;; esac
      if grep -qx enabled "$entry" 2>/dev/null && grep -Eq '^magic 7f454c4601.{26}0300' "$entry" 2>/dev/null; then
        answer=no reason="i386 programs run only emulated here (binfmt_misc: ${entry##*/})"
      fi
    done
  fi
  printf '%s\n%s\n' "$answer" "$reason" >"$i386_file"
}
if [ "${1:-}" = --i386-only ]; then
  detect_i386
  exit 0
fi

need=(
  cmake ninja-build git zip unzip
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
  googletest
  clang-14 libclang-rt-14-dev
  chromium bubblewrap
  default-jre-headless
  locales
  webp libavif-bin libheif-examples libjxl-tools icoutils python3-pil fonts-dejavu-core
  cmark-gfm
)

# The browser test's driver and the HTML checker, from the npm registry.
# Both accept Node.js 18, the version Debian 12 ships; npm installs them
# with --engine-strict, so a release that needs a newer Node.js is refused
# here and not found out deep inside a test.
node_major_needed=18
npm_packages=(playwright-core@1.61.1 vnu-jar@26.9.27)

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

# Wine takes a user's code pages from the Unix locale; the tests run as a
# Russian user (866/1251) too, and a locale that is not installed would
# break names beyond ASCII.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
  $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi

node_version=$(node --version 2>/dev/null || echo none)
node_major=${node_version#v}
node_major=${node_major%%.*}
if ! [ "$node_major" -ge "$node_major_needed" ] 2>/dev/null; then
  echo "setup: Node.js $node_major_needed or later is needed, $(command -v node || echo node) is $node_version" >&2
  exit 1
fi

# Kept in the project's build folder; installed again when a pinned version
# changes.
node_dir="$here/build/tools/node"
installed() {
  local name=${1%@*} version=${1##*@}
  node -e 'process.exit(require(process.argv[1]).version === process.argv[2] ? 0 : 1)' \
    "$node_dir/node_modules/$name/package.json" "$version" 2>/dev/null
}
stale=()
for p in "${npm_packages[@]}"; do installed "$p" || stale+=("$p"); done
if [ ${#stale[@]} -gt 0 ]; then
  echo "setup: npm install ${stale[*]} (Node.js $node_version)"
  mkdir -p "$node_dir"
  log="$node_dir/npm-install.log"
  if ! (cd "$node_dir" && npm install --engine-strict --no-audit --no-fund --no-save "${npm_packages[@]}") >"$log" 2>&1; then
    reason=$(grep -m 1 -E 'npm ERR! (engine Not compatible|code )' "$log" | sed 's/^npm ERR! //')
    echo "setup: npm could not install ${stale[*]} on Node.js $node_version (${reason:-see $log})" >&2
    exit 1
  fi
fi
detect_i386
if [ "$(head -n 1 "$i386_file")" != yes ]; then
  echo "setup: no 32-bit Windows programs on this machine: $(sed -n 2p "$i386_file"); the 32-bit DLL is built but not run"
fi
echo "setup: ready"
