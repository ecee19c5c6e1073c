#!/bin/bash
# NUVDM_Menu.exe on a real (virtual) screen: run inside xvfb-run. Finds the
# window by its caption, checks its client size, takes a screenshot, clicks the
# Pure preset and Save, checks the status box's colour after each, closes the
# window and compares the files it wrote with those nuvdm-menu.exe writes for
# "--click nuvdm_pure --save".
#
# usage: window_screen.sh WINE NUVDM_Menu.exe nuvdm-menu.exe ARTEFACT_DIR
#   WINE          the wine program
#   ARTEFACT_DIR  receives menu-window.png (start-up), menu-pure.png and
#                 menu-saved.png, and the Wine prefix wine-prefixes/wine-screen/ (or
#                 $NUVDM_SCREEN_WINEPREFIX)
set -u

if [ $# -ne 4 ]; then
    echo "usage: $0 WINE NUVDM_Menu.exe nuvdm-menu.exe ARTEFACT_DIR" >&2
    exit 2
fi
WINE=$(command -v "$1") MENU=$(realpath "$2") CLI=$(realpath "$3") ARTEFACTS=$(realpath -m "$4")
CAPTION="NUV DM - Windows Menu 1.1.0.1"

# Client coordinates in pixels (twips / 15), from the window's layout:
# nuvdm_pure lies at Frame3 (6480, 960) + (240, 840), 5295 x 255: aim at its
# round button; btn_save at Frame2 (6480, 0) + (2520, 120), 1695 x 615; the
# status box at Frame11 (120, 8760) + (120, 240), 9135 x 735.
PURE_X=$(( (6480 + 240) / 15 + 8 )) PURE_Y=$(( (960 + 840) / 15 + 8 ))
SAVE_X=$(( (6480 + 2520 + 1695 / 2) / 15 )) SAVE_Y=$(( (120 + 615 / 2) / 15 ))
STATUS_X=$(( (120 + 120) / 15 )) STATUS_Y=$(( (8760 + 240) / 15 ))
STATUS_W=$(( 9135 / 15 )) STATUS_H=$(( 735 / 15 ))
BLACK="#000000"
GREEN="#307500"  # 30000 = 0x007530 as 0x00BBGGRR

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null || fail "$tool not found"
done
[ -n "${DISPLAY:-}" ] || fail "no X display (run under xvfb-run)"
mkdir -p "$ARTEFACTS" || fail "cannot create $ARTEFACTS"

# A prefix of its own, whose wineserver starts here, on this display, and
# stops at the end: a wineserver whose first window-less client ran without a
# display refuses windows to later clients, even ones with a display.
export WINEPREFIX=${NUVDM_SCREEN_WINEPREFIX:-$ARTEFACTS/wine-prefixes/wine-screen} WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINESERVER=$(dirname "$(command -v "$WINE")")/wineserver
[ -x "$WINESERVER" ] || WINESERVER=wineserver
mkdir -p "$(dirname "$WINEPREFIX")"
WORK=
MENU_PID=
cleanup() {
    if [ -n "$MENU_PID" ] && kill -0 "$MENU_PID" 2>/dev/null; then kill "$MENU_PID" 2>/dev/null; fi
    "$WINESERVER" -k >/dev/null 2>&1 </dev/null
    if [ -n "$WORK" ]; then rm -rf "$WORK"; fi
}
trap cleanup EXIT

# Detached, so that nothing waits for the server's output.
"$WINESERVER" -p >/dev/null 2>&1 </dev/null
"$WINE" cmd /c exit >/dev/null 2>&1 </dev/null || fail "wine does not run in $WINEPREFIX"
# Wine's own faces (MS Sans Serif, Tahoma, ...) are found only inside the
# prefix; without them every caption falls back to a wider face and is clipped.
WINE_FONTS=${NUVDM_WINE_FONTS:-/usr/share/wine/fonts}
if [ -d "$WINE_FONTS" ] && [ ! -e "$WINEPREFIX/drive_c/windows/Fonts/.nuvdm-fonts" ]; then
    cp "$WINE_FONTS"/*.ttf "$WINE_FONTS"/*.fon "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    # A fresh server reads the fonts anew.
    "$WINESERVER" -k >/dev/null 2>&1 </dev/null
    "$WINESERVER" -w >/dev/null 2>&1 </dev/null
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    touch "$WINEPREFIX/drive_c/windows/Fonts/.nuvdm-fonts"
elif [ ! -d "$WINE_FONTS" ]; then
    echo "note: no Wine fonts in $WINE_FONTS (package fonts-wine): captions use a fallback face" >&2
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/nuvdm-screen.XXXXXX") || fail "no temporary folder"

# A mod folder as installed: the two files Save looks for and the addon folders.
modFolder() {
    mkdir -p "$1/addons/nuv" "$1/addons/amxmodx/configs" &&
    printf 'old user config\r\n' >"$1/dm_userconfig.cfg" &&
    printf 'name player\r\n' >"$1/config.cfg"
}
modFolder "$WORK/mod-window" && modFolder "$WORK/mod-cli" || fail "cannot lay out the mod folders"

# The most common colour inside the status box (its background; text is thin).
statusColour() {
    convert "$1" -crop "$((STATUS_W - 8))x$((STATUS_H - 8))+$((STATUS_X + 4))+$((STATUS_Y + 4))" \
        +repage -format %c histogram:info:- | sort -rn | head -n 1 | grep -o '#[0-9A-Fa-f]\{6\}' |
        head -n 1 | tr a-f A-F
}

# Screenshots of the window until the status box shows the colour, up to 15 s.
awaitStatus() {  # shot.png colour what
    local colour=
    for _ in $(seq 1 30); do
        import -window "$WID" "$1" 2>/dev/null && colour=$(statusColour "$1")
        [ "$colour" = "$2" ] && return 0
        sleep 0.5
    done
    fail "status box is ${colour:-unreadable} after $3, expected $2"
}

# --- the window ---
(cd "$WORK/mod-window" && exec "$WINE" "$MENU" >"$WORK/menu.log" 2>&1 </dev/null) &
MENU_PID=$!
WID=$(timeout 60 xdotool search --sync --onlyvisible --name "^${CAPTION}\$" | head -n 1)
[ -n "$WID" ] || fail "no window captioned \"$CAPTION\" within 60 s: $(cat "$WORK/menu.log")"
sleep 1  # let the first paint finish

GEOMETRY=$(xwininfo -id "$WID")
WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$GEOMETRY")
HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$GEOMETRY")
[ "$WIDTH" = 889 ] && [ "$HEIGHT" = 690 ] || fail "client size ${WIDTH}x${HEIGHT}, expected 889x690"

awaitStatus "$ARTEFACTS/menu-window.png" "#FFFFFF" "start-up"

xdotool mousemove --window "$WID" "$PURE_X" "$PURE_Y" click 1
awaitStatus "$ARTEFACTS/menu-pure.png" "$BLACK" "clicking the Pure preset"

xdotool mousemove --window "$WID" "$SAVE_X" "$SAVE_Y" click 1
awaitStatus "$ARTEFACTS/menu-saved.png" "$GREEN" "clicking Save"

# Close it as a user would, and give it time to end.
xdotool key --window "$WID" alt+F4 2>/dev/null  # xdotool grumbles: no window manager
for _ in $(seq 1 40); do
    kill -0 "$MENU_PID" 2>/dev/null || break
    sleep 0.5
done
if kill -0 "$MENU_PID" 2>/dev/null; then
    fail "the window did not close on Alt+F4"
fi
wait "$MENU_PID"
MENU_PID=

# --- the command line, in the other folder ---
(cd "$WORK/mod-cli" && "$WINE" "$CLI" --click nuvdm_pure --save >"$WORK/cli.log" 2>&1 </dev/null) ||
    fail "nuvdm-menu.exe --click nuvdm_pure --save failed: $(cat "$WORK/cli.log")"

# Same files, same bytes; footers name their own folder, so that name is
# made the same first.
(cd "$WORK/mod-window" && find . -type f | sort) >"$WORK/window.list"
(cd "$WORK/mod-cli" && find . -type f | sort) >"$WORK/cli.list"
cmp -s "$WORK/window.list" "$WORK/cli.list" ||
    fail "the window and the command line wrote different files: $(diff "$WORK/window.list" "$WORK/cli.list" | tr '\n' ' ')"
grep -q 'mod-window' "$WORK/mod-window/dm_userconfig.cfg" || fail "dm_userconfig.cfg names no folder"
status=0
while read -r f; do
    if ! cmp -s <(sed 's/mod-window/mod-X/g' "$WORK/mod-window/$f") <(sed 's/mod-cli/mod-X/g' "$WORK/mod-cli/$f"); then
        echo "FAIL: $f differs between the window and the command line" >&2
        status=1
    fi
done <"$WORK/window.list"
[ $status -eq 0 ] || exit 1
echo "window: $(wc -l <"$WORK/window.list") files, equal to the command line's; screenshots in $ARTEFACTS"
