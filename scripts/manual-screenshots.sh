#!/usr/bin/env bash
# Takes the manual's screenshots (docs/manual/images/tour-*.png) from the real program on a
# virtual display of its own (:97), with its own home folder, so they can be taken again when
# the windows change. Not part of the test command.
# Usage: scripts/manual-screenshots.sh [PATH/TO/flr]   (default: build/bin/flr, built if missing)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
images="$root/docs/manual/images"
show="$root/resources/samples/harbour-finale.flr"
music="$root/resources/samples/harbour-finale.wav"
display=:97

FLR_WITH_SCREENSHOTS=1 "$root/scripts/install-deps.sh"
flr="${1:-$root/build/bin/flr}"
if [ ! -x "$flr" ] || [ ! -f "$music" ]; then
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DFLR_BUILD_TESTS=OFF -DFLR_BUILD_BENCH=OFF
    cmake --build "$root/build" -j2 --target flr flr_sample_music
fi

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Flarion" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$XDG_CACHE_HOME"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export DISPLAY=$display QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=0

# A pseudo-terminal stands in as the firing system's port, so the Transfer window lists one.
python3 -c '
import os, pty, sys, time
master, slave = pty.openpty()
os.symlink(os.ttyname(slave), sys.argv[1])
time.sleep(3600)' "$work/ttyFLR" &
pids+=($!)
cat > "$XDG_CONFIG_HOME/Flarion/FLR.ini" <<INI
[Settings]
Update\AUTOUPDATE=no
[Ports]
COM1=$work/ttyFLR
INI

Xvfb $display -screen 0 1280x820x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.2; done
matchbox-window-manager -use_titlebar no >/dev/null 2>&1 &
pids+=($!)
sleep 1

shot() {  # shot NAME: the whole screen, once the windows have settled
    sleep "${2:-1.5}"
    import -window root "$images/$1.png"
    echo "took $1.png"
}
wait_for() {  # wait_for TITLE-REGEX
    xdotool search --sync --onlyvisible --name "$1" >/dev/null
}
keys() { xdotool key --delay 150 "$@"; }
# menu X KEYS...: opens the menu whose title is at X on the menu bar (the main window fills the
# screen, so File is at 20, Firework at 180, Window at 286), then presses KEYS in it.
menu() {
    xdotool mousemove "$1" 8 click 1
    sleep 0.7
    shift
    keys "$@"
}

mkdir -p "$images"
"$flr" >"$work/flr.log" 2>&1 &
pids+=($!)
# Started without a file, FLR opens a new show and asks for its setup.
wait_for '^Firework Setup$'
shot tour-setup 3
keys Return
shot tour-start

# The music, from the Firework menu.
menu 180 m
sleep 2
xdotool type --delay 30 "$music"
keys Return
sleep 3

# Ten cues on the beat while the clock runs: one every four beats at 125 beats a minute.
keys F10
sleep 1
for _ in $(seq 10); do
    keys Insert
    sleep 1.92
done
keys F12
shot tour-schedule

# The check lists what the new cues still lack.
keys F7
wait_for '^Show Check$'
shot tour-check
keys Escape
sleep 1

# The finished sample show, alone, for the printed list and the download.
menu 20 c
sleep 1
keys n
sleep 1
keys ctrl+o
sleep 2
xdotool type --delay 30 "$show"
keys Return
sleep 4
menu 286 t
shot tour-sample 2
menu 20 v f
shot tour-fieldlist 4
keys Escape
sleep 1
keys ctrl+t
sleep 2
# With warnings only the check asks first; its Download (the default button) goes on.
if xdotool search --onlyvisible --name '^Show Check$' >/dev/null 2>&1; then keys Return; fi
wait_for '^Transfer'
shot tour-transfer
# F1 there: the manual's page on the window in use.
keys F1
wait_for '^FLR Help'
shot help-window 2
