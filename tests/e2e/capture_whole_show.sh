#!/bin/bash
# A whole show captured at a small size runs clean to its end: under the sanitizers
# (scripts/test --sanitize) this drives every scene, effect and the synthesizer once.
. "$(dirname "$0")/lib/common.bash"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$TAVIO_BIN/tavio-capture" --size 64x48 --stats "$dir/stats.csv" --wav "$dir/show.wav" \
    >"$dir/out" 2>"$dir/err" || { tail -30 "$dir/err"; fail "the capture failed"; }
if grep -Eq "runtime error|AddressSanitizer|LeakSanitizer" "$dir/err"; then
    grep -E -A20 "runtime error|Sanitizer" "$dir/err" | head -60
    fail "a sanitizer reported a fault"
fi
last_beat=$(tail -1 "$dir/stats.csv" | cut -d, -f3)
awk -v b="$last_beat" 'BEGIN { exit !(b >= 72.9 && b < 73.1) }' || fail "the capture ended at beat $last_beat"
echo "ok: whole show at 64x48, $(( $(wc -l <"$dir/stats.csv") - 1 )) frames"
