#!/bin/sh
# Runs a Windows program of the mingw build under Wine, for CTest and by hand.
#
#   wine-run.sh [--root DIR] PROGRAM.exe [ARGS...]
#   wine-run.sh [--root DIR] --prepare     create both prefixes, start servers
#   wine-run.sh [--root DIR] --stop        stop the wineservers of both
#
# The Wine prefixes live inside the build folder, in DIR. Without --root,
# NUVDM_WINE_ROOT is used, else <build>/wine-prefixes, where <build> is the
# nearest folder above the program that holds a CMakeCache.txt (the programs
# are in <build>/bin). CTest calls the script with the program only, so the
# last way is the one the tests use.
#
# NUVDM_WINE_GRAPHICS=null selects a second prefix (DIR/wine-null) whose
# graphics driver is Wine's null driver: windows can be created and driven
# by messages without an X display. The normal prefix is DIR/wine.
#
# The first use creates the prefix under a lock (tests run in parallel); each
# run makes sure its wineserver runs persistent and detached from our stdio,
# so that CTest never waits on a server that inherited a test's output. The
# exit code is the program's.
set -u

if [ "${1:-}" = "--root" ] && [ $# -ge 2 ]; then
  NUVDM_WINE_ROOT=$2
  shift 2
fi
if [ -z "${NUVDM_WINE_ROOT:-}" ] && [ $# -gt 0 ] && [ -e "$1" ]; then
  dir=$(cd "$(dirname -- "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do
    dir=$(dirname -- "$dir")
  done
  if [ -f "$dir/CMakeCache.txt" ]; then
    NUVDM_WINE_ROOT="$dir/wine-prefixes"
  fi
fi
if [ -z "${NUVDM_WINE_ROOT:-}" ]; then
  echo "wine-run.sh: give --root DIR or set NUVDM_WINE_ROOT (the folder for the Wine prefixes)" >&2
  exit 2
fi

export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

prefix_for() {
  case "$1" in
    null) echo "$NUVDM_WINE_ROOT/wine-null" ;;
    *) echo "$NUVDM_WINE_ROOT/wine" ;;
  esac
}

# Makes the prefix of one kind ready and its wineserver run. The marker is
# written last, so that a creation that was interrupted is redone next time.
# The lock's descriptor is closed for everything started here: a persistent
# wineserver would otherwise hold the lock for good.
prepare() {
  kind=$1
  WINEPREFIX=$(prefix_for "$kind")
  export WINEPREFIX
  mkdir -p "$WINEPREFIX" || return 2
  (
    flock 9 || exit 2
    wineserver -p >/dev/null 2>&1 </dev/null 9>&-
    if [ ! -f "$WINEPREFIX/.nuvdm-ready" ]; then
      wineboot -i >/dev/null 2>&1 </dev/null 9>&- || exit 2
      if [ "$kind" = null ]; then
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
          >/dev/null 2>&1 </dev/null 9>&- || exit 2
      fi
      : >"$WINEPREFIX/.nuvdm-ready"
    fi
  ) 9>"$NUVDM_WINE_ROOT/.lock-$kind" || {
    echo "wine-run.sh: cannot prepare the Wine prefix $WINEPREFIX" >&2
    return 2
  }
}

case "${1:-}" in
  --stop)
    for kind in default null; do
      p=$(prefix_for "$kind")
      if [ -d "$p" ]; then
        WINEPREFIX="$p" wineserver -k >/dev/null 2>&1 </dev/null || true
      fi
    done
    exit 0
    ;;
  --prepare)
    mkdir -p "$NUVDM_WINE_ROOT" || exit 2
    prepare default || exit 2
    prepare null || exit 2
    exit 0
    ;;
  "")
    echo "usage: wine-run.sh [--root DIR] PROGRAM [ARGS...] | --prepare | --stop" >&2
    exit 2
    ;;
esac

case "${NUVDM_WINE_GRAPHICS:-}" in
  "") kind=default ;;
  null) kind=null ;;
  *)
    echo "wine-run.sh: NUVDM_WINE_GRAPHICS must be empty or \"null\"" >&2
    exit 2
    ;;
esac

mkdir -p "$NUVDM_WINE_ROOT" || exit 2
prepare "$kind" || exit 2

exec wine "$@"
