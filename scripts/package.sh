#!/usr/bin/env bash
# Makes the release archive dist/nuvdm-pack-VERSION.zip from the 32-bit Linux
# and the Windows builds: a cstrike/ folder a player unpacks into the game
# folder. The archive is reproducible: sorted entries, one fixed time stamp.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

usage() {
  cat <<'EOF'
usage: scripts/package.sh [--linux-build DIR] [--windows-build DIR] [--out DIR] [VERSION]
Makes OUT/nuvdm-pack-VERSION.zip (default dist/, VERSION from CMakeLists.txt) from
  DIR/bin/grapnel_mm_i386.so, DIR/bin/rix_mm_i386.so      (--linux-build, default build-i386)
  DIR/bin/grapnel_mm.dll, DIR/bin/rix_mm.dll,
  DIR/bin/NUVDM_Menu.exe                                   (--windows-build, default build-win32)
The build folders can also be given as NUVDM_LINUX_BUILD and NUVDM_WINDOWS_BUILD.
EOF
}

linux_build=${NUVDM_LINUX_BUILD:-build-i386}
windows_build=${NUVDM_WINDOWS_BUILD:-build-win32}
out=dist
version=
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    --linux-build|--windows-build|--out)
      [ $# -ge 2 ] || { echo "package: $1 needs a folder" >&2; exit 2; }
      case "$1" in
        --linux-build) linux_build=$2 ;;
        --windows-build) windows_build=$2 ;;
        --out) out=$2 ;;
      esac
      shift 2 ;;
    -*) echo "package: unknown option $1" >&2; usage >&2; exit 2 ;;
    *)
      [ -z "$version" ] || { echo "package: one VERSION only" >&2; exit 2; }
      version=$1; shift ;;
  esac
done

if [ -z "$version" ]; then
  version=$(sed -n 's/^project([^)]*VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt" | head -n 1)
  [ -n "$version" ] || { echo "package: no project version in CMakeLists.txt; give VERSION" >&2; exit 2; }
fi
case "$version" in
  *[!A-Za-z0-9._-]*|.*) echo "package: VERSION '$version' may hold only letters, digits, '.', '_' and '-'" >&2; exit 2 ;;
esac

abs() { case "$1" in /*) printf '%s\n' "$1" ;; *) printf '%s\n' "$root/$1" ;; esac; }
linux_bin=$(abs "$linux_build")/bin
windows_bin=$(abs "$windows_build")/bin
out=$(abs "$out")

# Archive path <- built file.
inputs=(
  "cstrike/NUVDM_Menu.exe=$windows_bin/NUVDM_Menu.exe"
  "cstrike/addons/grapnel/dlls/grapnel_mm.dll=$windows_bin/grapnel_mm.dll"
  "cstrike/addons/grapnel/dlls/grapnel_mm_i386.so=$linux_bin/grapnel_mm_i386.so"
  "cstrike/addons/rix/dlls/rix_mm.dll=$windows_bin/rix_mm.dll"
  "cstrike/addons/rix/dlls/rix_mm_i386.so=$linux_bin/rix_mm_i386.so"
)
missing=()
for pair in "${inputs[@]}"; do
  [ -f "${pair#*=}" ] || missing+=("${pair#*=}")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "package: missing build outputs:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  case "${missing[*]}" in
    *.dll*|*.exe*) echo "  (the Windows files come from the mingw-w64 build: cmake -S . -B $windows_build -DCMAKE_TOOLCHAIN_FILE=\$PWD/cmake/mingw-i686.cmake)" >&2 ;;
  esac
  case "${missing[*]}" in
    *.so*) echo "  (the Linux files come from the 32-bit build: cmake -S . -B $linux_build -DCMAKE_TOOLCHAIN_FILE=\$PWD/cmake/linux-i386.cmake)" >&2 ;;
  esac
  exit 1
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mod="$stage/cstrike"
mkdir -p "$mod/addons/metamod" "$mod/addons/GrapnelMod" "$mod/addons/nuv/docs"
for pair in "${inputs[@]}"; do
  mkdir -p "$(dirname "$stage/${pair%%=*}")"
  cp "${pair#*=}" "$stage/${pair%%=*}"
done

# Metamod's plugin list: one "<system> <path below the mod folder>" line per library.
cat >"$mod/addons/metamod/plugins.ini" <<'EOF'
; Metamod plugins of the NUV DM pack. Each line: the system, then the library's
; path below the mod folder. Lines starting with ; are comments.
; If you load other Metamod plugins (AMX Mod X, for example
;   win32 addons\amxmodx\dlls\amxmodx_mm.dll
;   linux addons/amxmodx/dlls/amxmodx_mm_i386.so
; ) keep their lines in this file as well.
win32 addons\grapnel\dlls\grapnel_mm.dll
linux addons/grapnel/dlls/grapnel_mm_i386.so
win32 addons\rix\dlls\rix_mm.dll
linux addons/rix/dlls/rix_mm_i386.so
EOF

# The hook plugin without Metamod reads the game library's name from the first word.
cat >"$mod/addons/GrapnelMod/GP_config.txt" <<'EOF'
mp.dll

The first word of this file names the game library in cstrike/dlls that
grapnel_mm loads when the engine runs it in place of the game library
(without Metamod): mp.dll on Windows, cs_i386.so on a Linux server.
Everything after the first word is ignored.
EOF

# NUVDM_Menu saves only in a mod folder that already holds dm_userconfig.cfg;
# Save replaces this stand-in with the real settings.
printf '// NUV DM settings: start NUVDM_Menu.exe in this folder and press SAVE SETTINGS.\r\n' \
  >"$mod/dm_userconfig.cfg"

cat >"$mod/addons/nuv/readme.txt" <<'EOF'
NUV DM pack

NUVDM_Menu (cstrike/NUVDM_Menu.exe) writes its enable files here when you
press SAVE SETTINGS: dm_enable.cfg and dm_enable_ffa.cfg. Keep this folder.

The documentation is README.md beside this file, and the docs folder.
EOF

cp "$root/README.md" "$mod/addons/nuv/README.md"
cp "$root"/docs/*.md "$mod/addons/nuv/docs/"

# Same bits whoever builds it: plain files rw-r--r--, libraries rwxr-xr-x.
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
find "$stage" -type f -name '*.so' -exec chmod 755 {} +

mkdir -p "$out"
zip="$out/nuvdm-pack-$version.zip"
rm -f "$zip"
(cd "$stage" && find cstrike -type f | LC_ALL=C sort >"$stage/.files")
(cd "$stage" && cmake -E tar cf "$zip" --format=zip --mtime="2000-01-01 00:00:00 UTC" \
   --files-from="$stage/.files")
# The archiver also stores each file's access and change times and its owner in
# extra fields: give those the fixed time and owner 0, so that two builds of
# the same files give the same bytes.
perl -e '
  use strict; use warnings;
  my ($file, $time) = @ARGV;
  open(my $h, "+<:raw", $file) or die "$file: $!\n";
  my $z = do { local $/; <$h> };
  sub fix {
    my ($at, $len) = @_;
    my $end = $at + $len;
    while ($at + 4 <= $end) {
      my ($id, $size) = unpack("v v", substr($z, $at, 4));
      my $data = $at + 4;
      if ($id == 0x5455) {        # extended time stamps: flags, then 4-byte times
        for (my $t = $data + 1; $t + 4 <= $data + $size; $t += 4) { substr($z, $t, 4) = pack("V", $time) }
      } elsif ($id == 0x7875) {   # owner: version, uid size, uid, gid size, gid
        my $u = unpack("C", substr($z, $data + 1, 1));
        substr($z, $data + 2, $u) = "\0" x $u;
        my $g = unpack("C", substr($z, $data + 2 + $u, 1));
        substr($z, $data + 3 + $u, $g) = "\0" x $g;
      }
      $at = $data + $size;
    }
  }
  my $eocd = rindex($z, "PK\x05\x06");
  die "$file: no end of central directory\n" if $eocd < 0;
  my $count = unpack("v", substr($z, $eocd + 10, 2));
  my $cd = unpack("V", substr($z, $eocd + 16, 4));
  for (1 .. $count) {
    die "$file: bad central directory\n" unless substr($z, $cd, 4) eq "PK\x01\x02";
    my ($nlen, $xlen, $clen) = unpack("v v v", substr($z, $cd + 28, 6));
    my $local = unpack("V", substr($z, $cd + 42, 4));
    fix($cd + 46 + $nlen, $xlen);
    die "$file: bad local header\n" unless substr($z, $local, 4) eq "PK\x03\x04";
    my ($lnlen, $lxlen) = unpack("v v", substr($z, $local + 26, 4));
    fix($local + 30 + $lnlen, $lxlen);
    $cd += 46 + $nlen + $xlen + $clen;
  }
  seek($h, 0, 0); print $h $z; close($h) or die "$file: $!\n";
' "$zip" 946684800
echo "package: wrote $zip ($(wc -l <"$stage/.files") files)"
