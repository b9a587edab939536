#!/bin/bash
# tavio-song: help, argument errors, song errors with file and line, --info, and a
# WAV that is written whole or not at all.
. "$(dirname "$0")/lib/common.bash"
song=$TAVIO_BIN/tavio-song
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

out=$("$song" --help) || fail "--help exit status $?"
grep -q "^usage: tavio-song" <<<"$out" || fail "--help prints no usage"

for args in "--bogus" "-o" "a.txt b.txt" "--min-frames x" "--min-frames -5"; do
    # shellcheck disable=SC2086
    err=$("$song" $args 2>&1 >/dev/null)
    status=$?
    [ $status -eq 2 ] || fail "'$args': exit status $status, expected 2"
    grep -q "^usage: tavio-song" <<<"$err" || fail "'$args': no usage on stderr"
done

printf 'bpm:125\ni1:saha,1,2,3,4,0\np1:c5,vol\nt1:p1\n' >"$dir/bad.txt"
err=$("$song" "$dir/bad.txt" 2>&1)
[ $? -eq 1 ] || fail "bad song: exit status not 1"
[ "$err" = "$dir/bad.txt:3: 'vol' without an argument" ] || fail "bad song said: $err"
err=$("$song" "$dir/missing.txt" -o "$dir/x.wav" 2>&1)
[ $? -eq 1 ] && grep -q "^$dir/missing.txt: cannot open" <<<"$err" || fail "missing song said: $err"
[ ! -e "$dir/x.wav" ] || fail "a WAV was written for a missing song"

info=$("$song" --info) || fail "--info failed"
for want in "tempo: 125 bpm, 5292 frames per row" "track 3: 1024 rows, 144 notes" \
            "track 8: 1152 rows" "song: 1152 rows, 138.24 seconds"; do
    grep -qF "$want" <<<"$info" || fail "--info lacks '$want': $info"
done

# A small song renders until its echo has died away.
printf 'bpm:125\ni1:saha,1,2,300,4000,0,0,50\np1:echo1,c5,e5\nt1:p1\n' >"$dir/small.txt"
"$song" "$dir/small.txt" -o "$dir/small.wav" 2>/dev/null || fail "small song did not render"
[ "$(head -c 4 "$dir/small.wav")" = RIFF ] || fail "no RIFF header"
size=$(stat -c %s "$dir/small.wav")
[ "$size" -gt $((44 + 4 * 3 * 5292)) ] && [ "$size" -lt $((44 + 4 * 44100 * 10)) ] ||
    fail "small song: $size bytes"

# The embedded song lasts to the show's end, about 2 minutes 21 seconds.
"$song" -o "$dir/piisi.wav" 2>"$dir/log" || fail "embedded song did not render"
grep -q "times real time" "$dir/log" || fail "no real-time factor printed"
data=$(( $(stat -c %s "$dir/piisi.wav") - 44 ))
[ $((data / 4)) -ge $((73 * 16 * 5292 + 1)) ] && [ $((data / 4)) -le $((145 * 44100)) ] ||
    fail "embedded song: $((data / 4)) frames"

# Whole or not at all: a target that cannot be replaced leaves no partial file.
mkdir "$dir/adir"
"$song" -o "$dir/adir" 2>/dev/null && fail "writing over a directory succeeded"
[ -z "$(ls "$dir/adir")" ] && [ "$(ls "$dir" | grep -c tmp)" -eq 0 ] || fail "a temporary file was left"
echo "ok: tavio-song help, errors, info and render"
