#!/usr/bin/env bash
# Runs Debian's Chromium headless in a private root where /Z: leads to /
# and /C: to the drive C: of the Wine prefix (WINEPREFIX), so that a page
# made under Wine, which names its images file://localhost/Z:\... and its
# thumbnails file://localhost/C:\users\..., finds them on this machine.
# Nothing is created on the machine itself: the root is a tmpfs with the
# real folders bound in.
# Usage: chromium-sandboxed.sh [chromium options] URL
#        chromium-sandboxed.sh --as-is [options]   (for a driver that passes its own)
set -euo pipefail
defaults=(--headless --no-sandbox --disable-gpu --disable-quic --no-first-run
  --disable-background-networking --disable-component-update --disable-sync)
if [ "${1:-}" = "--as-is" ]; then
  shift
  defaults=(--no-sandbox --disable-quic --disable-background-networking --disable-component-update)
fi
binds=()
for entry in /*; do
  case "${entry#/}" in proc | dev | sys | tmp) continue ;; esac
  if [ -L "$entry" ]; then
    binds+=(--symlink "$(readlink "$entry")" "$entry")
  elif [ -d "$entry" ]; then
    binds+=(--bind "$entry" "$entry")
  fi
done
sandbox=(bwrap --tmpfs / "${binds[@]}" --bind /tmp /tmp --proc /proc --dev /dev --ro-bind /sys /sys
  --symlink / /Z: --die-with-parent)
if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX/drive_c" ]; then
  sandbox+=(--symlink "$(cd "$WINEPREFIX/drive_c" && pwd)" /C:)
fi
case " $* " in
  *" --user-data-dir="*)
    # A driver's own profile; exec keeps its pipes (descriptors 3 and 4) attached.
    exec "${sandbox[@]}" chromium "${defaults[@]}" "$@"
    ;;
esac
profile=$(mktemp -d /tmp/galvora-chromium.XXXXXX)
trap 'rm -rf "$profile"' EXIT
"${sandbox[@]}" chromium "${defaults[@]}" --user-data-dir="$profile" "$@"
