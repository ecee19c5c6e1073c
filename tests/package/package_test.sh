#!/usr/bin/env bash
# scripts/package.sh and tests/package/check.sh on stand-in build outputs
# (files with the header bytes of the real ones): the archive is made, passes
# the check and comes out byte for byte the same twice; missing outputs and a
# bad version are refused; the check finds a wrong library, a console program
# in place of the window program and a plugin list naming a missing file.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
package="$root/scripts/package.sh"
check="$here/check.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passes=0
pass() { passes=$((passes + 1)); echo "ok: $*"; }
fail() { failures=$((failures + 1)); echo "FAILED: $*"; }

# --- stand-in outputs -------------------------------------------------------
zeros() { head -c "$1" /dev/zero; }
# mkelf FILE CLASS MACHINE: an ELF header (class 1: 32-bit, 2: 64-bit).
mkelf() {
  { printf '\x7fELF\x0'"$2"'\x01\x01'; zeros 9; printf '\x03\x00\x'"$3"'\x00'; zeros 32; } >"$1"
}
# mkpe FILE CHARACTERISTICS-HIGH-BYTE SUBSYSTEM: an i386 PE32 header.
mkpe() {
  { printf 'MZ'; zeros 58; printf '\x40\x00\x00\x00';
    printf 'PE\x00\x00\x4c\x01'; zeros 14; printf '\xe0\x00\x02\x'"$2";
    printf '\x0b\x01'; zeros 66; printf '\x0'"$3"'\x00'; zeros 158; } >"$1"
}
mkdir -p "$work/lin/bin" "$work/win/bin"
mkelf "$work/lin/bin/grapnel_mm_i386.so" 1 03
mkelf "$work/lin/bin/rix_mm_i386.so" 1 03
mkpe "$work/win/bin/grapnel_mm.dll" 21 3
mkpe "$work/win/bin/rix_mm.dll" 21 3
mkpe "$work/win/bin/NUVDM_Menu.exe" 01 2

version=$(sed -n 's/^project([^)]*VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
run_package() {  # run_package OUTDIR [args...]
  local out=$1; shift
  "$package" --linux-build "$work/lin" --windows-build "$work/win" --out "$out" "$@"
}

# --- the archive from complete outputs --------------------------------------
if run_package "$work/a" >"$work/log" 2>&1 && [ -f "$work/a/nuvdm-pack-$version.zip" ]; then
  pass "archive named by the project version ($version)"
else
  fail "package.sh on complete outputs: $(cat "$work/log")"
fi
zip="$work/a/nuvdm-pack-$version.zip"
if "$check" "$zip" >"$work/log" 2>&1; then pass "the archive passes the check"; else fail "check: $(cat "$work/log")"; fi

entries=$(cmake -E tar tf "$zip")
if [ "$entries" = "$(printf '%s\n' "$entries" | LC_ALL=C sort)" ]; then
  pass "entries sorted"
else
  fail "entries not sorted: $entries"
fi

sleep 1
touch "$work/lin/bin/rix_mm_i386.so"
if run_package "$work/b" "$version" >/dev/null 2>&1 && cmp -s "$zip" "$work/b/nuvdm-pack-$version.zip"; then
  pass "a second run gives the same bytes"
else
  fail "a second run differs"
fi

if run_package "$work/c" 7.1-rc1 >/dev/null 2>&1 && [ -f "$work/c/nuvdm-pack-7.1-rc1.zip" ]; then
  pass "VERSION argument names the archive"
else
  fail "no nuvdm-pack-7.1-rc1.zip"
fi

# --- refusals -----------------------------------------------------------------
status=0
"$package" --linux-build "$work/lin" --windows-build "$work/nowhere" --out "$work/d" >"$work/log" 2>&1 || status=$?
if [ "$status" = 1 ] && grep -q "$work/nowhere/bin/grapnel_mm.dll" "$work/log" \
   && grep -q "$work/nowhere/bin/NUVDM_Menu.exe" "$work/log" && grep -q mingw "$work/log" \
   && [ ! -e "$work/d" ]; then
  pass "missing Windows outputs are named, nothing written"
else
  fail "missing outputs (status $status): $(cat "$work/log")"
fi

status=0
run_package "$work/e" "../evil" >"$work/log" 2>&1 || status=$?
if [ "$status" = 2 ] && [ ! -e "$work/evil.zip" ]; then pass "a version with a path in it is refused"; else fail "bad version accepted"; fi

# --- faults the check finds ---------------------------------------------------------
# tampered NAME EDIT: the good archive unpacked, EDIT run in its folder, packed again.
tampered() {
  rm -rf "$work/t" && mkdir -p "$work/t"
  (cd "$work/t" && cmake -E tar xf "$zip" && eval "$2" && find cstrike -type f | LC_ALL=C sort >../list &&
   cmake -E tar cf "$work/$1.zip" --format=zip --files-from=../list)
}
expect_fault() {  # expect_fault NAME EDIT TEXT
  tampered "$1" "$2"
  if "$check" "$work/$1.zip" >"$work/log" 2>&1; then
    fail "check passed $1"
  elif grep -q -- "$3" "$work/log"; then
    pass "check finds $1"
  else
    fail "check on $1 said: $(cat "$work/log")"
  fi
}
expect_fault 64bit "{ printf '\x7fELF\x02\x01\x01'; head -c 9 /dev/zero; printf '\x03\x00\x3e\x00'; head -c 32 /dev/zero; } >cstrike/addons/rix/dlls/rix_mm_i386.so" \
  "rix_mm_i386.so: not a 32-bit"
expect_fault console-menu "mkpe cstrike/NUVDM_Menu.exe 01 3" "NUVDM_Menu.exe: not a window program"
expect_fault dll-as-menu "cp cstrike/addons/rix/dlls/rix_mm.dll cstrike/NUVDM_Menu.exe" "NUVDM_Menu.exe: a DLL"
expect_fault text-dll "echo hello >cstrike/addons/grapnel/dlls/grapnel_mm.dll" "grapnel_mm.dll: not a Windows"
expect_fault ini-missing-file "sed -i 's|rix/dlls/rix_mm_i386.so|rix/rix_mm_i386.so|' cstrike/addons/metamod/plugins.ini" \
  "linux line names addons/rix/rix_mm_i386.so, not in the archive"
expect_fault ini-no-windows-hook "sed -i '/^win32 .*grapnel/d' cstrike/addons/metamod/plugins.ini" \
  "no line loads grapnel_mm on win32"
expect_fault config-word "printf 'hl.dll\n' >cstrike/addons/GrapnelMod/GP_config.txt" "first word 'hl.dll'"
expect_fault no-config "rm cstrike/addons/GrapnelMod/GP_config.txt" "missing or empty: cstrike/addons/GrapnelMod/GP_config.txt"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
