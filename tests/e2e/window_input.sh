#!/bin/bash
# The real show in a window: it opens titled "Tavio", ignores other keys, and
# ends with status 0 on Escape, a mouse click and the window's close request.
. "$(dirname "$0")/lib/common.bash"
run_in_xvfb "$@"
export SDL_AUDIODRIVER=dummy
log=$(mktemp)
trap 'rm -f "$log"; kill -9 ${SHOW_PID:-0} 2>/dev/null' EXIT

for how in escape click close; do
    start_show "$log" -w 320 240
    win=$(find_window)
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    xdotool key --window "$win" a
    xdotool mousemove --window "$win" 10 10
    sleep 1
    still_running || { cat "$log"; fail "$how: the show ended on a plain key or mouse motion"; }
    case $how in
        escape) xdotool key --window "$win" Escape ;;
        click) xdotool mousemove --window "$win" 100 50 click 1 ;;
        close) "$WM_CLOSE" "$win" ;;
    esac
    wait_exit 20
    [ "$SHOW_STATUS" -eq 0 ] || { cat "$log"; fail "$how: exit status $SHOW_STATUS"; }
    echo "ok: $how ends the show with status 0"
done
