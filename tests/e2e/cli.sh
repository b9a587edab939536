#!/bin/bash
# The show's --help, and a failure to open the display reported in one line with status 1.
. "$(dirname "$0")/lib/common.bash"
out=$("$TAVIO_BIN/tavio" --help) || fail "--help exit status $?"
grep -q "^usage: tavio" <<<"$out" || fail "--help prints no usage"
err=$(DISPLAY=:987 SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$TAVIO_BIN/tavio" -w 320 240 2>&1 >/dev/null)
status=$?
[ $status -eq 1 ] || fail "no display: exit status $status, expected 1 ($err)"
grep -q "^tavio: " <<<"$err" || fail "no display: message not prefixed: $err"
echo "ok: --help and the no-display failure"
