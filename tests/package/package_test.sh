#!/usr/bin/env bash
# scripts/package.sh and tests/package/check.sh on stand-in build outputs:
# tiny programs and libraries of the right kinds, built here with debug
# information (gcc -m32, mingw-w64). The archives are made, pass the check
# and come out byte for byte the same twice; missing outputs and a bad
# version are refused; the check finds each planted fault in an archive.
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
cat >"$work/lib.c" <<'EOF'
int Meta_Query(void) { return 1; }
int GiveFnptrsToDll(void) { return 1; }
EOF
printf 'int main(void) { return 0; }\n' >"$work/main.c"
printf '#include <windows.h>\nint WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d) { return 0; }\n' >"$work/win.c"
lin="$work/lin/bin" win="$work/win/bin"
mkdir -p "$lin" "$win"
gcc -m32 -g -shared -fPIC "$work/lib.c" -o "$lin/grapnel_mm_i386.so"
cp "$lin/grapnel_mm_i386.so" "$lin/rix_mm_i386.so"
gcc -m32 -g -static "$work/main.c" -o "$lin/nuvdm-check"
cp "$lin/nuvdm-check" "$lin/nuvdm-menu"
i686-w64-mingw32-gcc -g -shared "$work/lib.c" -o "$win/grapnel_mm.dll"
cp "$win/grapnel_mm.dll" "$win/rix_mm.dll"
i686-w64-mingw32-gcc -g -mwindows "$work/win.c" -o "$win/NUVDM_Menu.exe"
i686-w64-mingw32-gcc -g "$work/main.c" -o "$win/nuvdm-check.exe"
cp "$win/nuvdm-check.exe" "$win/nuvdm-menu.exe"

version=$(sed -n 's/^project([^)]*VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
run_package() {  # run_package OUTDIR [args...]
  local out=$1; shift
  "$package" --linux-build "$work/lin" --windows-build "$work/win" --out "$out" "$@"
}
names() { echo "nuvdm-pack-$1-linux.tar.gz nuvdm-pack-$1-linux-debug.tar.gz nuvdm-pack-$1-windows.zip nuvdm-pack-$1-windows-debug.zip"; }

# --- the archives from complete outputs ---------------------------------------
if run_package "$work/a" >"$work/log" 2>&1 && (cd "$work/a" && ls $(names "$version")) >/dev/null 2>&1; then
  pass "four archives named by the project version ($version)"
else
  fail "package.sh on complete outputs: $(cat "$work/log")"
fi
linux="$work/a/nuvdm-pack-$version-linux.tar.gz"
windows="$work/a/nuvdm-pack-$version-windows.zip"
if "$check" "$linux" "$windows" >"$work/log" 2>&1; then pass "the archives pass the check"; else fail "check: $(cat "$work/log")"; fi

for a in "$linux" "$windows"; do
  entries=$(cmake -E tar tf "$a")
  [ "$entries" = "$(printf '%s\n' "$entries" | LC_ALL=C sort)" ] && pass "$(basename "$a"): entries sorted" ||
    fail "$(basename "$a"): entries not sorted: $entries"
done
built=$(wc -c <"$lin/nuvdm-check") shipped=$(tar xzOf "$linux" cstrike/nuvdm-check | wc -c)
[ "$shipped" -lt "$built" ] && pass "a stripped program is smaller ($built -> $shipped bytes)" || fail "nuvdm-check shipped with $shipped bytes of $built"

sleep 1
touch "$lin/rix_mm_i386.so" "$win/NUVDM_Menu.exe"
same=1
run_package "$work/b" "$version" >/dev/null 2>&1 || same=0
for n in $(names "$version"); do cmp -s "$work/a/$n" "$work/b/$n" || same=0; done
[ "$same" = 1 ] && pass "a second run gives the same bytes" || fail "a second run differs"

if run_package "$work/c" 7.1-rc1 --system linux >/dev/null 2>&1 && [ -f "$work/c/nuvdm-pack-7.1-rc1-linux.tar.gz" ] &&
   [ -f "$work/c/nuvdm-pack-7.1-rc1-linux-debug.tar.gz" ] && [ ! -e "$work/c/nuvdm-pack-7.1-rc1-windows.zip" ]; then
  pass "VERSION and --system linux name and pick the archives"
else
  fail "no nuvdm-pack-7.1-rc1-linux.tar.gz alone"
fi

# --- refusals -----------------------------------------------------------------
status=0
"$package" --linux-build "$work/lin" --windows-build "$work/nowhere" --out "$work/d" >"$work/log" 2>&1 || status=$?
if [ "$status" = 1 ] && grep -q "$work/nowhere/bin/grapnel_mm.dll" "$work/log" \
   && grep -q "$work/nowhere/bin/nuvdm-check.exe" "$work/log" && grep -q mingw "$work/log" \
   && [ ! -e "$work/d" ]; then
  pass "missing Windows outputs are named, nothing written"
else
  fail "missing outputs (status $status): $(cat "$work/log")"
fi
status=0
"$package" --system linux --linux-build "$work/lin" --windows-build "$work/nowhere" --out "$work/d2" >"$work/log" 2>&1 || status=$?
[ "$status" = 0 ] && pass "--system linux needs no Windows outputs" || fail "--system linux: $(cat "$work/log")"

status=0
run_package "$work/e" "../evil" >"$work/log" 2>&1 || status=$?
if [ "$status" = 2 ] && [ ! -e "$work/evil.zip" ]; then pass "a version with a path in it is refused"; else fail "bad version accepted"; fi

# --- faults the check finds ---------------------------------------------------------
# tampered ARCHIVE NAME EDIT: the good archive and its debug archive unpacked
# (in rel/ and dbg/), EDIT run in rel/cstrike, both packed again; echoes the
# tampered archive's path.
tampered() {
  local archive=$1 t="$work/t/$2" base debug
  base=$(basename "$archive")
  case "$base" in *.zip) debug=${base%.zip}-debug.zip ;; *) debug=${base%.tar.gz}-debug.tar.gz ;; esac
  rm -rf "$t" && mkdir -p "$t/rel" "$t/dbg" "$t/out"
  (cd "$t/rel" && cmake -E tar xf "$archive") && (cd "$t/dbg" && cmake -E tar xf "$(dirname "$archive")/$debug")
  (cd "$t/rel/cstrike" && dbg="$t/dbg/cstrike" && eval "$3")
  for part in rel:"$base" dbg:"$debug"; do
    (cd "$t/${part%%:*}" && find cstrike -type f | LC_ALL=C sort >../list &&
     case "$part" in
       *.zip) cmake -E tar cf "$t/out/${part#*:}" --format=zip --files-from=../list ;;
       *) tar czf "$t/out/${part#*:}" -T ../list ;;
     esac)
  done
  echo "$t/out/$base"
}
expect_fault() {  # expect_fault ARCHIVE NAME EDIT TEXT
  local bad
  bad=$(tampered "$1" "$2" "$3")
  if "$check" "$bad" >"$work/log" 2>&1; then
    fail "check passed $2"
  elif grep -q -- "$4" "$work/log"; then
    pass "check finds $2"
  else
    fail "check on $2 said: $(cat "$work/log")"
  fi
}
# restrip FILE: FILE rebuilt from SOURCE with its debug file and link, as package.sh does.
restrip='restrip() { objcopy --only-keep-debug "$2" "$dbg/$1.debug"; (cd "$(dirname "$dbg/$1")" && objcopy --strip-all --add-gnu-debuglink="$(basename "$1").debug" "$2" "$OLDPWD/$1"); }'

# The defaults of the files an admin edits, as the edits below name them.
defaults=addons/nuv/defaults
ini=$defaults/addons/metamod/plugins.ini gp=$defaults/addons/GrapnelMod/GP_config.txt

# The Linux archive.
gcc -g -shared -fPIC "$work/lib.c" -o "$work/lib64.so"
gcc -m32 -g "$work/main.c" -o "$work/dynamic"
expect_fault "$linux" 64bit "$restrip; restrip addons/rix/dlls/rix_mm_i386.so '$work/lib64.so'" \
  "rix_mm_i386.so: not a 32-bit"
expect_fault "$linux" dynamic-check "$restrip; restrip nuvdm-check '$work/dynamic'" \
  "nuvdm-check: needs the system's program loader"
expect_fault "$linux" not-stripped "cp '$lin/nuvdm-menu' nuvdm-menu" "nuvdm-menu: not stripped"
expect_fault "$linux" stale-debug 'cp "$dbg/addons/rix/dlls/rix_mm_i386.so.debug" "$dbg/nuvdm-check.debug"' "nuvdm-check.debug: does not match"
expect_fault "$linux" no-debug 'rm "$dbg/addons/rix/dlls/rix_mm_i386.so.debug"' "the debug archive has no cstrike/addons/rix/dlls/rix_mm_i386.so.debug"
expect_fault "$linux" windows-dll "cp '$win/rix_mm.dll' addons/rix/dlls/" "a Windows file in the Linux archive"
expect_fault "$linux" not-executable "chmod -x nuvdm-check" "nuvdm-check: not executable"
expect_fault "$linux" ini-missing-file "sed -i 's|rix/dlls/rix_mm_i386.so|rix/rix_mm_i386.so|' $ini" \
  "linux line names addons/rix/rix_mm_i386.so, not in the archive"
expect_fault "$linux" ini-win32-line "echo 'win32 addons\\grapnel\\dlls\\grapnel_mm.dll' >>$ini" \
  "a 'win32' line in the linux archive"
expect_fault "$linux" ini-no-hook "sed -i '/grapnel/d' $ini" "no line loads grapnel_mm"
expect_fault "$linux" ini-commented-amxx "echo '; linux addons/amxmodx/dlls/amxmodx_mm_i386.so' >>$ini" \
  "a commented plugin line"
expect_fault "$linux" old-library-name "printf 'cs_i386.so\n' >$gp" \
  "first word 'cs_i386.so', not the linux game library cs.so"
expect_fault "$linux" no-config "rm $gp" "missing or empty: cstrike/$gp"
expect_fault "$linux" admin-plugin-list "mkdir -p addons/metamod && cp $ini addons/metamod/" \
  "cstrike/addons/metamod/plugins.ini at its real place"
expect_fault "$linux" server-cfg "echo 'rix_longjump 1' >server.cfg" \
  "cstrike/server.cfg: outside cstrike/addons/nuv/ only"
expect_fault "$linux" enable-file "echo csdm_enable >addons/nuv/dm_enable.cfg" "which the menu writes"
expect_fault "$linux" crlf-default "sed -i 's/\$/\\r/' $defaults/dm_userconfig.cfg" \
  "dm_userconfig.cfg: carriage returns in the lines"
expect_fault "$linux" readme-link "echo 'See [the window](docs/menu-window.png).' >>addons/nuv/README.md" \
  "link to docs/menu-window.png, not in the archive"
expect_fault "$linux" readme-windows-file "echo 'Start NUVDM_Menu.exe.' >>addons/nuv/README.md" "names a file of the other system"
expect_fault "$linux" developer-doc "cp '$root/docs/host.md' addons/nuv/docs/" "developer material"
expect_fault "$linux" developer-command "echo 'Run scripts/test.sh.' >>addons/nuv/docs/rix.md" "developer material"

# The Windows archive.
expect_fault "$windows" console-menu "cp nuvdm-menu.exe NUVDM_Menu.exe" "NUVDM_Menu.exe: not a window program"
expect_fault "$windows" window-check "cp NUVDM_Menu.exe nuvdm-check.exe" "nuvdm-check.exe: not a console program"
expect_fault "$windows" dll-as-menu "cp addons/rix/dlls/rix_mm.dll NUVDM_Menu.exe" "NUVDM_Menu.exe: a DLL"
expect_fault "$windows" text-dll "echo hello >addons/grapnel/dlls/grapnel_mm.dll" "grapnel_mm.dll: not a Windows"
expect_fault "$windows" linux-library "cp '$lin/rix_mm_i386.so' addons/rix/dlls/" "a Linux file in the Windows archive"
expect_fault "$windows" ini-no-windows-hook "sed -i '/grapnel/d' $ini" "no line loads grapnel_mm"
expect_fault "$windows" linux-config "printf 'cs.so\r\n' >$gp" \
  "first word 'cs.so', not the windows game library mp.dll"
expect_fault "$windows" user-config "cp $defaults/dm_userconfig.cfg ." "cstrike/dm_userconfig.cfg at its real place"
expect_fault "$windows" ini-commented-hook "printf '//Win32 addons/podbot/podbot_mm.dll\\r\\n' >>$ini" \
  "a commented plugin line"
expect_fault "$windows" lf-default "sed -i 's/\r\$//' $ini" "plugins.ini: lines without CR LF ends"
expect_fault "$windows" readme-linux-file "echo 'Run ./hlds_run.' >>addons/nuv/README.md" "names a file of the other system"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
