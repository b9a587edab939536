# Shared helpers of the end-to-end scripts: an X server, starting the show, waiting for it.
set -u

# Re-runs the calling script inside its own Xvfb (once).
run_in_xvfb() {
    if [ -z "${TAVIO_IN_XVFB:-}" ]; then
        TAVIO_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
    fi
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# start_show LOG ARGS...: starts tavio in the background; sets SHOW_PID.
start_show() {
    local log=$1; shift
    "$TAVIO_BIN/tavio" "$@" >"$log" 2>&1 &
    SHOW_PID=$!
}

# find_window: prints the id of the window titled exactly "Tavio" (waits up to 30 s).
find_window() {
    local w
    w=$(timeout 30 xdotool search --sync --name '^Tavio$' 2>/dev/null | head -1)
    [ -n "$w" ] || fail "no window titled Tavio appeared"
    echo "$w"
}

# wait_exit SECONDS: waits for the show to end; sets SHOW_STATUS, or fails on timeout.
wait_exit() {
    local limit=$(( $1 * 10 )) i=0
    while kill -0 "$SHOW_PID" 2>/dev/null; do
        i=$((i + 1))
        if [ $i -ge $limit ]; then
            kill -9 "$SHOW_PID" 2>/dev/null
            fail "the show did not end within $1 s"
        fi
        sleep 0.1
    done
    wait "$SHOW_PID"
    SHOW_STATUS=$?
}

still_running() {
    kill -0 "$SHOW_PID" 2>/dev/null
}
