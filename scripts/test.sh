#!/usr/bin/env bash
# Every test: the portable core natively (with bounded fuzz runs), both
# DLLs (32-bit and 64-bit), their tools and the pages they make under Wine
# and in Chromium, and the distribution as a user unpacks it.
# Installs what is missing first. Fails when any test fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

"$here/scripts/setup.sh"

echo "== build (native)"
cmake --preset native >/dev/null
cmake --build --preset native
for preset in win32 win64; do
  echo "== build ($preset)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

# One fresh 64-bit prefix runs the programs of both builds.
. "$here/scripts/wine-env.sh"
wine_env_start "$here/build/wineprefix"
trap wine_env_stop EXIT
# A zone with a half-hour offset tells local time from UTC in every test.
export TZ=Asia/Kolkata

# Wine first, while its fresh desktop is up: left idle for a minute, its
# clipboard takes ten seconds to answer again.
echo "== tests (win32, under Wine)"
ctest --preset win32
echo "== tests (win64, under Wine)"
ctest --preset win64
echo "== tests (native)"
ctest --preset native
echo "== fuzzing (bounded)"
"$here/scripts/fuzz.sh" 30 10
echo "== package"
"$here/scripts/package.sh" --no-build
"$here/tests/package/run.sh"

echo "== all tests passed"
