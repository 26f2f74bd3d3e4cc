#!/bin/sh
# Runs the game in a virtual X display at a locked 30 frames a second, takes a screenshot
# with the Screenshot key, closes the window like a window manager would, and checks the
# exit status, the screenshot, the frame rate and the log's time stamps.
set -e
game="$1"
closer="$2"
work="$(mktemp -d)"
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for i in 1 2 3 4 5 6 7 8 9 10; do [ -s "$work/display" ] && break; sleep 0.5; done
export DISPLAY=":$(cat "$work/display")"
export XDG_DATA_HOME="$work/home"
unset VELK_LOGFILE
# Sanitizer builds: leaks of the system libraries behind the window are not ours.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan_system_libraries.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
VELK_OPTIONS="[msgbox:off]" "$game" --lock-fps 30 --nosound &
pid=$!
sleep 3
xdotool key Escape
sleep 0.5
xdotool key s
sleep 2
"$closer" Skarvex
status=0
wait $pid || status=$?
log="$work/home/Skarvex/lastlog.txt"
[ "$status" -eq 0 ] || { echo "game exited with $status"; cat "$log"; exit 1; }
shot="$work/home/Skarvex/screenshot001.png"
[ -s "$shot" ] || { echo "no screenshot"; ls -la "$work/home/Skarvex"; cat "$log"; exit 1; }
head -c 8 "$shot" | od -An -tx1 | grep -q "89 50 4e 47 0d 0a 1a 0a" || { echo "not a PNG"; exit 1; }
grep -q 'Saved "screenshot001.png"' "$log" || { echo "no Saved message"; exit 1; }
bad="$(grep -cv '^\[[0-9]*:[0-5][0-9]:[0-5][0-9]\.[0-9][0-9]\] ' "$log" || true)"
[ "$bad" -eq 0 ] || { echo "$bad unstamped log lines"; cat "$log"; exit 1; }
grep -q "Finished deallocating bikes" "$log" || { echo "shutdown did not run"; exit 1; }
fps="$(sed -n 's/.*Frame histogram:.* \([0-9.]*\) fps.*/\1/p' "$log")"
echo "measured $fps fps"
awk -v f="$fps" 'BEGIN { exit !(f >= 27 && f <= 30.5) }' || { echo "not 30 fps: $fps"; exit 1; }
echo "ok"
