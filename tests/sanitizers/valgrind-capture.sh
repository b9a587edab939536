#!/bin/bash
# A short capture under valgrind's memcheck: the first beats of the show at a small size
# with sound. Errors inside Mesa's software renderer are suppressed (valgrind.supp); any
# other error, or a definite leak, makes the exit status 1.
#   tests/sanitizers/valgrind-capture.sh [BUILD-DIR [TO-BEAT]]   (build/, 1.5)
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
build=${1:-$here/build}
to=${2:-1.5}
command -v valgrind >/dev/null || { echo "valgrind is not installed (apt-get install valgrind)" >&2; exit 2; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
status=0
# One llvmpipe thread: the JIT's worker threads add nothing to check and much time.
LP_NUM_THREADS=0 valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
    --errors-for-leak-kinds=definite --show-leak-kinds=definite \
    --suppressions="$here/tests/sanitizers/valgrind.supp" --num-callers=30 \
    "$build/tavio-capture" --size 64x48 --to "$to" --stats "$dir/stats.csv" --wav "$dir/show.wav" \
    >"$dir/out" 2>"$dir/log" || status=$?
grep -E "ERROR SUMMARY|definitely lost|indirectly lost|possibly lost" "$dir/log" || true
frames=$(( $(wc -l <"$dir/stats.csv" 2>/dev/null || echo 1) - 1 ))
echo "valgrind-capture: exit status $status, $frames frames"
if [ $status -ne 0 ]; then
    grep -v "^==[0-9]*== *$" "$dir/log" | grep -B2 -A30 "^==[0-9]*== [A-Z][a-z]*.*\(Invalid\|uninitialised\|definitely\|Mismatched\|overlap\)" | head -200
    exit 1
fi
