#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in the build's own prefix
# (created on first use), with the loader of the program's machine type: a
# 64-bit program never goes through the 32-bit loader. scripts/test.sh makes
# one prefix per run.
set -eu
. "$(dirname "$0")/../scripts/wine-env.sh"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The user's code pages come from the Unix locale: US English (437/1252)
# unless a test asks for another.
export LC_ALL=${GALVORA_WINE_LOCALE:-C.UTF-8}
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$galvora_here/build/wineprefix"
fi
# A persistent wineserver writes system.reg only when it stops, so the
# prefix is told by its drive. The daemons that wineboot leaves running
# must not inherit the lock.
if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
  mkdir -p "$WINEPREFIX"
  ( flock 9; [ -d "$WINEPREFIX/drive_c/windows" ] || wine64 wineboot.exe -i >/dev/null 2>&1 9>&- ) 9>"$WINEPREFIX.lock"
fi
# Wine starts its desktop and services on demand, and they inherit the
# program's output and outlive it; through a pipe they would keep ctest
# waiting. So the output goes to a file and is shown when the program ends.
log=$(mktemp "${TMPDIR:-/tmp}/galvora-wine.XXXXXX")
set +e
wine_run "$@" >"$log" 2>&1
rc=$?
set -e
cat "$log"
rm -f "$log"
exit "$rc"
