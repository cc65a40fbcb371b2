#!/usr/bin/env bash
# Every test: the portable core natively (with bounded fuzz runs), both
# DLLs (64-bit and 32-bit), their tools and the pages they make under Wine
# and in Chromium, and the distribution as a user unpacks it.
# Installs what is missing first. Fails when any test fails.
#
# On a machine whose kernel runs no i386 programs the 32-bit DLL and tools
# are still built and their exports and imports checked, but the 32-bit
# suites under Wine are skipped, with a line that says so.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

"$here/scripts/setup.sh"

echo "== build (native)"
cmake --preset native >/dev/null
cmake --build --preset native
for preset in win64 win32; do
  echo "== build ($preset)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

# One 64-bit prefix, made once, runs every Windows program of this run.
. "$here/scripts/wine-env.sh"
wine_env_start "$here/build/wineprefix"
trap wine_env_stop EXIT
# A zone with a half-hour offset tells local time from UTC in every test.
export TZ=Asia/Kolkata

# Wine first, while its fresh desktop is up: left idle for a minute, its
# clipboard takes ten seconds to answer again.
echo "== tests (win64, under Wine)"
ctest --preset win64
if i386_native; then
  echo "== tests (win32, under Wine)"
  ctest --preset win32
else
  suites=$(ctest --preset win32 -N | sed -n 's/^ *Test *#[0-9]*: //p' | tr '\n' ' ')
  echo "== tests (win32, under Wine): skipped ${suites% }: $(i386_reason)"
fi
echo "== tests (native)"
ctest --preset native
echo "== fuzzing (bounded)"
"$here/scripts/fuzz.sh" 30 10
echo "== package"
"$here/scripts/package.sh" --no-build
"$here/tests/package/run.sh"

echo "== all tests passed"
