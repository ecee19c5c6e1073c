#!/usr/bin/env bash
# The menu's main job on a demo mod folder: builds nuvdm-menu when it is
# missing, lays out build/demo/cstrike like an installed mod folder, presses
# "SAVE SETTINGS" with the window as it opens, and shows what was written.
# Then the plugins at work: both loaded into the simulated server under
# Metamod for a short scripted session (hook, long jump, tracer).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build"
menu="$build/bin/nuvdm-menu"
session="$build/bin/plugin_demo"

if ! command -v cmake >/dev/null || ! command -v g++ >/dev/null; then
  if [ ! -x "$menu" ] || [ ! -x "$session" ]; then
    echo "demo: cmake and g++ are needed; scripts/test.sh installs them" >&2
    exit 1
  fi
else
  # Configures build/ the way scripts/test.sh does, and (re)builds only what is stale.
  if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "=== configuring build/"
    cmake -S "$root" -B "$build" -DNUVDM_SANITIZE=ON >/dev/null
  fi
  echo "=== building nuvdm-menu and plugin_demo in build/"
  cmake --build "$build" --target nuvdm-menu plugin_demo -j 2 >/dev/null
fi

mod="$build/demo/cstrike"
mkdir -p "$mod/addons/nuv" "$mod/addons/amxmodx/configs"
# The two files Save looks for before it writes anything.
[ -f "$mod/dm_userconfig.cfg" ] || printf '// replaced by the first Save\r\n' >"$mod/dm_userconfig.cfg"
[ -f "$mod/config.cfg" ] || printf 'name "Player"\r\n' >"$mod/config.cfg"

echo "=== nuvdm-menu --dir $mod --save"
status=0
"$menu" --dir "$mod" --save || status=$?

for f in dm_userconfig.cfg liblist.gam addons/nuv/dm_enable.cfg addons/nuv/dm_enable_ffa.cfg \
         addons/amxmodx/configs/csdm.cfg addons/amxmodx/configs/plugins.ini; do
  [ -f "$mod/$f" ] || continue
  printf '\n=== %s\n' "$f"
  tr -d '\r' <"$mod/$f"
done

printf '\n=== plugin_demo: grapnel_mm and rix_mm in the simulated server\n'
"$session" || status=$?
exit $status
