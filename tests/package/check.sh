#!/usr/bin/env bash
# Checks a release archive: unpacks it into a temporary folder and checks
# the layout, the Metamod plugin list against the files it names, the kind
# of every library and program (by their header bytes), and GP_config.txt.
#   tests/package/check.sh dist/nuvdm-pack-VERSION.zip
# Prints every fault found and exits 1 when there is one.
set -euo pipefail

if [ $# -ne 1 ] || [ "$1" = --help ] || [ "$1" = -h ]; then
  echo "usage: tests/package/check.sh ARCHIVE.zip" >&2
  [ $# -eq 1 ] && exit 0
  exit 2
fi
zip=$1
[ -f "$zip" ] || { echo "check: no archive $zip" >&2; exit 2; }
case "$zip" in /*) ;; *) zip="$(pwd)/$zip" ;; esac

faults=0
fault() { echo "check: $*" >&2; faults=$((faults + 1)); }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Entries: all below cstrike/, none leaving the folder it is unpacked into.
if ! cmake -E tar tf "$zip" >"$work/entries" 2>"$work/err"; then
  echo "check: $zip is not a readable archive: $(cat "$work/err")" >&2
  exit 1
fi
while IFS= read -r entry; do
  case "$entry" in
    /*|*..*|*\\*) fault "unsafe entry name: $entry" ;;
    cstrike/*) ;;
    *) fault "entry outside cstrike/: $entry" ;;
  esac
done <"$work/entries"
[ "$faults" -eq 0 ] || exit 1
mkdir "$work/game"
(cd "$work/game" && cmake -E tar xf "$zip")
game="$work/game"
mod="$game/cstrike"

required=(
  cstrike/NUVDM_Menu.exe
  cstrike/dm_userconfig.cfg
  cstrike/addons/metamod/plugins.ini
  cstrike/addons/grapnel/dlls/grapnel_mm.dll
  cstrike/addons/grapnel/dlls/grapnel_mm_i386.so
  cstrike/addons/rix/dlls/rix_mm.dll
  cstrike/addons/rix/dlls/rix_mm_i386.so
  cstrike/addons/GrapnelMod/GP_config.txt
  cstrike/addons/nuv/readme.txt
  cstrike/addons/nuv/README.md
  cstrike/addons/nuv/docs/grapnel.md
  cstrike/addons/nuv/docs/rix.md
  cstrike/addons/nuv/docs/menu.md
)
for f in "${required[@]}"; do
  [ -f "$game/$f" ] && [ -s "$game/$f" ] || fault "missing or empty: $f"
done

# --- header bytes ---------------------------------------------------------
# bytes FILE OFFSET COUNT: the bytes as lower-case hex pairs, no blanks.
bytes() { od -An -v -tx1 -j "$2" -N "$3" "$1" | tr -d ' \n'; }
# le FILE OFFSET COUNT: a little-endian unsigned number.
le() {
  local hex rev="" i
  hex=$(bytes "$1" "$2" "$3")
  for ((i = ${#hex} - 2; i >= 0; i -= 2)); do rev+=${hex:i:2}; done
  echo $((16#${rev:-0}))
}

check_elf() {  # a 32-bit little-endian i386 shared object
  local f=$1 name=${1#"$game"/}
  [ "$(bytes "$f" 0 4)" = 7f454c46 ] || { fault "$name: not an ELF file"; return; }
  [ "$(bytes "$f" 4 2)" = 0101 ] || fault "$name: not a 32-bit little-endian ELF file"
  [ "$(le "$f" 16 2)" = 3 ] || fault "$name: not a shared object (ELF type $(le "$f" 16 2))"
  [ "$(le "$f" 18 2)" = 3 ] || fault "$name: not built for i386 (ELF machine $(le "$f" 18 2))"
}

check_pe() {  # check_pe FILE dll|gui: a PE32 image for i386
  local f=$1 kind=$2 name=${1#"$game"/} pe chars subsystem
  [ "$(bytes "$f" 0 2)" = 4d5a ] || { fault "$name: not a Windows program or library"; return; }
  pe=$(le "$f" 60 4)
  [ "$(bytes "$f" "$pe" 4)" = 50450000 ] || { fault "$name: no PE header"; return; }
  [ "$(le "$f" $((pe + 4)) 2)" = 332 ] || fault "$name: not built for i386 (machine $(bytes "$f" $((pe + 4)) 2))"
  [ "$(le "$f" $((pe + 24)) 2)" = 267 ] || fault "$name: not a PE32 (32-bit) image"
  chars=$(le "$f" $((pe + 22)) 2)
  subsystem=$(le "$f" $((pe + 24 + 68)) 2)
  case "$kind" in
    dll) (( chars & 0x2000 )) || fault "$name: not a DLL" ;;
    gui)
      (( chars & 0x2000 )) && fault "$name: a DLL, not a program"
      [ "$subsystem" = 2 ] || fault "$name: not a window program (subsystem $subsystem)" ;;
  esac
}

while IFS= read -r f; do
  case "$f" in
    *.so) check_elf "$game/$f" ;;
    *.dll) check_pe "$game/$f" dll ;;
    *.exe) check_pe "$game/$f" gui ;;
  esac
done < <(cd "$game" && find cstrike -type f | LC_ALL=C sort)

# --- Metamod's plugin list --------------------------------------------------
ini="$mod/addons/metamod/plugins.ini"
if [ -f "$ini" ]; then
  grep -q $'\r' "$ini" && fault "plugins.ini: carriage returns in the lines"
  declare -A seen=()
  while read -r system path rest || [ -n "${system:-}" ]; do
    case "$system" in ''|\;*|//*) continue ;; esac
    [ -z "${rest:-}" ] || fault "plugins.ini: more than a system and a path: $system $path $rest"
    case "$system" in
      win32)
        case "$path" in *.dll) ;; *) fault "plugins.ini: win32 line names no DLL: $path" ;; esac
        file=${path//\\//} ;;
      linux)
        case "$path" in *.so) ;; *) fault "plugins.ini: linux line names no .so: $path" ;; esac
        case "$path" in *\\*) fault "plugins.ini: linux path with backslashes: $path" ;; esac
        file=$path ;;
      *) fault "plugins.ini: unknown system '$system'"; continue ;;
    esac
    [ -f "$mod/$file" ] || fault "plugins.ini: $system line names $path, not in the archive"
    plugin=$(basename "$file"); plugin=${plugin%.*}; plugin=${plugin%_i386}
    seen["$system $plugin"]=1
  done <"$ini"
  for want in "win32 grapnel_mm" "linux grapnel_mm" "win32 rix_mm" "linux rix_mm"; do
    [ -n "${seen[$want]:-}" ] || fault "plugins.ini: no line loads ${want#* } on ${want% *}"
  done
fi

# --- the hook plugin's standalone configuration -----------------------------
config="$mod/addons/GrapnelMod/GP_config.txt"
if [ -f "$config" ]; then
  word=$(tr -s ' \t\r\n' '\n\n\n\n' <"$config" | sed -n '/./{p;q;}')
  case "$word" in
    mp.dll|cs_i386.so) ;;
    *) fault "GP_config.txt: first word '$word' is not a game library of the pack (mp.dll, cs_i386.so)" ;;
  esac
fi

if [ "$faults" -gt 0 ]; then
  echo "check: $faults fault(s) in $zip" >&2
  exit 1
fi
echo "check: $zip is complete ($(wc -l <"$work/entries") files)"
