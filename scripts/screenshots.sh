#!/usr/bin/env bash
# Takes the README's pictures from a built korvu on a private Xvfb, with settings
# in a folder of its own: docs/screenshot-start.png (the start window),
# docs/screenshot-scores.png (the score table with four rows filled) and
# docs/screenshot-game.png (a game of cell size 10 with a turned worm and food).
# Builds nothing. Usage: scripts/screenshots.sh [path/to/korvu]
set -euo pipefail
export LC_ALL=C

fail() { echo "screenshots: $*" >&2; exit 1; }

root=$(cd "$(dirname "$0")/.." && pwd)
korvu=${1:-$root/build/default/app/korvu}
docs=$root/docs
[[ -x $korvu ]] || fail "no program at $korvu (make build)"
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh)"
done
source "$root/scripts/xvfb.sh"

readonly start_title='^Korvu Ayarlar - www\.korvu\.example$'
readonly scores_title='^Skor Tablosu$'
readonly game_title='^Korvu 1\.0 - www\.korvu\.example$'

# mktemp makes the folder 0700, as Qt wants its runtime folder.
work=$(mktemp -d)
xvfb_pid=
korvu_pid=
# Only the two processes this script started are stopped, by their ids.
cleanup() {
    stop_started "$korvu_pid"
    stop_started "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT

# until_within <seconds> <command...>: retries the command every 50 ms until it succeeds.
until_within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

start_xvfb "$work" || fail "Xvfb reported no display"
export DISPLAY=$xvfb_display

# Desktop settings that change how Qt draws would make the pictures differ from machine to machine.
unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
      QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI WAYLAND_DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS
# The settings a first start writes, with a score table worth showing.
mkdir -p "$work/home/.config/Korvu"
cat >"$work/home/.config/Korvu/Korvu.conf" <<'EOF'
[Options]
HardCore=2
Played=True
Speed=0
PPFood=1
Size=5

[Highscore]
Name1=Ayse
Name2=Mehmet
Name3=Oyuncu 1
Name4=Deniz
Score1=57
Score2=41
Score3=23
Score4=9
EOF
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work \
    QT_QPA_PLATFORM=xcb "$korvu" >"$work/korvu.log" 2>&1 &
korvu_pid=$!

window=
find_window() {
    kill -0 "$korvu_pid" 2>/dev/null || { cat "$work/korvu.log" >&2; exit 1; }
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) && [[ -n $window ]]
}
# The picture of a window's client area, with no dates, so that a new run of an
# unchanged program writes the same bytes.
shoot() {
    import -silent -window "$1" -strip -define png:exclude-chunks=date,time "png:$2"
}
picture_sum() { import -silent -window "$1" png:- | md5sum; }
# A window is ready once it is painted: two pictures in a row are the same, and
# not of one colour.
painted() {
    local first second
    first=$(picture_sum "$1")
    second=$(picture_sum "$1")
    [[ $first == "$second" ]] && [[ $(import -silent -window "$1" -format '%k' info:) != 1 ]]
}
window_gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
picture_changed() { [[ $(picture_sum "$1") != "$2" ]]; }
# ticks <window> <n>: waits until the board has moved n times.
ticks() {
    local i before
    for ((i = 0; i < $2; ++i)); do
        before=$(picture_sum "$1")
        until_within 5 picture_changed "$1" "$before" || fail "the worm does not move"
    done
}

until_within 15 find_window "$start_title" || fail "no start window"
start=$window
until_within 10 painted "$start" || fail "the start window is not drawn"
mkdir -p "$docs"
shoot "$start" "$docs/screenshot-start.png"

# "Skor Tablo" is the middle button on the right; Esc closes the table again.
xdotool mousemove --window "$start" 224 40 click 1
until_within 10 find_window "$scores_title" || fail "no score table"
scores=$window
until_within 10 painted "$scores" || fail "the score table is not drawn"
shoot "$scores" "$docs/screenshot-scores.png"
xdotool windowfocus --sync "$scores" key Escape
until_within 10 window_gone "$scores_title" || fail "the score table does not close"

# Size 10 over the first start's 5, typed into the cell size box; Enter presses "Baslat".
xdotool mousemove --window "$start" 140 15 click 1
xdotool windowfocus --sync "$start" key ctrl+a 1 0 Return
until_within 10 find_window "$game_title" || fail "no game window"
game=$window
xdotool windowfocus --sync "$game"
# The worm starts in row 2 heading right; an L and a step back right show it turning.
ticks "$game" 3
xdotool key Down
ticks "$game" 4
xdotool key Right
ticks "$game" 2
shoot "$game" "$docs/screenshot-game.png"

echo "screenshots: wrote docs/screenshot-start.png, docs/screenshot-scores.png and docs/screenshot-game.png"
