#!/usr/bin/env bash
# Installs as admins and players do, as close as this machine allows: the
# release archive of one system is made from a build and unpacked into game
# folders (the game's own liblist.gam, the simulated server's fake game
# library as the game library, a stand-in Metamod library), and the lines of
# the README shipped in the archive are followed word for word: taken from
# its code blocks, so that this test breaks when the README changes.
#   - Servers as admins have them: Metamod's plugin list loading AMX Mod X
#     (a stand-in plugin), with comments and CR LF ends; saved settings
#     (dm_userconfig.cfg); an edited GP_config.txt; the game library as
#     cs.so, cs_i386.so or both (Windows: mp.dll), Metamod as metamod_i386.so
#     or metamod.so. After the install each of their files holds its old
#     bytes (the plugin list gained exactly the pack's lines), and "meta
#     list" shows AMX Mod X and both plugins.
#   - A bare folder: the game's files only. The install gives a server that
#     runs both plugins under Metamod and, by the README's standalone steps,
#     grapnel_mm in front of the game library, silent but for its own lines
#     unless in developer mode, and saying why when the game library is
#     missing, as the README's table has it; then back to Metamod.
# nuvdm-check --fix changes exactly the files its lines name, keeping each
# old content as NAME.bak. In every folder nuvdm-check then finds nothing to
# FAIL, and an upgrade (the README's lines again) changes no byte.
#   install_test.sh linux|windows BUILD METAMOD_STANDIN AMXX_STANDIN
# BUILD is the build folder (the linux one 32-bit): its bin/ holds the
# plugins, the programs, start_server and the fake game library. KEEP=1
# keeps the work folder (the game folders and every program's output).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ $# -eq 4 ] || { echo "usage: install_test.sh linux|windows BUILD METAMOD_STANDIN AMXX_STANDIN" >&2; exit 2; }
system=$1 build=$2 standin=$3 amxx=$4
bin="$build/bin"

work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] && echo "kept $work" || rm -rf "$work"' EXIT
mkdir -p "$work/out"
failures=0
passes=0
pass() { passes=$((passes + 1)); echo "ok: $*"; }
fail() { failures=$((failures + 1)); echo "FAILED: $*"; }
# expect NAME FILE PATTERN...: every extended pattern is found in FILE, in this order.
expect() {
  local name=$1 file=$2 at=0 line
  shift 2
  for pattern in "$@"; do
    line=$(tail -n +$((at + 1)) "$file" | grep -nE -m1 -- "$pattern" | cut -d: -f1 || true)
    if [ -z "$line" ]; then
      fail "$name: no line '$pattern' (after line $at) in:"
      sed 's/^/    /' "$file"
      return 0
    fi
    at=$((at + line))
  done
  pass "$name"
}
# re TEXT: TEXT as an extended pattern that matches it literally.
re() { sed -E 's/[][\.^$*+?(){}|\\]/\\&/g' <<<"$1"; }

# --- the archive, its README, this system's names ------------------------------
if [ "$system" = linux ]; then
  "$root/scripts/package.sh" --system linux --linux-build "$build" --out "$work/dist" >"$work/log" 2>&1 ||
    { cat "$work/log"; exit 1; }
  archive=$(ls "$work"/dist/nuvdm-pack-*-linux.tar.gz)
  key=gamedll_linux lib_ext=so sep=/
  pack_lines=('linux addons/grapnel/dlls/grapnel_mm_i386.so' 'linux addons/rix/dlls/rix_mm_i386.so')
  amxx_line='linux addons/amxmodx/dlls/amxmodx_mm_i386.so'
  amxx_file=amxmodx_mm_i386.so
  fake_game="$bin/fake_gamedll.so"
  game_library=cs.so metamod=metamod_i386.so
  install_steps="Installing on a Linux server"
else
  "$root/scripts/package.sh" --system windows --windows-build "$build" --out "$work/dist" >"$work/log" 2>&1 ||
    { cat "$work/log"; exit 1; }
  archive=$(ls "$work"/dist/nuvdm-pack-*-windows.zip)
  key=gamedll lib_ext=dll sep='\'
  pack_lines=('win32 addons\grapnel\dlls\grapnel_mm.dll' 'win32 addons\rix\dlls\rix_mm.dll')
  amxx_line='win32 addons\amxmodx\dlls\amxmodx_mm.dll'
  amxx_file=amxmodx_mm.dll
  fake_game="$bin/fake_gamedll.dll"
  game_library=mp.dll metamod=metamod.dll
  install_steps="Installing on Windows"
fi
check_program=cstrike/nuvdm-check
[ "$system" = windows ] && check_program=cstrike/nuvdm-check.exe

readme="$work/README.md"
(mkdir -p "$work/unpacked" && cd "$work/unpacked" && cmake -E tar xf "$archive" cstrike/addons/nuv/README.md)
cp "$work/unpacked/cstrike/addons/nuv/README.md" "$readme"

# blocks HEADING LANGUAGE: the code blocks of that language in the README
# section under HEADING (to the next heading of the same or a higher level),
# their lines without the list's indent, each block ended by a line "@@".
blocks() {
  awk -v head="$1" -v lang="$2" '
    fence == "" && /^#+ / {
      level = index($0, " ") - 1
      if (inside && level <= depth) inside = 0
      if (substr($0, level + 2) == head) { inside = 1; depth = level }
      next
    }
    inside && fence == "" && $0 ~ ("^ *```" lang "$") { fence = 1; indent = index($0, "`") - 1; next }
    inside && fence != "" && /^ *```$/ { print "@@"; fence = ""; next }
    inside && fence != "" { print substr($0, indent + 1) }
  ' "$readme"
}

# run PROGRAM ARGS...: a program of this system's build, output with plain line
# ends. Under Wine into a file first: the first program of a Wine session starts
# Wine's own services, which keep its output open as long as they run.
run() {
  if [ "$system" = windows ]; then
    local status=0
    "$root/cmake/wine-run.sh" --root "$build/wine-prefixes" "$@" >"$work/wine.out" 2>&1 || status=$?
    tr -d '\r' <"$work/wine.out"
    return "$status"
  else
    "$@" 2>&1
  fi
}
# run_in FOLDER PROGRAM ARGS...: run, in FOLDER.
run_in() { (cd "$1" && shift && run "$@"); }
# start SERVER OUT [-dev]: the folder started with a map in the simulated
# server, as the README's start line (Linux) or the game's "New Game"
# (Windows) does; -dev as well for developer mode. Exit status in OUT.status.
start() {
  local status=0
  if [ "$system" = linux ]; then
    (cd "$1" && run bash -c "$start_line${3:+ $3}") >"$2" || status=$?
  else
    (cd "$1" && run "$bin/start_server.exe" -game cstrike +map de_dust2 ${3:+"$3"}) >"$2" || status=$?
  fi
  echo "$status" >"$2.status"
}

# --- game folders -----------------------------------------------------------------
# server NAME LIBLIST_VALUE GAME_LIBRARY... : a game folder with the game's
# liblist.gam (CR LF) whose game-library line names LIBLIST_VALUE, and the
# game libraries; Metamod is installed by the caller. Echoes its path.
server() {
  local dir="$work/$1" value=$2 lib
  shift 2
  mkdir -p "$dir/cstrike/dlls" "$dir/cstrike/addons/metamod/dlls"
  printf '%s\r\n' 'game "Counter-Strike"' 'url_info "www.counter-strike.net"' 'url_dl ""' \
    'version "1.6"' 'size "184000000"' 'svonly "0"' 'secure "1"' 'type "multiplayer_only"' \
    'cldll "1"' 'hlversion "1111"' 'nomodels "1"' 'nohimodel "1"' 'mpentity "info_player_start"' \
    'gamedll "dlls\mp.dll"' 'gamedll_linux "dlls/cs.so"' 'trainmap "tr_1"' |
    key=$key value=$value awk '$1 == ENVIRON["key"] { print $1 " \"" ENVIRON["value"] "\"\r"; next } { print }' \
      >"$dir/cstrike/liblist.gam"
  for lib in "$@"; do cp "$fake_game" "$dir/cstrike/dlls/$lib"; done
  cp "$archive" "$dir/"
  if [ "$system" = linux ]; then
    # An hlds_run that starts the folder in the simulated server.
    printf '#!/bin/sh\nexec "%s" "$@"\n' "$bin/start_server" >"$dir/hlds_run"
    chmod +x "$dir/hlds_run"
  else
    # The game has run once (config.cfg); AMX Mod X with CSDM is installed.
    mkdir -p "$dir/cstrike/addons/amxmodx/configs"
    printf '// the game writes its settings here\r\n' >"$dir/cstrike/config.cfg"
  fi
  echo "$dir"
}

# The files of an admin's server that the install must keep, relative to cstrike/.
admin_files=(addons/metamod/plugins.ini dm_userconfig.cfg addons/GrapnelMod/GP_config.txt)

# admin SERVER GAME_LIBRARY: what an admin's server already holds: AMX Mod X
# and its line in Metamod's list, saved settings, an edited GP_config.txt.
# Their bytes are kept in SERVER.before/.
admin() {
  local mod="$1/cstrike" f
  mkdir -p "$mod/addons/amxmodx/dlls" "$mod/addons/GrapnelMod"
  cp "$amxx" "$mod/addons/amxmodx/dlls/$amxx_file"
  printf '%s\r\n' '; Metamod plugins of this server' '; AMX Mod X, with CSDM' "$amxx_line" '' \
    "; ${pack_lines[0]%% *} addons${sep}podbot${sep}podbot_mm.$lib_ext   (off for now)" >"$mod/addons/metamod/plugins.ini"
  printf '%s\r\n' '//--Change VALUES as you wish--//' '//Client settings' \
    'sv_autoinfo 0;                           // Intro without autostart' \
    'alias dm_fs "mp_footsteps 0"' '' '' '// File created with NUVDM_Menu @ C:\Games\Half-Life\cstrike\dm_userconfig.cfg' \
    >"$mod/dm_userconfig.cfg"
  printf '%s\n' "$2" '' '// the admin: this server'"'"'s game library is '"$2" >"$mod/addons/GrapnelMod/GP_config.txt"
  for f in "${admin_files[@]}" liblist.gam; do
    mkdir -p "$(dirname "$1.before/$f")"
    cp "$mod/$f" "$1.before/$f"
  done
}

# snapshot SERVER: every file below cstrike/ with its checksum.
snapshot() { (cd "$1" && find cstrike -type f | LC_ALL=C sort | xargs -d '\n' sha1sum); }

# fix NAME SERVER OUT COMMAND...: nuvdm-check --fix as the README's line
# runs it, output in OUT.fix. The files it changed or wrote are exactly those
# its "fixed" and "kept" lines name, and a kept .bak holds the file's content
# from before.
fix() {
  local name=$1 dir=$2 out=$3 status=0 f
  shift 3
  snapshot "$dir" >"$out.fix-before"
  "$@" >"$out.fix" || status=$?
  [ "$status" = 0 ] || fail "$name: '$*' exit status $status: $(cat "$out.fix")"
  snapshot "$dir" >"$out.fix-after"
  comm -13 <(LC_ALL=C sort "$out.fix-before") <(LC_ALL=C sort "$out.fix-after") |
    sed 's/^[0-9a-f]*  cstrike\///' | LC_ALL=C sort >"$out.touched"
  sed -nE 's/^(fixed|kept)  ?([^: ]+)(:[0-9]+)?: .*/\2/p' "$out.fix" | LC_ALL=C sort -u >"$out.named"
  diff "$out.named" "$out.touched" >"$out.named-diff" &&
    pass "$name: --fix changed exactly the files it named ($(wc -l <"$out.touched" | tr -d ' '))" ||
    fail "$name: --fix named (<) and changed (>) other files: $(cat "$out.named-diff")"
  while IFS= read -r f; do
    [[ "$f" == *.bak ]] || continue
    [ "$(sha1sum <"$dir/cstrike/$f" | cut -d' ' -f1)" = "$(awk -v f="cstrike/${f%.bak}" '$2 == f { print $1 }' "$out.fix-before")" ] &&
      pass "$name: $f holds the content from before" || fail "$name: $f is not the old ${f%.bak}"
  done <"$out.touched"
}

# --- following the README -----------------------------------------------------------
# follow NAME SECTION SERVER OUT: the lines of the section's code blocks, each run
# in SERVER as the admin types it. The server's start goes to OUT.start,
# nuvdm-check --fix to OUT.fix, nuvdm-check to OUT.check (exit status in
# OUT.check.status); the settings blocks go into server.cfg before the start.
follow() {
  local name=$1 section=$2 dir=$3 out=$4 line status
  rm -f "$out".*
  if [ "$system" = linux ]; then
    local -a lines config
    mapfile -t lines < <(blocks "$section" sh | grep -v '^@@$')
    mapfile -t config < <(blocks "$section" cfg | grep -v '^@@$')
    [ ${#lines[@]} -gt 0 ] || fail "$section: no command lines in the README"
    for line in "${lines[@]}"; do
      case "$line" in
        ./hlds_run*)
          start_line=$line
          [ ${#config[@]} -gt 0 ] && printf '%s\n' "${config[@]}" >>"$dir/cstrike/server.cfg"
          (cd "$dir" && run bash -c "$line") >"$out.start" || true ;;
        *nuvdm-check*--fix*)
          fix "$name" "$dir" "$out" run_in "$dir" bash -c "$line" ;;
        *nuvdm-check*)
          status=0
          (cd "$dir" && run bash -c "$line") >"$out.check" || status=$?
          echo "$status" >"$out.check.status" ;;
        *)
          (cd "$dir" && bash -c "$line") >"$out.step" 2>&1 || fail "$section: '$line': $(cat "$out.step")" ;;
      esac
    done
  else
    # The archive is unpacked by hand (Explorer); each block starts in a
    # command prompt in the game folder.
    (cd "$dir" && cmake -E tar xf "$(basename "$archive")")
    local -a lines words
    local at=$dir
    mapfile -t lines < <(blocks "$section" bat)
    [ ${#lines[@]} -gt 1 ] || fail "$section: no command lines in the README"
    for line in "${lines[@]}"; do
      read -r -a words <<<"$line"
      case "${words[0]}" in
        @@) at=$dir ;;
        cd) at="$at/${words[1]//\\//}" ;;
        *nuvdm-check.exe)
          if [[ " ${words[*]} " == *" --fix "* ]]; then
            fix "$name" "$dir" "$out" run_in "$at" "${words[0]//\\//}" "${words[@]:1}"
          else
            status=0
            (cd "$at" && run "${words[0]//\\//}" "${words[@]:1}") >"$out.check" || status=$?
            echo "$status" >"$out.check.status"
          fi ;;
        *.exe)
          (cd "$at" && run "./${words[0]//\\//}" "${words[@]:1}") >"$out.step" ||
            fail "$section: '$line': $(cat "$out.step")" ;;
        *) fail "$section: a Windows line this test does not know: $line" ;;
      esac
    done
  fi
}

# check_result NAME OUT: nuvdm-check's report in OUT.check has no FAIL line,
# exit status 0; without one, the check is run here.
check_result() {
  local name=$1 out=$2 dir=${3:-} status
  if [ ! -f "$out.check" ]; then
    status=0
    (cd "$dir" && run "$check_program") >"$out.check" || status=$?
    echo "$status" >"$out.check.status"
  fi
  status=$(cat "$out.check.status")
  if [ "$status" = 0 ] && ! grep -Eq '^[[:space:]]*FAIL[[:space:]]' "$out.check"; then
    pass "$name: nuvdm-check finds nothing to FAIL"
  else
    fail "$name: nuvdm-check exit status $status:"
    sed 's/^/    /' "$out.check"
  fi
}

# meta_list NAME OUT GAME_LIBRARY [amxx]: Metamod loaded that game library,
# the start ran the map, the hook flew, and "meta list" shows both plugins
# running (and AMX Mod X before them).
meta_list() {
  local name=$1 out=$2 count=2 patterns=()
  [ "${4:-}" = amxx ] && patterns=("AMX Mod X +RUN .*$amxx_file") count=3
  expect "$name: Metamod loads ${3} and meta list shows ${count} plugins running" "$out" \
    "^Metamod: game library cstrike/dlls/${3//./\\.}\$" 'map de_dust2 started' '^\+hook: the hook flies' \
    '^meta list:' "${patterns[@]}" 'Grapnel Mod +RUN +version 5 ' 'RIX +RUN +version 1\.05 ' "^$count plugins, $count running"
  ! grep -q 'Unknown command' "$out" || fail "$name: under Metamod a setting was unknown: $(cat "$out")"
}

# kept NAME SERVER: the admin's files hold their old bytes; the plugin list
# gained exactly the pack's lines, each once; liblist.gam changed at most in
# its game-library line, which names Metamod.
kept() {
  local name=$1 dir=$2 f line
  for f in "${admin_files[@]:1}"; do
    cmp -s "$dir.before/$f" "$dir/cstrike/$f" && pass "$name: $f kept byte for byte" ||
      fail "$name: $f changed: $(od -c "$dir/cstrike/$f" | head -n 20)"
  done
  local ini="$dir/cstrike/addons/metamod/plugins.ini" ok=1
  for line in "${pack_lines[@]}"; do
    [ "$(tr -d '\r' <"$ini" | grep -cxF -- "$line")" = 1 ] || ok=0
  done
  # Without the pack's lines the list is the admin's, byte for byte.
  a=${pack_lines[0]} b=${pack_lines[1]} awk '{ l = $0; sub(/\r$/, "", l) } l != ENVIRON["a"] && l != ENVIRON["b"]' \
    "$ini" >"$work/ini-without"
  [ "$ok" = 1 ] && cmp -s "$dir.before/addons/metamod/plugins.ini" "$work/ini-without" &&
    pass "$name: plugins.ini gained exactly the pack's lines" ||
    { fail "$name: plugins.ini, before and after:"; od -c "$dir.before/addons/metamod/plugins.ini"; od -c "$ini"; }
  awk -v key="$key" '$1 != key' "$dir.before/liblist.gam" >"$work/liblist-before"
  awk -v key="$key" '$1 != key' "$dir/cstrike/liblist.gam" >"$work/liblist-after"
  cmp -s "$work/liblist-before" "$work/liblist-after" && grep -Eq "^$key \"addons.metamod.dlls.metamod" "$dir/cstrike/liblist.gam" &&
    pass "$name: liblist.gam: only $key changed, naming Metamod" || fail "$name: liblist.gam: $(cat "$dir/cstrike/liblist.gam")"
}

# upgrade NAME SERVER: the README's upgrade changes no file, and its --fix
# has no change to print.
upgrade() {
  snapshot "$2" >"$work/before.sums"
  follow "$1, upgrade" Upgrading "$2" "$work/out/upgrade"
  snapshot "$2" >"$work/after.sums"
  diff "$work/before.sums" "$work/after.sums" >"$work/sums.diff" && pass "$1: the upgrade changes nothing" ||
    fail "$1: the upgrade changed: $(cat "$work/sums.diff")"
  ! grep -E '^(fixed|kept|FAIL) ' "$work/out/upgrade.fix" >"$work/upgrade.lines" &&
    pass "$1: the upgrade's --fix prints no change" || fail "$1: the upgrade's --fix printed: $(cat "$work/upgrade.lines")"
}

# --- admins' servers ---------------------------------------------------------------
metamod_dir="addons${sep}metamod${sep}dlls${sep}"
# liblist_fixed VALUE METAMOD: the lines of --fix pointing liblist.gam at
# Metamod, when VALUE names the game library.
liblist_fixed() {
  [ "$1" = "$metamod_dir$2" ] && return 0
  printf '%s\n' "^fixed liblist\\.gam:[0-9]+: $key \"$(re "$1")\" now names Metamod: \"$(re "$metamod_dir$2")\"\$" \
    '^kept  liblist\.gam\.bak: the content before this fix$'
}

# Each: name, what liblist.gam names, Metamod's file name, the game libraries
# (Metamod loads the first).
admin_steps=$install_steps
if [ "$system" = linux ]; then
  admins=("cs.so under Metamod-R|addons/metamod/dlls/metamod_i386.so|metamod_i386.so|cs.so"
          "cs_i386.so and an older metamod.so|dlls/cs_i386.so|metamod.so|cs_i386.so"
          "cs.so and cs_i386.so|dlls/cs.so|metamod_i386.so|cs.so cs_i386.so")
else
  # A player's folder from an earlier install: the upgrade's lines.
  admin_steps=Upgrading
  admins=("mp.dll, an earlier install|dlls\\mp.dll|metamod.dll|mp.dll")
fi
n=0
for entry in "${admins[@]}"; do
  IFS='|' read -r name value metamod_file libs <<<"$entry"
  read -r -a libs <<<"$libs"
  n=$((n + 1))
  dir=$(server "admin$n" "$value" "${libs[@]}")
  cp "$standin" "$dir/cstrike/addons/metamod/dlls/$metamod_file"
  admin "$dir" "${libs[0]}"
  follow "$name" "$admin_steps" "$dir" "$work/out/admin$n"
  mapfile -t lines < <(liblist_fixed "$value" "$metamod_file")
  # The admin's list has five lines: the pack's come after them.
  expect "$name: --fix says what it changed" "$work/out/admin$n.fix" "${lines[@]}" \
    "^fixed addons/metamod/plugins\\.ini:6: added $(re "${pack_lines[0]}"), which loads grapnel_mm\$" \
    "^fixed addons/metamod/plugins\\.ini:7: added $(re "${pack_lines[1]}"), which loads rix_mm\$" \
    '^kept  addons/metamod/plugins\.ini\.bak: the content before this fix$'
  [ -f "$work/out/admin$n.start" ] || start "$dir" "$work/out/admin$n.start"
  kept "$name" "$dir"
  meta_list "$name" "$work/out/admin$n.start" "${libs[0]}" amxx
  check_result "$name" "$work/out/admin$n" "$dir"
  upgrade "$name" "$dir"
done

# --- a bare folder: the game library only ---------------------------------------------
dir=$(server bare "dlls$sep$game_library" "$game_library")
cp "$standin" "$dir/cstrike/addons/metamod/dlls/$metamod"
follow "bare folder" "$install_steps" "$dir" "$work/out/bare"
mapfile -t lines < <(liblist_fixed "dlls$sep$game_library" "$metamod")
defaults_of() { echo "(the text of addons/nuv/defaults/$1)"; }
expect "bare folder: --fix says what it changed" "$work/out/bare.fix" "${lines[@]}" \
  "^fixed addons/metamod/plugins\\.ini: written $(re "$(defaults_of addons/metamod/plugins.ini)")\$" \
  "^fixed addons/GrapnelMod/GP_config\\.txt: written, naming $(re "$game_library") $(re "$(defaults_of addons/GrapnelMod/GP_config.txt)")\$" \
  "^fixed dm_userconfig\\.cfg: written, the menu's stand-in $(re "$(defaults_of dm_userconfig.cfg)")\$"
[ -f "$work/out/bare.start" ] || start "$dir" "$work/out/bare.start"
meta_list "bare folder" "$work/out/bare.start" "$game_library"
check_result "bare folder" "$work/out/bare" "$dir"
# The default names this system's usual game library: written byte for byte.
for f in addons/metamod/plugins.ini addons/GrapnelMod/GP_config.txt; do
  cmp -s "$dir/cstrike/addons/nuv/defaults/$f" "$dir/cstrike/$f" && pass "bare folder: $f is the pack's default" ||
    fail "bare folder: $f: $(cat "$dir/cstrike/$f" 2>&1)"
done
[ -f "$dir/cstrike/dm_userconfig.cfg" ] && pass "bare folder: dm_userconfig.cfg in place" ||
  fail "bare folder: no dm_userconfig.cfg"
upgrade "bare folder" "$dir"
server="$dir"

# --- standalone: grapnel_mm in place of the game library ------------------------
shown="cstrike/dlls/$game_library"   # the game library as the plugin names it
[ "$system" = windows ] && shown="cstrike\\dlls\\$game_library"

# standalone NAME: the folder started as is and in developer mode, then
# checked. Only developer mode shows the lines written through the engine.
standalone() {
  local out="$work/out/standalone"
  start "$server" "$out.start"
  expect "$1: the server runs" "$out.start" \
    '^Loaded GrapnelMod - not using metamod\.$' 'map de_dust2 started' '^\+hook: the hook flies' 'frames run' \
    '^meta list: Unknown command'
  ! grep '^{GrapnelMod}' "$out.start" >"$out.alerts" && pass "$1: no alert lines without -dev" ||
    fail "$1: alert lines without -dev: $(cat "$out.alerts")"
  start "$server" "$out.dev" -dev
  expect "$1, -dev: the plugin loads $game_library" "$out.dev" \
    '^Loaded GrapnelMod - not using metamod\.$' "^\\{GrapnelMod\\} Loaded $(re "$shown")\\.\$" 'map de_dust2 started'
  rm -f "$out.check"
  check_result "$1" "$out" "$server"
}

# set_gamedll LINE: liblist.gam's line of that key replaced by LINE, as the
# Windows README says to do by hand.
set_gamedll() {
  local key=${1%% *}
  key=$key line=$1 awk '$1 == ENVIRON["key"] { print ENVIRON["line"] "\r"; next } { print }' \
    "$server/cstrike/liblist.gam" >"$work/liblist" && cp "$work/liblist" "$server/cstrike/liblist.gam"
}

# The section's blocks: the ways to put grapnel_mm in front of the game
# library, and on Linux the way back to Metamod (the block naming it).
if [ "$system" = linux ]; then
  mapfile -t blocks < <(blocks "Running without Metamod" sh | awk '/^@@$/ { print block; block = ""; next } { block = block (block ? " && " : "") $0 }')
else
  mapfile -t blocks < <(blocks "Running without Metamod" cfg | grep -v '^@@$')
fi
variants=() back=()
for block in "${blocks[@]}"; do
  case "$block" in *metamod*) back+=("$block") ;; *) variants+=("$block") ;; esac
done
[ ${#variants[@]} -eq 2 ] || fail "the standalone steps give ${#variants[@]} variants, not 2 (beside the game library and in the hook's folder)"
n=0
for variant in "${variants[@]}"; do
  n=$((n + 1))
  if [ "$system" = linux ]; then
    (cd "$server" && bash -ec "$variant") >"$work/step.out" 2>&1 || fail "'$variant': $(cat "$work/step.out")"
    ! grep -qv $'\r$' "$server/cstrike/liblist.gam" && pass "standalone variant $((n)): liblist.gam keeps its CR LF ends" ||
      fail "standalone variant $n: liblist.gam lost CR LF ends: $(od -c "$server/cstrike/liblist.gam" | tail -n 4)"
  else
    # The README's second line is for a copy beside the game library.
    case "$variant" in *'"dlls\'*) cp "$server/cstrike/addons/grapnel/dlls/grapnel_mm.dll" "$server/cstrike/dlls/" ;; esac
    set_gamedll "$variant"
  fi
  standalone "standalone variant $n ($(tail -n 1 <<<"$variant" | grep -oE '"[^"]*"'))"
done

# The README's row for a missing game library against what comes: its
# standard output as is, the lines developer mode adds after the first.
rm "$server/cstrike/dlls/$game_library"
row=$(grep -F '{GrapnelMod} File ... not found!' "$readme" | head -n 1)
column() {  # column N: the messages quoted in that column of the row, "..." the library, as patterns
  cut -d'|' -f"$1" <<<"$row" | grep -oE '"[^"]+"' | sed -E 's/^"(.*)"$/\1/' | while IFS= read -r message; do
    echo "^$(re "${message//.../$shown}")\$"
  done
}
mapfile -t plain < <(column 2)
mapfile -t dev < <(column 3)
[ ${#plain[@]} -ge 2 ] && [ ${#dev[@]} -ge 1 ] ||
  fail "the README's row for a missing game library quotes ${#plain[@]} and ${#dev[@]} messages: $row"
start "$server" "$work/missing.out"
expect "a missing game library: the README's messages, in order" "$work/missing.out" "${plain[@]}"
for p in "${dev[@]}"; do
  ! grep -qE -- "$p" "$work/missing.out" || fail "a missing game library: '$p' without -dev"
done
[ "$(cat "$work/missing.out.status")" = 1 ] && pass "a missing game library: exit status 1" ||
  fail "a missing game library: exit status $(cat "$work/missing.out.status")"
# nuvdm-check tells the same lines before the start.
status=0
(cd "$server" && run "$check_program") >"$work/missing.check" || status=$?
said=$(grep -E '^FAIL +standalone' "$work/missing.check" || true)
ok=1
while IFS= read -r line; do
  [[ "$said" == *"\"$line\""* ]] || ok=0
done < <(grep -E '^(Loaded GrapnelMod|\{GrapnelMod\})' "$work/missing.out")
[ "$status" = 1 ] && [ "$ok" = 1 ] && pass "a missing game library: nuvdm-check quotes the server's lines" ||
  fail "a missing game library: nuvdm-check (status $status) said: $said"
start "$server" "$work/missing.dev" -dev
expect "a missing game library, -dev: the README's messages, in order" "$work/missing.dev" \
  "${plain[0]}" "${dev[@]}" "${plain[@]:1}"
cp "$fake_game" "$server/cstrike/dlls/$game_library"

# Back to Metamod: Linux by the README's line, Windows by the menu's Save.
if [ "$system" = linux ]; then
  [ ${#back[@]} -eq 1 ] || fail "the standalone steps give ${#back[@]} ways back to Metamod, not 1"
  for block in "${back[@]}"; do
    (cd "$server" && bash -ec "$block") >"$work/step.out" 2>&1 || fail "'$block': $(cat "$work/step.out")"
  done
else
  (cd "$server/cstrike" && run ./nuvdm-menu.exe --save) >"$work/step.out" || fail "the menu's Save: $(cat "$work/step.out")"
fi
start "$server" "$work/back.out"
meta_list "back to Metamod" "$work/back.out" "$game_library"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
