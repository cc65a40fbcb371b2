# Sourced by the scripts: Wine's loaders, and a private, headless Wine
# prefix for one run.
#
#   . scripts/wine-env.sh
#   wine_env_start PREFIX_DIR   makes the prefix fresh and keeps one
#                               wineserver alive until wine_env_stop
#   wine_env_use PREFIX_DIR     the same for a prefix that may exist already
#                               (made when it does not)
#   wine64 PROGRAM ARGS...      a 64-bit program, through Wine's 64-bit loader
#   wine32 PROGRAM ARGS...      a 32-bit program (needs a kernel that runs i386)
#   wine_run PROGRAM ARGS...    either, by the program's own machine type;
#                               Wine's built-in programs (cmd, reg) run 64-bit
#   winepath -w|-u PATH         Wine's path conversion, 64-bit
#   i386_native                 true when this machine runs i386 programs
#                               natively (scripts/setup.sh found out once)
#   i386_reason                 why not, in a few words
#
# The `wine` launcher always starts the 32-bit loader first, even for a
# 64-bit program: on a kernel without IA-32 emulation that fails, and with
# i386 emulated by qemu it costs minutes. So 64-bit programs start with the
# 64-bit loader itself.

galvora_here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ -x /usr/lib/wine/wine64 ]; then
  WINE64_LOADER=/usr/lib/wine/wine64
else
  WINE64_LOADER=$(command -v wine64 || echo wine64)
fi
WINE32_LOADER=/usr/lib/wine/wine
[ -x "$WINE32_LOADER" ] || WINE32_LOADER=$(command -v wine || echo wine)

wine64() { "$WINE64_LOADER" "$@"; }
wine32() { "$WINE32_LOADER" "$@"; }
winepath() { "$WINE64_LOADER" winepath.exe "$@" | tr -d '\r'; }

# pe_machine FILE: "i386", "x64" or "" (not a PE file).
pe_machine() {
  local file=$1 pe machine
  [ -f "$file" ] || return 0
  pe=$(od -An -tu4 -j60 -N4 "$file" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] || return 0
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$file" 2>/dev/null | tr -d ' ')
  case "$machine" in
    014c) echo i386 ;;
    8664) echo x64 ;;
  esac
}

wine_run() {
  if [ "$(pe_machine "$1")" = i386 ]; then wine32 "$@"; else wine64 "$@"; fi
}

galvora_i386_file="$galvora_here/build/i386-native.txt"

# GALVORA_I386=no plays a machine without i386 on one that has it.
i386_native() {
  [ "${GALVORA_I386:-}" != no ] || return 1
  [ -f "$galvora_i386_file" ] || "$galvora_here/scripts/setup.sh" --i386-only >/dev/null
  [ "$(head -n 1 "$galvora_i386_file")" = yes ]
}

i386_reason() {
  if [ "${GALVORA_I386:-}" = no ]; then echo "GALVORA_I386=no"; else sed -n 2p "$galvora_i386_file" 2>/dev/null; fi
}

wine_env_vars() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LC_ALL=C.UTF-8
}

wine_env_start() {
  wine_env_vars "$1"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineserver -p
  wine64 wineboot.exe -i >/dev/null 2>&1
}

wine_env_use() {
  wine_env_vars "$1"
  mkdir -p "$WINEPREFIX"
  wineserver -p 2>/dev/null || true  # one may be running for the prefix already
  [ -d "$WINEPREFIX/drive_c/windows" ] || wine64 wineboot.exe -i >/dev/null 2>&1
}

wine_env_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
}
