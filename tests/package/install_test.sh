#!/usr/bin/env bash
# A new admin's install, as close as this machine allows: the release archive
# of one system is made from a build, unpacked into a bare game folder (the
# game's own liblist.gam, the simulated server's fake game library as the
# game library, a stand-in Metamod library), and the install lines of the
# README shipped in the archive are followed word for word: taken from its
# code blocks, so that this test breaks when the README changes. The folder
# is then started in the simulated server (tests/host/start) under Metamod
# and standalone, and nuvdm-check is run on it.
#   install_test.sh linux|windows BUILD METAMOD_STANDIN
# BUILD is the build folder (the linux one 32-bit): its bin/ holds the
# plugins, the programs, start_server and the fake game library. KEEP=1
# keeps the work folder (the game folder and every program's output).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ $# -eq 3 ] || { echo "usage: install_test.sh linux|windows BUILD METAMOD_STANDIN" >&2; exit 2; }
system=$1 build=$2 standin=$3
bin="$build/bin"

work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] && echo "kept $work" || rm -rf "$work"' EXIT
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
      return 1
    fi
    at=$((at + line))
  done
  pass "$name"
}

# --- the archive and a bare game folder -------------------------------------
if [ "$system" = linux ]; then
  "$root/scripts/package.sh" --system linux --linux-build "$build" --out "$work/dist" >"$work/log" 2>&1 ||
    { cat "$work/log"; exit 1; }
  archive=$(ls "$work"/dist/nuvdm-pack-*-linux.tar.gz)
  game_library=cs_i386.so
  metamod_library=metamod_i386.so
else
  "$root/scripts/package.sh" --system windows --windows-build "$build" --out "$work/dist" >"$work/log" 2>&1 ||
    { cat "$work/log"; exit 1; }
  archive=$(ls "$work"/dist/nuvdm-pack-*-windows.zip)
  game_library=mp.dll
  metamod_library=metamod.dll
fi

server="$work/server"
mkdir -p "$server/cstrike/dlls" "$server/cstrike/addons/metamod/dlls"
# The game's library list as the game ships it (CR LF).
printf '%s\r\n' 'game "Counter-Strike"' 'url_info "www.counter-strike.net"' 'url_dl ""' \
  'version "1.6"' 'size "184000000"' 'svonly "0"' 'secure "1"' 'type "multiplayer_only"' \
  'cldll "1"' 'hlversion "1111"' 'nomodels "1"' 'nohimodel "1"' 'mpentity "info_player_start"' \
  'gamedll "dlls\mp.dll"' 'gamedll_linux "dlls/cs_i386.so"' 'trainmap "tr_1"' >"$server/cstrike/liblist.gam"
if [ "$system" = linux ]; then
  cp "$bin/fake_gamedll.so" "$server/cstrike/dlls/$game_library"
else
  cp "$bin/fake_gamedll.dll" "$server/cstrike/dlls/$game_library"
fi
cp "$standin" "$server/cstrike/addons/metamod/dlls/$metamod_library"
cp "$archive" "$server/"

# run PROGRAM ARGS...: a program of this system's build, output with plain line ends.
wine_run="$root/cmake/wine-run.sh"
run() {
  if [ "$system" = windows ]; then
    "$wine_run" --root "$build/wine-prefixes" "$@" 2>&1 | tr -d '\r'
  else
    "$@" 2>&1
  fi
}

# The shipped README.
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

start_line=
if [ "$system" = linux ]; then
  # An hlds_run that starts the folder in the simulated server.
  printf '#!/bin/sh\nexec "%s" "$@"\n' "$bin/start_server" >"$server/hlds_run"
  chmod +x "$server/hlds_run"

  # --- Linux install under Metamod, step by step --------------------------------
  mapfile -t lines < <(blocks "Installing on a Linux server" sh | grep -v '^@@$')
  mapfile -t config < <(blocks "Installing on a Linux server" cfg | grep -v '^@@$')
  [ ${#lines[@]} -ge 4 ] || fail "the Linux install has ${#lines[@]} command lines: ${lines[*]}"
  for line in "${lines[@]}"; do
    case "$line" in
      ./hlds_run*)
        start_line=$line
        [ ${#config[@]} -gt 0 ] && printf '%s\n' "${config[@]}" >>"$server/cstrike/server.cfg"
        (cd "$server" && run bash -c "$line") >"$work/metamod.out" || true ;;
      *nuvdm-check*)
        status=0
        (cd "$server" && run bash -c "$line") >"$work/check.out" || status=$?
        echo "$status" >"$work/check.status" ;;
      *)
        (cd "$server" && bash -c "$line") >"$work/step.out" 2>&1 || fail "'$line': $(cat "$work/step.out")" ;;
    esac
  done
  grep -q '"addons/metamod/dlls/metamod_i386.so"' "$server/cstrike/liblist.gam" &&
    [ "$(grep -c . "$server/cstrike/liblist.gam")" = 16 ] &&
    pass "liblist.gam: only the gamedll_linux line changed" || fail "liblist.gam after the install: $(cat "$server/cstrike/liblist.gam")"
else
  # --- Windows install under Metamod: the scripted Save, the check --------------
  mkdir -p "$server/cstrike/addons/amxmodx/configs"
  printf '// the game writes its settings here\r\n' >"$server/cstrike/config.cfg"
  (cd "$server" && cmake -E tar xf "$(basename "$archive")")
  # Each block starts in a command prompt in the game folder.
  mapfile -t lines < <(blocks "Installing on Windows" bat)
  [ ${#lines[@]} -ge 5 ] || fail "the Windows install has ${#lines[@]} command lines: ${lines[*]}"
  dir=$server
  for line in "${lines[@]}"; do
    read -r -a words <<<"$line"
    case "${words[0]}" in
      @@) dir=$server ;;
      cd) dir="$dir/${words[1]//\\//}" ;;
      *nuvdm-check.exe)
        status=0
        (cd "$dir" && run "${words[0]//\\//}" "${words[@]:1}") >"$work/check.out" || status=$?
        echo "$status" >"$work/check.status" ;;
      *.exe)
        (cd "$dir" && run "./${words[0]//\\//}" "${words[@]:1}") >"$work/step.out" ||
          fail "'$line': $(cat "$work/step.out")" ;;
      *) fail "a Windows install line this test does not know: $line" ;;
    esac
  done
  grep -q 'addons\\metamod\\dlls\\metamod.dll' "$server/cstrike/liblist.gam" &&
    pass "the scripted Save pointed liblist.gam at Metamod" || fail "liblist.gam: $(cat "$server/cstrike/liblist.gam")"
  (cd "$server" && run "$bin/start_server.exe" -game cstrike +map de_dust2) >"$work/metamod.out" || true
fi

expect "under Metamod: both plugins in meta list" "$work/metamod.out" \
  'map de_dust2 started' '^\+hook: the hook flies' '^meta list:' \
  '\[1\] Grapnel Mod +RUN +version 5 ' '\[2\] RIX +RUN +version 1\.05 ' '^2 plugins, 2 running'
grep -q 'Unknown command' "$work/metamod.out" && fail "under Metamod a setting was unknown: $(cat "$work/metamod.out")"

# nuvdm-check: only ok and warn, exit status 0.
check_result() {  # check_result NAME
  local status
  status=$(cat "$work/check.status" 2>/dev/null || echo none)
  if [ "$status" = 0 ] && ! grep -Eq '^[[:space:]]*FAIL[[:space:]]' "$work/check.out"; then
    pass "$1: nuvdm-check finds nothing to FAIL"
  else
    fail "$1: nuvdm-check exit status $status:"
    sed 's/^/    /' "$work/check.out"
  fi
  rm -f "$work/check.status"
}
check_result "under Metamod"

# --- standalone: grapnel_mm in place of the game library ------------------------
check_line=$(if [ "$system" = linux ]; then echo cstrike/nuvdm-check; else echo cstrike/nuvdm-check.exe; fi)
standalone() {  # standalone NAME: start the folder, then check it
  if [ "$system" = linux ]; then
    (cd "$server" && run bash -c "$start_line") >"$work/standalone.out" || true
  else
    (cd "$server" && run "$bin/start_server.exe" -game cstrike +map de_dust2) >"$work/standalone.out" || true
  fi
  local loaded='cstrike/dlls/cs_i386\.so'
  [ "$system" = windows ] && loaded='cstrike\\dlls\\mp\.dll'
  expect "$1: the server runs" "$work/standalone.out" \
    '^Loaded GrapnelMod - not using metamod\.$' "^\\{GrapnelMod\\} Loaded $loaded\\.\$" \
    'map de_dust2 started' '^\+hook: the hook flies' 'frames run' '^meta list: Unknown command'
  if [ "$system" = linux ]; then
    expect "$1: server.cfg's rix_ lines are unknown commands, as the README says" "$work/standalone.out" \
      '^Unknown command: rix_'
  fi
  status=0
  (cd "$server" && run "$check_line") >"$work/check.out" || status=$?
  echo "$status" >"$work/check.status"
  check_result "$1"
}

# set_gamedll LINE: liblist.gam's line of that key replaced by LINE, as the
# Windows README says to do by hand.
set_gamedll() {
  local key=${1%% *}
  awk -v key="$key" -v line="$1" '$1 == key { print line "\r"; next } { print }' \
    "$server/cstrike/liblist.gam" >"$work/liblist" && cp "$work/liblist" "$server/cstrike/liblist.gam"
}

if [ "$system" = linux ]; then
  mapfile -t variants < <(blocks "Running without Metamod" sh | awk '/^@@$/ { print block; block = ""; next } { block = block (block ? " && " : "") $0 }')
else
  mapfile -t variants < <(blocks "Running without Metamod" cfg | grep -v '^@@$')
fi
[ ${#variants[@]} -eq 2 ] || fail "the standalone steps give ${#variants[@]} variants, not 2 (beside the game library and in the hook's folder)"
n=0
for variant in "${variants[@]}"; do
  n=$((n + 1))
  if [ "$system" = linux ]; then
    (cd "$server" && bash -ec "$variant") >"$work/step.out" 2>&1 || fail "'$variant': $(cat "$work/step.out")"
  else
    # The README's second line is for a copy beside the game library.
    case "$variant" in *'"dlls\'*) cp "$server/cstrike/addons/grapnel/dlls/grapnel_mm.dll" "$server/cstrike/dlls/" ;; esac
    set_gamedll "$variant"
  fi
  standalone "standalone variant $n ($(tail -n 1 <<<"$variant" | grep -oE '"[^"]*"'))"
done

# The README's description of a missing game library, against what comes.
rm "$server/cstrike/dlls/$game_library"
if [ "$system" = linux ]; then
  (cd "$server" && run bash -c "$start_line") >"$work/missing.out" || true
else
  (cd "$server" && run "$bin/start_server.exe" -game cstrike +map de_dust2) >"$work/missing.out" || true
fi
row=$(grep -F '{GrapnelMod} File ... not found!' "$readme" | head -n 1 | cut -d'|' -f2)
mapfile -t said < <(grep -oE '"[^"]+"' <<<"$row" | sed -E 's/^"(.*)"$/\1/')
patterns=()
for message in "${said[@]}"; do
  p=$(sed -E 's/[][\.^$*+?(){}|\\]/\\&/g' <<<"$message")
  patterns+=("^${p//\\.\\.\\./.*}\$")
done
patterns+=('^\{GrapnelMod\} The server cannot run without its game library; exiting\.$')
[ ${#said[@]} -ge 4 ] || fail "the README's row for a missing game library quotes ${#said[@]} messages"
expect "a missing game library gives the README's messages in its order" "$work/missing.out" "${patterns[@]}"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
