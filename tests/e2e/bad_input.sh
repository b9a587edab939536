#!/bin/bash
# Bad input to the show and the tools: each case gives one clear line on stderr, the
# expected non-zero status, and leaves no output behind (not even a temporary file).
. "$(dirname "$0")/lib/common.bash"
tmp=$(mktemp -d)
trap 'chmod -R u+rwx "$tmp"; rm -rf "$tmp"' EXIT
cd "$tmp"
bin=$TAVIO_BIN
fixtures=$TAVIO_SRC/tests/fixtures

# Inputs: a good song, model and dump; empty files; files just over each limit (sparse);
# a directory; an unreadable file (only unreadable when not running as root).
printf 'bpm:125\ni1:saha,1,2,3,400,0\np1:c5,0,e5\nt1:p1\n' >good.txt
cp "$fixtures/hinge.obj" "$fixtures/hinge.mtl" .
"$bin/tavio-model" import hinge.obj -o good.dump || fail "cannot make the good dump"
: >empty.txt; : >empty.obj; : >empty.mtl; : >empty.dump
truncate -s $(( (16 << 20) + 1 )) huge.txt
truncate -s $(( (64 << 20) + 1 )) huge.obj
truncate -s $(( (64 << 20) + 1 )) huge.dump
cp hinge.mtl huge.mtl && truncate -s $(( (64 << 20) + 1 )) huge.mtl
mkdir adir adir.obj adir.dump outdir
mkdir mtl-is-dir && mkdir mtl-is-dir/out.mtl
cp good.txt locked.txt && chmod 000 locked.txt
locked_readable=0
[ -r locked.txt ] && locked_readable=1   # root reads anything

# status | stderr pattern (grep -E, one line) | output that must not exist | command...
cases=(
  "1|^tavio: window size 0x480 is not possible|-|$bin/tavio -w 0 480"
  "1|^tavio: window size 640x0 is not possible|-|$bin/tavio -w 640 0"
  "1|^tavio: window size -640x480 is not possible|-|$bin/tavio -w -640 480"
  "1|^tavio: window size 640x-1 is not possible|-|$bin/tavio 640 -1"
  "1|^tavio: window size 16385x480 is not possible|-|$bin/tavio -w 16385 480"
  "1|^tavio: window size 640x2147483647 is not possible|-|$bin/tavio -w 640 99999999999999"
  "1|^tavio: window size 600x0 is not possible|-|$bin/tavio 800 600 -a"
  "1|^tavio: window size 0x0 is not possible|-|$bin/tavio -w wide tall"

  "1|^missing.txt: cannot open: No such file|out.wav|$bin/tavio-song missing.txt -o out.wav"
  "1|^adir: is a directory, not a file$|out.wav|$bin/tavio-song adir -o out.wav"
  "1|^empty.txt: the file is empty$|out.wav|$bin/tavio-song empty.txt -o out.wav"
  "1|^huge.txt: the file is 16777217 bytes; a song is at most 16777216$|out.wav|$bin/tavio-song huge.txt -o out.wav"
  "1|^tavio-song: nodir/out.wav: cannot create: No such file|nodir/out.wav|$bin/tavio-song good.txt -o nodir/out.wav"
  "1|^tavio-song: outdir: cannot write: Is a directory|outdir/x|$bin/tavio-song good.txt -o outdir"

  "1|^missing.obj: cannot open the file: No such file|out.dump|$bin/tavio-model import missing.obj -o out.dump"
  "1|^adir.obj: is a directory, not a file$|out.dump|$bin/tavio-model import adir.obj -o out.dump"
  "1|^empty.obj: the file is empty$|out.dump|$bin/tavio-model import empty.obj -o out.dump"
  "1|^huge.obj: the file is 67108865 bytes; at most 67108864 are read$|out.dump|$bin/tavio-model import huge.obj -o out.dump"
  "1|^empty.mtl: the file is empty$|out.dump|$bin/tavio-model import hinge.obj --mtl empty.mtl -o out.dump"
  "1|^adir: is a directory, not a file$|out.dump|$bin/tavio-model import hinge.obj --mtl adir -o out.dump"
  "1|^huge.mtl: the file is 67108865 bytes|out.dump|$bin/tavio-model import hinge.obj --mtl huge.mtl -o out.dump"
  "1|^hinge.obj: cannot write 'nodir/out.dump': No such file|nodir/out.dump|$bin/tavio-model import hinge.obj -o nodir/out.dump"
  "1|^hinge.obj: cannot write 'outdir': Is a directory|outdir/x|$bin/tavio-model import hinge.obj -o outdir"
  "1|^adir.dump: is a directory, not a file$|-|$bin/tavio-model info adir.dump"
  "1|^empty.dump: the file is empty$|-|$bin/tavio-model info empty.dump"
  "1|^huge.dump: the file is 67108865 bytes|-|$bin/tavio-model info huge.dump"
  "1|^empty.obj: the file is empty$|-|$bin/tavio-model info empty.obj"
  "1|^empty.dump: the file is empty$|out.obj|$bin/tavio-model export empty.dump -o out.obj"
  "1|^outdir: cannot write 'outdir': it is a directory|outdir.mtl|$bin/tavio-model export good.dump -o outdir"
  "1|^mtl-is-dir/out.obj: cannot write 'mtl-is-dir/out.mtl': it is a directory|mtl-is-dir/out.obj|$bin/tavio-model export good.dump -o mtl-is-dir/out.obj"
  "1|^nodir/out.obj: cannot write 'nodir/out.mtl': No such file|nodir/out.obj|$bin/tavio-model export good.dump -o nodir/out.obj"

  "1|^tavio-capture: outdir: is a directory, not a file$|-|$bin/tavio-capture --size 64x48 --stats outdir"
  "1|^tavio-capture: nodir/s.csv: cannot write: No such file|nodir/s.csv|$bin/tavio-capture --size 64x48 --stats nodir/s.csv"
  "1|^tavio-capture: good.txt/x: cannot create the directory: Not a directory|-|$bin/tavio-capture --size 64x48 --png good.txt/x"
  "2|^tavio-capture: --size needs WxH with each side from 16 to 8192, not '0x48'|-|$bin/tavio-capture --size 0x48"
  "2|^tavio-capture: --size needs WxH with each side from 16 to 8192, not '99999x48'|-|$bin/tavio-capture --size 99999x48"
)
if [ $locked_readable = 0 ]; then
  cases+=("1|^locked.txt: cannot open: Permission denied$|out.wav|$bin/tavio-song locked.txt -o out.wav")
fi

failures=0
for c in "${cases[@]}"; do
  IFS='|' read -r want pattern left cmd <<<"$c"
  # shellcheck disable=SC2086
  err=$(SDL_AUDIODRIVER=dummy timeout 60 $cmd 2>&1 >/dev/null)
  status=$?
  first=$(head -1 <<<"$err")
  if [ $status -ne "$want" ]; then
    echo "FAIL: $cmd: status $status, expected $want ($err)" >&2; failures=$((failures + 1))
  elif ! grep -Eq -- "$pattern" <<<"$first"; then
    echo "FAIL: $cmd: said '$first', expected /$pattern/" >&2; failures=$((failures + 1))
  elif [ "$want" = 1 ] && [ "$(grep -c . <<<"$err")" -ne 1 ]; then
    echo "FAIL: $cmd: more than one line: $err" >&2; failures=$((failures + 1))
  elif [ "$left" != - ] && [ -e "$left" ]; then
    echo "FAIL: $cmd: left $left behind" >&2; failures=$((failures + 1))
  fi
done
# No temporary or partial file anywhere, and the directories passed as files are untouched.
stray=$(find . -name '*.tmp*' -o -name '*.part' -o -name 'outdir.mtl')
[ -z "$stray" ] || { echo "FAIL: left behind: $stray" >&2; failures=$((failures + 1)); }
[ -z "$(ls -A outdir)" ] || { echo "FAIL: something was written into outdir" >&2; failures=$((failures + 1)); }
[ $locked_readable = 0 ] || echo "note: running as root, the unreadable-file case is skipped"
[ $failures -eq 0 ] || fail "$failures of ${#cases[@]} bad-input cases failed"
echo "ok: ${#cases[@]} bad-input cases"
