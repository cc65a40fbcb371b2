#!/usr/bin/env bash
# The main job: builds Galvora.dll and runs it in the host bench under Wine,
# printing what it announces and the menu it shows.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
"$here/scripts/setup.sh"
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null

. "$here/scripts/wine-env.sh"
wine_env_start "$here/build/main-job/wineprefix"
trap wine_env_stop EXIT
wine build/win32/bin/hostemu.exe --plugin build/win32/bin/Galvora.dll --info --open
