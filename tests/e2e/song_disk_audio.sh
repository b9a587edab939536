#!/bin/bash
# The show plays its song through SDL's disk audio driver, ends by itself after
# beat 72 with status 0, and what the audio callback wrote equals tavio-song's render.
# The audio thread runs as fast as it can, or in real time when TAVIO_REALTIME is set.
. "$(dirname "$0")/lib/common.bash"
run_in_xvfb "$@"
dir=$(mktemp -d)
trap 'rm -rf "$dir"; kill -9 ${SHOW_PID:-0} 2>/dev/null' EXIT
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/show.raw" SDL_DISKAUDIODELAY=0
limit_s=120
if [ -n "${TAVIO_REALTIME:-}" ]; then
    unset SDL_DISKAUDIODELAY
    limit_s=240
fi

start_show "$dir/show.log" -w 320 240
wait_exit $limit_s
[ "$SHOW_STATUS" -eq 0 ] || { cat "$dir/show.log"; fail "exit status $SHOW_STATUS"; }

# first_sound FILE: the offset of the first non-zero byte.
first_sound() {
    local at
    at=$(cmp "$1" /dev/zero 2>/dev/null | sed -n 's/.*differ: byte \([0-9]*\).*/\1/p')
    [ -n "$at" ] || fail "$1 is all silence"
    echo $((at - 1))
}

# The file holds raw big-endian stereo frames. While the device is paused during
# start-up the driver writes whole buffers of silence (1024 frames, 4096 bytes);
# the callback's output follows them.
"$TAVIO_BIN/tavio-song" -o "$dir/song.wav" 2>"$dir/song.log" || { cat "$dir/song.log"; fail "tavio-song failed"; }
tail -c +45 "$dir/song.wav" | dd conv=swab status=none >"$dir/song.raw"
lead=$(( $(first_sound "$dir/show.raw") - $(first_sound "$dir/song.raw") ))
[ "$lead" -ge 0 ] && [ $((lead % 4096)) -eq 0 ] || fail "the show's sound starts at byte $lead, not after whole silent buffers"
bytes=$(( $(stat -c %s "$dir/show.raw") - lead ))
frames=$((bytes / 4))

# The show ends in the first frame of beat 73; the audio thread may have run further.
show_end=$((73 * 16 * 5292 + 1))
[ "$frames" -ge "$show_end" ] || fail "the show stopped after $frames frames, before beat 73"
limit=$((600 * 44100))  # tavio-song renders at most 600 seconds
[ "$frames" -le "$limit" ] || frames=$limit
"$TAVIO_BIN/tavio-song" -o "$dir/song.wav" --min-frames "$frames" 2>"$dir/song.log" ||
    { cat "$dir/song.log"; fail "tavio-song failed"; }

# The WAV's samples are little-endian after a 44-byte header: swap each pair of bytes.
tail -c +45 "$dir/song.wav" | dd conv=swab status=none | head -c $((frames * 4)) >"$dir/song.raw"
[ "$(stat -c %s "$dir/song.raw")" -eq $((frames * 4)) ] || fail "the render is shorter than the show"
cmp "$dir/song.raw" <(tail -c +$((lead + 1)) "$dir/show.raw" | head -c $((frames * 4))) ||
    fail "the show's audio differs from tavio-song's render"
echo "ok: the show played $frames frames of the song, equal to tavio-song's render, and ended"
