#!/bin/bash
# tavio-capture: option errors, determinism, the range rule, and sound in lockstep with frames.
. "$(dirname "$0")/lib/common.bash"
cap="$TAVIO_BIN/tavio-capture"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# Bad options print the usage and exit 2; outputs that cannot be written exit 1.
while IFS='|' read -r want args; do
    # shellcheck disable=SC2086
    "$cap" $args >"$dir/out" 2>&1
    got=$?
    [ "$got" -eq "$want" ] || { cat "$dir/out"; fail "'$args': exit $got, expected $want"; }
    [ "$want" -ne 2 ] || grep -q "^usage: tavio-capture" "$dir/out" || fail "'$args': no usage"
done <<CASES
2|--fps 0
2|--fps sixty
2|--size 1024
2|--size 8x8
2|--from -1
2|--from 2 --to 1
2|--supersample 9
2|--bogus
2|--png
2|stray
1|--wav /nonexistent/dir/x.wav --to 0.1
1|--sheet $dir --to 0.1
CASES
[ ! -e "$dir/x.wav" ] || fail "a failed run left a file behind"
"$cap" --help | grep -q "^usage: tavio-capture" || fail "--help"

# Two captures of the same range are byte-identical, and a frame comes out the same
# whether the capture started at the show's start or later.
"$cap" --size 64x48 --from 0 --to 2.6 --png "$dir/a" --wav "$dir/a.wav" >/dev/null 2>&1 || fail "capture a"
"$cap" --size 64x48 --from 2 --to 2.6 --png "$dir/b" --wav "$dir/b.wav" >/dev/null 2>&1 || fail "capture b"
"$cap" --size 64x48 --from 2 --to 2.6 --png "$dir/c" --wav "$dir/c.wav" >/dev/null 2>&1 || fail "capture c"
n=$(ls "$dir/b" | wc -l)
[ "$n" -gt 30 ] || fail "range 2 to 2.6 gave $n frames"
for f in "$dir"/b/*.png; do
    name=$(basename "$f")
    cmp -s "$f" "$dir/c/$name" || fail "$name differs between two identical captures"
    cmp -s "$f" "$dir/a/$name" || fail "$name differs between captures started at 0 and at 2"
done
cmp -s "$dir/b.wav" "$dir/c.wav" || fail "the WAVs of two identical captures differ"
first=$(ls "$dir/b" | head -1)
[ "$first" = "000231.png" ] || fail "the first frame of beat 2 at 60 fps is $first, expected 000231.png"
echo "ok: determinism and the range rule"

# Sound in lockstep over a whole show: after K frames exactly floor(K * 44100 / fps)
# audio frames, at a whole and at a fractional number of audio frames per video frame.
for fps in 60 24; do
    "$cap" --size 16x16 --fps $fps --wav "$dir/s$fps.wav" --stats "$dir/s$fps.csv" >/dev/null 2>&1 \
        || fail "whole-show capture at $fps fps"
    frames=$(( $(wc -l <"$dir/s$fps.csv") - 1 ))
    audio=$(( ($(stat -c %s "$dir/s$fps.wav") - 44) / 4 ))
    [ "$audio" -eq $(( frames * 44100 / fps )) ] || fail "$fps fps: $frames frames but $audio audio frames"
    last_beat=$(tail -1 "$dir/s$fps.csv" | cut -d, -f3)
    awk -v b="$last_beat" 'BEGIN { exit !(b >= 72.9 && b < 73.1) }' || fail "$fps fps: the capture ended at beat $last_beat"
    echo "ok: $fps fps, $frames frames, $audio audio frames"
done

# A video with its sound, made only when complete.
if command -v ffmpeg >/dev/null; then
    "$cap" --size 64x48 --to 0.5 --video "$dir/v.mp4" >/dev/null 2>&1 || fail "video capture"
    streams=$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$dir/v.mp4" | sort | tr '\n' ' ')
    [ "$streams" = "aac h264 " ] || fail "the video holds '$streams'"
    ls "$dir" | grep -q part && fail "temporary files left behind"
    echo "ok: video"
fi
