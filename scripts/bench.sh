#!/usr/bin/env bash
# Benchmarks that print figures (no thresholds are enforced here):
#   the probe against a bare open-read-close, natively and under Wine;
#   the page job for 1,000 and 10,000 images under Wine, built-in and from templates.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
"$here/scripts/setup.sh" >/dev/null
cmake --preset native >/dev/null && cmake --build --preset native >/dev/null
cmake --preset win32 >/dev/null && cmake --build --preset win32 >/dev/null
. "$here/scripts/wine-env.sh"
wine_env_start "$here/build/bench/wineprefix"
trap wine_env_stop EXIT

echo "== probe, native"
build/native/bin/galvora-probe-bench
echo "== probe, under Wine"
wine build/win32/bin/galvora-probe-bench.exe
echo "== page job under Wine"
templates=$(winepath -w "$here/templates/modern-1252")
for n in 1000 10000; do wine build/win32/bin/galvora-page-bench.exe "$n"; done
for n in 1000 10000; do wine build/win32/bin/galvora-page-bench.exe "$n" "$templates"; done
