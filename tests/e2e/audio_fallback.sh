#!/bin/bash
# Without a usable sound device the show warns once and plays on silently.
. "$(dirname "$0")/lib/common.bash"
run_in_xvfb "$@"
export SDL_AUDIODRIVER=alsa AUDIODEV=no-such-device
log=$(mktemp)
trap 'rm -f "$log"; kill -9 ${SHOW_PID:-0} 2>/dev/null' EXIT

start_show "$log" -w 320 240
win=$(find_window)
sleep 1
still_running || { cat "$log"; fail "the show did not survive a missing sound device"; }
grep -q "^tavio: warning: cannot open the audio device" "$log" || { cat "$log"; fail "no warning"; }
xdotool key --window "$win" Escape
wait_exit 20
[ "$SHOW_STATUS" -eq 0 ] || { cat "$log"; fail "exit status $SHOW_STATUS"; }
echo "ok: missing sound device falls back to silent audio"
