#!/usr/bin/env bash
# Makes the release archives, one per system, each a cstrike/ folder that a
# player or admin unpacks into the game folder, and beside each the debug
# information of its programs and libraries (they ship stripped). The
# archives are reproducible: sorted entries, one fixed time stamp and owner.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

usage() {
  cat <<'EOF'
usage: scripts/package.sh [--system linux|windows|all] [--linux-build DIR]
                          [--windows-build DIR] [--out DIR] [VERSION]
Makes in OUT (default dist/; VERSION from CMakeLists.txt):
  nuvdm-pack-VERSION-linux.tar.gz          from the 32-bit Linux build DIR/bin
  nuvdm-pack-VERSION-linux-debug.tar.gz    (--linux-build, default build-i386):
      grapnel_mm_i386.so, rix_mm_i386.so, nuvdm-check, nuvdm-menu
  nuvdm-pack-VERSION-windows.zip           from the Windows build DIR/bin
  nuvdm-pack-VERSION-windows-debug.zip     (--windows-build, default build-win32):
      grapnel_mm.dll, rix_mm.dll, NUVDM_Menu.exe, nuvdm-menu.exe, nuvdm-check.exe
The release archives hold the files stripped; the debug archives hold their
debug information under the same paths plus ".debug" (each stripped file
names its own with a GNU debug link). --system picks one system (default all).
The build folders can also be given as NUVDM_LINUX_BUILD and NUVDM_WINDOWS_BUILD.
EOF
}

linux_build=${NUVDM_LINUX_BUILD:-build-i386}
windows_build=${NUVDM_WINDOWS_BUILD:-build-win32}
out=dist
version=
systems="linux windows"
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    --linux-build|--windows-build|--out|--system)
      [ $# -ge 2 ] || { echo "package: $1 needs a value" >&2; exit 2; }
      case "$1" in
        --linux-build) linux_build=$2 ;;
        --windows-build) windows_build=$2 ;;
        --out) out=$2 ;;
        --system)
          case "$2" in
            linux|windows) systems=$2 ;;
            all) systems="linux windows" ;;
            *) echo "package: --system takes linux, windows or all, not '$2'" >&2; exit 2 ;;
          esac ;;
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

# Archive path <- built file, per system.
linux_inputs=(
  "cstrike/nuvdm-check=$linux_bin/nuvdm-check"
  "cstrike/nuvdm-menu=$linux_bin/nuvdm-menu"
  "cstrike/addons/grapnel/dlls/grapnel_mm_i386.so=$linux_bin/grapnel_mm_i386.so"
  "cstrike/addons/rix/dlls/rix_mm_i386.so=$linux_bin/rix_mm_i386.so"
)
windows_inputs=(
  "cstrike/NUVDM_Menu.exe=$windows_bin/NUVDM_Menu.exe"
  "cstrike/nuvdm-menu.exe=$windows_bin/nuvdm-menu.exe"
  "cstrike/nuvdm-check.exe=$windows_bin/nuvdm-check.exe"
  "cstrike/addons/grapnel/dlls/grapnel_mm.dll=$windows_bin/grapnel_mm.dll"
  "cstrike/addons/rix/dlls/rix_mm.dll=$windows_bin/rix_mm.dll"
)
inputs_of() {  # inputs_of SYSTEM: the pairs of that system, one a line
  if [ "$1" = linux ]; then printf '%s\n' "${linux_inputs[@]}"; else printf '%s\n' "${windows_inputs[@]}"; fi
}

missing=()
for system in $systems; do
  while IFS= read -r pair; do
    [ -f "${pair#*=}" ] || missing+=("${pair#*=}")
  done < <(inputs_of "$system")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "package: missing build outputs:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  case "${missing[*]}" in
    *.dll*|*.exe*) echo "  (the Windows files come from the mingw-w64 build: cmake -S . -B $windows_build -DCMAKE_TOOLCHAIN_FILE=\$PWD/cmake/mingw-i686.cmake)" >&2 ;;
  esac
  case "${missing[*]}" in
    *.so*|*/nuvdm-check\ *|*/nuvdm-check|*/nuvdm-menu\ *|*/nuvdm-menu)
      echo "  (the Linux files come from the 32-bit build: cmake -S . -B $linux_build -DCMAKE_TOOLCHAIN_FILE=\$PWD/cmake/linux-i386.cmake)" >&2 ;;
  esac
  exit 1
fi

objcopy_for() {  # objcopy_for SYSTEM: the objcopy that knows that system's files
  if [ "$1" = windows ] && command -v i686-w64-mingw32-objcopy >/dev/null; then
    echo i686-w64-mingw32-objcopy
  else
    echo objcopy
  fi
}
for system in $systems; do
  command -v "$(objcopy_for "$system")" >/dev/null ||
    { echo "package: $(objcopy_for "$system") is needed to strip the $system files (binutils)" >&2; exit 1; }
done

# objcopy stamps Windows files with the time it writes them, unless told a time.
export SOURCE_DATE_EPOCH=946684800

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# --- text files -------------------------------------------------------------

# ship_doc SYSTEM SOURCE TARGET: a Markdown file as the players and admins of
# SYSTEM read it. Lines after "<!-- ship: MODE -->" ship when MODE is "all"
# (also before the first marker), or the system's name; "none" keeps them
# for the repository only. "nuvdm-pack-VERSION" gets the real version.
ship_doc() {
  awk -v sys="$1" -v ver="$version" -v src="$2" '
    /^<!-- ship: [a-z]+ -->$/ {
      mode = $3
      if (mode != "all" && mode != "none" && mode != "linux" && mode != "windows") {
        printf "package: %s:%d: unknown ship mode %s\n", src, NR, mode > "/dev/stderr"; bad = 1
      }
      next
    }
    /<!-- ship:/ { printf "package: %s:%d: malformed ship marker\n", src, NR > "/dev/stderr"; bad = 1; next }
    mode == "" || mode == "all" || mode == sys {
      # One blank line where the parts of the other system leave several.
      if ($0 == "" && blank) next
      blank = $0 == ""
      gsub(/nuvdm-pack-VERSION/, "nuvdm-pack-" ver)
      print
    }
    END { exit bad }
  ' "$2" >"$3"
}

# Text files a Windows player opens in Notepad get CR LF line ends.
line_ends() {  # line_ends SYSTEM FILE
  [ "$1" = windows ] && sed -i 's/$/\r/' "$2"
  return 0
}

# The files an admin or player edits ship as the pack's defaults, at their
# paths below addons/nuv/defaults/: unpacking never replaces one of theirs,
# and nuvdm-check --fix writes a default to its place only where the file is
# missing.
defaults=addons/nuv/defaults
write_texts() {  # write_texts SYSTEM MODFOLDER
  local system=$1 mod=$2 word=cs.so sysword=linux plugins def="$2/$defaults"
  mkdir -p "$def/addons/metamod" "$def/addons/GrapnelMod" "$mod/addons/nuv/docs"
  if [ "$system" = windows ]; then
    word=mp.dll sysword=win32
    plugins=$'win32 addons\\grapnel\\dlls\\grapnel_mm.dll\nwin32 addons\\rix\\dlls\\rix_mm.dll'
  else
    plugins=$'linux addons/grapnel/dlls/grapnel_mm_i386.so\nlinux addons/rix/dlls/rix_mm_i386.so'
  fi

  # Metamod's plugin list: one "<system> <path below the mod folder>" line per
  # library. The comments name no other plugin's library: --fix takes a line
  # naming one, even a comment, as that plugin's line.
  cat >"$def/addons/metamod/plugins.ini" <<EOF
; Metamod's plugin list. Each line: the system ($sysword), then the library's
; path below the mod folder. Lines starting with ; are comments.
; Add the lines of the other Metamod plugins you load. Unpacking the NUV DM
; pack never replaces this file; nuvdm-check --fix adds the pack's lines
; where they are missing and leaves every other line as it is.
$plugins
EOF

  # grapnel_mm without Metamod reads the game library's name from the first word.
  {
    printf '%s\n\n' "$word"
    cat <<'EOF'
The first word of this file names the game library in the mod's dlls folder
that grapnel_mm loads when the engine runs it in place of the game library
(without Metamod). Everything after the first word is ignored.
EOF
    if [ "$system" = linux ]; then
      cat <<'EOF'
Today's servers have dlls/cs.so, older ones dlls/cs_i386.so: nuvdm-check --fix
writes this file, where it is missing, with the name the server has.
EOF
    fi
  } >"$def/addons/GrapnelMod/GP_config.txt"

  # The menu saves only in a mod folder that already holds dm_userconfig.cfg;
  # Save replaces this stand-in with the real settings.
  if [ "$system" = windows ]; then
    printf '// NUV DM settings: start NUVDM_Menu.exe in this folder and press SAVE SETTINGS.\n' >"$def/dm_userconfig.cfg"
  else
    printf '// NUV DM settings: run ./nuvdm-menu --save in this folder (see addons/nuv/README.md).\n' >"$def/dm_userconfig.cfg"
  fi

  cat >"$mod/addons/nuv/readme.txt" <<EOF
NUV DM pack $version

The menu writes its enable files into this folder when it saves:
dm_enable.cfg and dm_enable_ffa.cfg. Keep this folder.

defaults/ holds the pack's versions of the files that are yours once they
are in place (Metamod's plugin list, dm_userconfig.cfg, GP_config.txt), each
at its path below the mod folder. Unpacking the pack never replaces yours;
nuvdm-check --fix writes a default only where the file is missing.

How to install and use the pack: README.md beside this file, and the docs
folder.
EOF

  for f in "$defaults/addons/metamod/plugins.ini" "$defaults/addons/GrapnelMod/GP_config.txt" \
           "$defaults/dm_userconfig.cfg" addons/nuv/readme.txt; do
    line_ends "$system" "$mod/$f"
  done

  ship_doc "$system" "$root/README.md" "$mod/addons/nuv/README.md"
  for doc in grapnel.md rix.md menu.md menu-presets.md check.md; do
    ship_doc "$system" "$root/docs/$doc" "$mod/addons/nuv/docs/$doc"
  done
  return 0
}

# --- programs and libraries -------------------------------------------------

# strip_into SYSTEM BUILT SHIPPED DEBUG: SHIPPED is BUILT without its debug
# information and symbol table, with a debug link to DEBUG, which holds them.
strip_into() {
  local tool kind=--strip-all
  tool=$(objcopy_for "$1")
  case "$3" in *.so) kind=--strip-unneeded ;; esac
  mkdir -p "$(dirname "$3")" "$(dirname "$4")"
  "$tool" --only-keep-debug "$2" "$4"
  # The link names the debug file without its folder, as debuggers look for
  # it beside the program: strip in the debug file's folder.
  (cd "$(dirname "$4")" && "$tool" $kind --add-gnu-debuglink="$(basename "$4")" "$2" "$3")
}

# --- archives ---------------------------------------------------------------

# Same bits whoever builds it: plain files rw-r--r--, programs and libraries rwxr-xr-x.
fix_modes() {  # fix_modes FOLDER
  find "$1" -type d -exec chmod 755 {} +
  find "$1" -type f -exec chmod 644 {} +
  find "$1" -type f \( -name '*.so' -o -name nuvdm-check -o -name nuvdm-menu -o -name '*.exe' \) \
    -exec chmod 755 {} +
}

make_tgz() {  # make_tgz FOLDER ARCHIVE: FOLDER's cstrike/ as a tar.gz
  rm -f "$2"
  tar -C "$1" --sort=name --format=gnu --mtime=@946684800 --owner=0 --group=0 --numeric-owner \
      -cf - cstrike | gzip -9 -n >"$2"
}

make_zip() {  # make_zip FOLDER ARCHIVE: FOLDER's cstrike/ as a zip
  local list=$1.files
  rm -f "$2"
  (cd "$1" && find cstrike -type f | LC_ALL=C sort >"$list")
  (cd "$1" && cmake -E tar cf "$2" --format=zip --mtime="2000-01-01 00:00:00 UTC" --files-from="$list")
  rm -f "$list"
  # The archiver also stores each file's access and change times and its owner
  # in extra fields: give those the fixed time and owner 0, so that two builds
  # of the same files give the same bytes.
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
  ' "$2" 946684800
}

size_of() { wc -c <"$1" | tr -d ' '; }

mkdir -p "$out"
for system in $systems; do
  release="$stage/$system/release"
  debug="$stage/$system/debug"
  mkdir -p "$release/cstrike" "$debug/cstrike"
  write_texts "$system" "$release/cstrike"
  built=0 shipped=0
  while IFS= read -r pair; do
    path=${pair%%=*} file=${pair#*=}
    strip_into "$system" "$file" "$release/$path" "$debug/$path.debug"
    built=$((built + $(size_of "$file")))
    shipped=$((shipped + $(size_of "$release/$path")))
  done < <(inputs_of "$system")
  fix_modes "$release"
  fix_modes "$debug"
  if [ "$system" = linux ]; then
    archive="$out/nuvdm-pack-$version-linux.tar.gz" debug_archive="$out/nuvdm-pack-$version-linux-debug.tar.gz"
    make_tgz "$release" "$archive"
    make_tgz "$debug" "$debug_archive"
  else
    archive="$out/nuvdm-pack-$version-windows.zip" debug_archive="$out/nuvdm-pack-$version-windows-debug.zip"
    make_zip "$release" "$archive"
    make_zip "$debug" "$debug_archive"
  fi
  count=$(find "$release/cstrike" -type f | wc -l | tr -d ' ')
  echo "package: wrote $archive ($count files; programs and libraries $built bytes built, $shipped shipped)"
  echo "package: wrote $debug_archive"
done
