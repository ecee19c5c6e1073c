#!/usr/bin/env bash
# Checks release archives as scripts/package.sh makes them, each with its
# debug archive beside it:
#   tests/package/check.sh dist/nuvdm-pack-VERSION-linux.tar.gz dist/nuvdm-pack-VERSION-windows.zip
# For each: the layout and only the system's own files; the kind of every
# program and library (ELF32 i386 shared objects and static executables,
# PE32 i386 DLLs, window and console programs); stripped, each with a debug
# link that the debug archive's file matches; no file that an admin or
# player edits at its real place (they ship as defaults below
# addons/nuv/defaults/); the default plugin list naming shipped files and
# holding no commented plugin line (--fix would leave that plugin off); the
# default GP_config.txt naming the system's game library; the text files'
# line ends (CR LF on Windows); the shipped documents' links resolving inside
# the archive, and no developer material.
# Prints every fault found and exits 1 when there is one.
set -euo pipefail

usage() { echo "usage: tests/package/check.sh ARCHIVE..." "(nuvdm-pack-VERSION-linux.tar.gz, nuvdm-pack-VERSION-windows.zip)"; }
case "${1:-}" in
  -h|--help) usage; exit 0 ;;
  "") usage >&2; exit 2 ;;
esac

faults=0
fault() { echo "check: $*" >&2; faults=$((faults + 1)); }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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

check_elf() {  # check_elf FILE NAME so|exe: a 32-bit i386 shared object or static program
  local f=$1 name=$2 kind=$3 type phoff phsize phnum i
  [ "$(bytes "$f" 0 4)" = 7f454c46 ] || { fault "$name: not an ELF file"; return; }
  [ "$(bytes "$f" 4 2)" = 0101 ] || { fault "$name: not a 32-bit little-endian ELF file"; return; }
  [ "$(le "$f" 18 2)" = 3 ] || fault "$name: not built for i386 (ELF machine $(le "$f" 18 2))"
  type=$(le "$f" 16 2)
  case "$kind" in
    so) [ "$type" = 3 ] || fault "$name: not a shared object (ELF type $type)" ;;
    exe)
      [ "$type" = 2 ] || fault "$name: not a statically linked program (ELF type $type)"
      phoff=$(le "$f" 28 4) phsize=$(le "$f" 42 2) phnum=$(le "$f" 44 2)
      for ((i = 0; i < phnum; i++)); do
        [ "$(le "$f" $((phoff + i * phsize)) 4)" = 3 ] &&
          fault "$name: needs the system's program loader and libraries (not statically linked)"
      done ;;
  esac
  [ -x "$f" ] || fault "$name: not executable (mode bits)"
}

check_pe() {  # check_pe FILE NAME dll|gui|console: a PE32 image for i386
  local f=$1 name=$2 kind=$3 pe chars subsystem
  [ "$(bytes "$f" 0 2)" = 4d5a ] || { fault "$name: not a Windows program or library"; return; }
  pe=$(le "$f" 60 4)
  [ "$(bytes "$f" "$pe" 4)" = 50450000 ] || { fault "$name: no PE header"; return; }
  [ "$(le "$f" $((pe + 4)) 2)" = 332 ] || fault "$name: not built for i386 (machine $(bytes "$f" $((pe + 4)) 2))"
  [ "$(le "$f" $((pe + 24)) 2)" = 267 ] || fault "$name: not a PE32 (32-bit) image"
  chars=$(le "$f" $((pe + 22)) 2)
  subsystem=$(le "$f" $((pe + 24 + 68)) 2)
  case "$kind" in
    dll) (( chars & 0x2000 )) || fault "$name: not a DLL" ;;
    gui|console)
      (( chars & 0x2000 )) && fault "$name: a DLL, not a program"
      if [ "$kind" = gui ]; then
        [ "$subsystem" = 2 ] || fault "$name: not a window program (subsystem $subsystem)"
      else
        [ "$subsystem" = 3 ] || fault "$name: not a console program (subsystem $subsystem)"
      fi ;;
  esac
}

# --- stripped, and the debug file that belongs to it ------------------------
crc32() { perl -MCompress::Zlib -e 'local $/; open(my $h, "<:raw", $ARGV[0]) or die; print crc32(<$h>)' "$1"; }

check_debug() {  # check_debug FILE NAME DEBUGFOLDER
  local f=$1 name=$2 dbg="$3/$2.debug" link="$work/link" want crc
  if objdump -h "$f" 2>/dev/null | grep -q ' \.debug_'; then
    fault "$name: not stripped (has .debug sections)"
  fi
  rm -f "$link"
  if ! objcopy --dump-section .gnu_debuglink="$link" "$f" "$work/scratch" 2>/dev/null || [ ! -s "$link" ]; then
    fault "$name: no debug link"
    return
  fi
  want=$(basename "$name").debug
  [ "$(head -c ${#want} "$link")" = "$want" ] || fault "$name: debug link names $(tr '\0' '\n' <"$link" | head -n 1), not $want"
  if [ ! -f "$dbg" ]; then
    fault "$name: the debug archive has no $name.debug"
    return
  fi
  crc=$(le "$link" $(($(wc -c <"$link") - 4)) 4)
  [ "$(crc32 "$dbg")" = "$crc" ] || fault "$name.debug: does not match $name (debug link checksum)"
  objdump -h "$dbg" 2>/dev/null | grep -q ' \.debug_info' || fault "$name.debug: holds no debug information"
}

# --- Metamod's plugin list --------------------------------------------------
defaults=addons/nuv/defaults
# check_plugins MODFOLDER SYSTEM: the default list, whose paths are below the
# mod folder as at its real place.
check_plugins() {
  local mod=$1 system=$2 word=linux lib_ending=.so ini="$1/$defaults/addons/metamod/plugins.ini" file plugin first
  [ "$system" = windows ] && word=win32 lib_ending=.dll
  [ -f "$ini" ] || return 0
  local -A seen=()
  while read -r sys path rest || [ -n "${sys:-}" ]; do
    sys=${sys%$'\r'} path=${path%$'\r'} rest=${rest%$'\r'}
    case "$sys" in
      \;*|//*)
        # A comment naming a library is taken by nuvdm-check --fix as the
        # admin's choice to keep that plugin off: the default holds none.
        read -r first _ <<<"$(sed -E 's|^[[:space:];/]*||' <<<"$sys $path")"
        case "${first,,}" in linux|win32) fault "plugins.ini: a commented plugin line: $sys $path $rest" ;; esac
        continue ;;
      '') continue ;;
    esac
    [ -z "${rest:-}" ] || fault "plugins.ini: more than a system and a path: $sys $path $rest"
    [ "$sys" = "$word" ] || { fault "plugins.ini: a '$sys' line in the $system archive: $path"; continue; }
    case "$path" in *"$lib_ending") ;; *) fault "plugins.ini: $sys line names no $lib_ending file: $path" ;; esac
    [ "$system" = linux ] && case "$path" in *\\*) fault "plugins.ini: linux path with backslashes: $path" ;; esac
    file=${path//\\//}
    [ -f "$mod/$file" ] || fault "plugins.ini: $sys line names $path, not in the archive"
    plugin=$(basename "$file"); plugin=${plugin%.*}; plugin=${plugin%_i386}
    seen["$plugin"]=1
  done <"$ini"
  for plugin in grapnel_mm rix_mm; do
    [ -n "${seen[$plugin]:-}" ] || fault "plugins.ini: no line loads $plugin"
  done
}

# --- the shipped documents ----------------------------------------------------
check_docs() {  # check_docs MODFOLDER SYSTEM
  local mod=$1 system=$2 doc dir target name other
  if [ "$system" = linux ]; then
    other='NUVDM_Menu\.exe|nuvdm-(check|menu)\.exe|(grapnel|rix)_mm\.dll'
  else
    other='(grapnel|rix)_mm_i386\.so|hlds_run|cstrike/nuvdm-(check|menu)\b'
  fi
  while IFS= read -r doc; do
    name=${doc#"$mod"/}
    dir=$(dirname "$doc")
    grep -n '<!-- ship:' "$doc" | sed "s|^|check: $name: marker left: |" >&2 && faults=$((faults + 1))
    grep -nE 'scripts/|docs/(host|platform)\.md|build(-i386|-win32)?/bin' "$doc" |
      sed "s|^|check: $name: developer material: |" >&2 && faults=$((faults + 1))
    # Links [text](target) and ![alt](target) that are not web addresses.
    while IFS= read -r target; do
      target=${target%%#*}
      [ -n "$target" ] || continue
      [ -e "$dir/$target" ] || fault "$name: link to $target, not in the archive"
    done < <(grep -oE '\]\([^)]+\)' "$doc" | sed -E 's/^\]\((.*)\)$/\1/' | grep -vE '^(https?|mailto):' || true)
  done < <(find "$mod/addons/nuv" -name '*.md' | LC_ALL=C sort)
  grep -nE "$other" "$mod/addons/nuv/README.md" | sed "s|^|check: README.md names a file of the other system: |" >&2 &&
    faults=$((faults + 1))
  return 0
}

# --- one archive ------------------------------------------------------------
check_archive() {  # check_archive ARCHIVE
  local archive=$1 system debug base game mod dbgroot f name kind word config
  case "$archive" in
    *-linux.tar.gz) system=linux debug=${archive%.tar.gz}-debug.tar.gz ;;
    *-windows.zip) system=windows debug=${archive%.zip}-debug.zip ;;
    *) echo "check: $archive: not a release archive name (...-linux.tar.gz, ...-windows.zip)" >&2; faults=$((faults + 1)); return ;;
  esac
  base=$(basename "$archive")
  [ -f "$archive" ] || { fault "no archive $archive"; return; }
  [ -f "$debug" ] || { fault "no debug archive $debug beside $base"; return; }
  game="$work/$base/game" dbgroot="$work/$base/debug"
  mkdir -p "$game" "$dbgroot"
  local before=$faults
  for a in "$archive" "$debug"; do
    if ! cmake -E tar tf "$a" >"$work/entries" 2>"$work/err"; then
      fault "$a is not a readable archive: $(cat "$work/err")"
      return
    fi
    while IFS= read -r entry; do
      case "$entry" in
        /*|*..*|*\\*) fault "$(basename "$a"): unsafe entry name: $entry" ;;
        cstrike/*|cstrike) ;;
        *) fault "$(basename "$a"): entry outside cstrike/: $entry" ;;
      esac
    done <"$work/entries"
  done
  [ "$faults" -eq "$before" ] || return 0
  (cd "$game" && cmake -E tar xf "$archive")
  (cd "$dbgroot" && cmake -E tar xf "$debug")
  mod="$game/cstrike"

  # The files an admin or player edits, by their real paths below cstrike/.
  local edited=(addons/metamod/plugins.ini dm_userconfig.cfg addons/GrapnelMod/GP_config.txt)
  local required=("${edited[@]/#/cstrike/$defaults/}" cstrike/addons/nuv/readme.txt
                  cstrike/addons/nuv/README.md cstrike/addons/nuv/docs/grapnel.md
                  cstrike/addons/nuv/docs/rix.md cstrike/addons/nuv/docs/menu.md)
  # Programs and libraries: archive path and kind.
  local -A binaries
  if [ "$system" = linux ]; then
    binaries=([cstrike/addons/grapnel/dlls/grapnel_mm_i386.so]=so [cstrike/addons/rix/dlls/rix_mm_i386.so]=so
              [cstrike/nuvdm-check]=exe [cstrike/nuvdm-menu]=exe)
    word=cs.so
  else
    binaries=([cstrike/addons/grapnel/dlls/grapnel_mm.dll]=dll [cstrike/addons/rix/dlls/rix_mm.dll]=dll
              [cstrike/NUVDM_Menu.exe]=gui [cstrike/nuvdm-menu.exe]=console [cstrike/nuvdm-check.exe]=console)
    word=mp.dll
  fi
  for f in "${required[@]}" "${!binaries[@]}"; do
    [ -f "$game/$f" ] && [ -s "$game/$f" ] || fault "$base: missing or empty: $f"
  done

  # Every program or library: its kind, its system, stripped and matched.
  while IFS= read -r name; do
    f="$game/$name"
    kind=${binaries[$name]:-}
    case "$(bytes "$f" 0 4)" in
      7f454c46) [ "$system" = linux ] || fault "$base: a Linux file in the Windows archive: $name" ;;
      4d5a*) [ "$system" = windows ] || fault "$base: a Windows file in the Linux archive: $name" ;;
      *) [ -z "$kind" ] && continue ;;
    esac
    if [ -z "$kind" ]; then
      fault "$base: a program or library that is not the pack's: $name"
      continue
    fi
    if [ "$system" = linux ]; then check_elf "$f" "$name" "$kind"; else check_pe "$f" "$name" "$kind"; fi
    check_debug "$f" "$name" "$dbgroot"
  done < <(cd "$game" && find cstrike -type f | LC_ALL=C sort)
  case "$system" in
    linux) find "$mod" -name '*.dll' -o -name '*.exe' | sed "s|^$game/|check: $base: a Windows file name: |" | grep . >&2 && faults=$((faults + 1)) ;;
    windows) find "$mod" -name '*.so' | sed "s|^$game/|check: $base: a Linux file name: |" | grep . >&2 && faults=$((faults + 1)) ;;
  esac
  while IFS= read -r f; do
    [ -n "${binaries[${f%.debug}]:-}" ] || fault "$(basename "$debug"): $f belongs to no shipped file"
  done < <(cd "$dbgroot" && find cstrike -type f | LC_ALL=C sort)
  find "$mod/addons/nuv" \( -name host.md -o -name platform.md -o -name '*.png' \) |
    sed "s|^$game/|check: $base: developer material: |" | grep . >&2 && faults=$((faults + 1))

  # Unpacking replaces what the archive holds: nothing of an admin's or a
  # player's, and outside addons/nuv/ nothing but the pack's own programs and
  # libraries. The menu writes its enable files into addons/nuv/.
  for f in "${edited[@]}"; do
    [ -e "$mod/$f" ] && fault "$base: cstrike/$f at its real place: unpacking would replace the admin's (ship it below cstrike/$defaults/)"
  done
  while IFS= read -r name; do
    case "$name" in
      cstrike/addons/nuv/dm_enable.cfg|cstrike/addons/nuv/dm_enable_ffa.cfg)
        fault "$base: $name, which the menu writes: unpacking would replace the player's" ;;
      cstrike/addons/nuv/*) ;;
      *) [ -n "${binaries[$name]:-}" ] || [[ " ${edited[*]} " == *" ${name#cstrike/} "* ]] ||
           fault "$base: $name: outside cstrike/addons/nuv/ only the pack's programs and libraries ship" ;;
    esac
  done < <(cd "$game" && find cstrike -type f | LC_ALL=C sort)

  # Text files: CR LF ends for a Windows player's Notepad, LF on Linux.
  while IFS= read -r f; do
    name=${f#"$game"/}
    if [ "$system" = windows ]; then
      [ "$(tr -cd '\n' <"$f" | wc -c)" = "$(grep -c $'\r$' "$f")" ] && [ -z "$(tail -c 1 "$f")" ] ||
        fault "$base: $name: lines without CR LF ends"
    else
      grep -q $'\r' "$f" && fault "$base: $name: carriage returns in the lines"
    fi
  done < <(find "$mod/$defaults" "$mod/addons/nuv/readme.txt" -type f | LC_ALL=C sort)

  check_plugins "$mod" "$system"

  # The hook plugin's standalone configuration names this system's game library.
  config="$mod/$defaults/addons/GrapnelMod/GP_config.txt"
  if [ -f "$config" ]; then
    local first
    first=$(tr -s ' \t\r\n' '\n\n\n\n' <"$config" | sed -n '/./{p;q;}')
    [ "$first" = "$word" ] || fault "GP_config.txt: first word '$first', not the $system game library $word"
  fi

  [ -f "$mod/addons/nuv/README.md" ] && check_docs "$mod" "$system"
  [ "$faults" -eq "$before" ] && echo "check: $base is complete ($(cd "$game" && find cstrike -type f | wc -l | tr -d ' ') files), $(basename "$debug") matches"
  return 0
}

for archive in "$@"; do
  case "$archive" in /*) ;; *) archive="$(pwd)/$archive" ;; esac
  check_archive "$archive"
done
if [ "$faults" -gt 0 ]; then
  echo "check: $faults fault(s)" >&2
  exit 1
fi
