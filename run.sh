#!/bin/sh
# Installs what is missing, builds, generates the data and starts the game.
# Without a display the game runs for about ten seconds in a virtual X display,
# saves a screenshot through its own Screenshot key, and the script says where it is.
set -e
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
game="$root/build/game/skarvex"

if [ -n "$DISPLAY" ]; then
    exec "$game" "$@"
fi

home="${XDG_DATA_HOME:-$HOME/.local/share}/Skarvex"
display=":$((90 + $$ % 100))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
export DISPLAY="$display"
before="$(ls "$home"/screenshot*.png 2>/dev/null | sort | tail -n 1)"
VELK_OPTIONS="${VELK_OPTIONS}[msgbox:off]" "$game" "$@" &
pid=$!
sleep 4
xdotool key Escape   # close the title menu
sleep 1
xdotool key s        # the Screenshot key
sleep 5
kill -TERM $pid 2>/dev/null || true
status=0
wait $pid || status=$?
after="$(ls "$home"/screenshot*.png 2>/dev/null | sort | tail -n 1)"
echo "Game exited with status $status"
echo "Log: $home/lastlog.txt"
if [ -n "$after" ] && [ "$after" != "$before" ]; then
    echo "Screenshot: $after"
else
    echo "error: no new screenshot was saved" >&2
    exit 1
fi
exit $status
