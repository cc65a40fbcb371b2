# Sourced by the scripts: a private, headless Wine prefix for one run.
# Usage: . scripts/wine-env.sh PREFIX_DIR   (creates it fresh, keeps one
# wineserver alive until wine_env_stop)
wine_env_start() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LC_ALL=C.UTF-8
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineserver -p
  wineboot -i >/dev/null 2>&1
}
wine_env_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
}
