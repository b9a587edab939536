#!/bin/bash
# tavio-model: import, info and export of the figures and a small model; bad files and bad arguments.
. "$(dirname "$0")/lib/common.bash"
tool="$TAVIO_BIN/tavio-model"
fixtures="$TAVIO_SRC/tests/fixtures"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$tool" --help | grep -q "^usage: tavio-model import" || fail "--help prints no usage"

# The figures' sources import to dumps whose listing shows their hinges and lights.
cd "$tmp"  # the library is found beside the OBJ file, not in the current directory
"$tool" import "$TAVIO_SRC/data/walker.obj" -o walker.dump || fail "import of walker.obj failed"
info=$("$tool" info walker.dump) || fail "info on the walker dump failed"
grep -q "^scale 3596$" <<<"$info" || fail "walker scale: $info"
grep -Eq "^  pivot_larm +1\.682[34] 2\.375[01] 0\.0000; 1\.964[34] 0\.37(59|60) 0\.0000$" <<<"$info" \
    || fail "walker pivot_larm: $info"
grep -Eq "^  0: point2 " <<<"$info" || fail "light 0 is not point2: $info"
grep -Eq "^  1: point1 " <<<"$info" || fail "light 1 is not point1: $info"
grep -Eq "^  rarm +part +on pivot_rarm$" <<<"$info" || fail "rarm not on its hinge: $info"
cmp -s walker.dump "$TAVIO_BIN/models/walker.dump" || fail "the tool's dump differs from the embedded one"
"$tool" info "$TAVIO_SRC/data/serf.obj" | grep -q "^vertices .*materials 5, objects 3" || fail "info on serf.obj"

# A dump exported to OBJ/MTL imports to the same dump.
"$tool" export walker.dump -o copy.obj || fail "export failed"
[ -s copy.mtl ] || fail "export wrote no MTL beside the OBJ"
"$tool" import copy.obj -o copy.dump || fail "import of the export failed"
cmp -s walker.dump copy.dump || fail "export and import changed the dump"

# A bad file: FILE:LINE: reason on stderr, status 1, nothing written.
printf 'v 0 0 0\nmtllib nowhere.mtl\n' >bad.obj
err=$("$tool" import bad.obj -o bad.dump 2>&1); status=$?
[ $status -eq 1 ] || fail "bad OBJ: status $status"
grep -q "^bad.obj:2: cannot open material library 'nowhere.mtl'" <<<"$err" || fail "bad OBJ message: $err"
[ ! -e bad.dump ] || fail "a dump was written for a bad OBJ"
printf 'newmtl red\nKd 1 x 0\n' >bad.mtl
err=$("$tool" import "$fixtures/hinge.obj" --mtl bad.mtl -o bad.dump 2>&1); status=$?
[ $status -eq 1 ] && grep -q "^bad.mtl:2: Kd needs three numbers" <<<"$err" || fail "bad MTL: $status $err"
head -c 100 walker.dump >cut.dump
err=$("$tool" info cut.dump 2>&1); status=$?
[ $status -eq 1 ] && grep -q "^cut.dump:[0-9]*: .*truncated" <<<"$err" || fail "truncated dump: $status $err"
err=$("$tool" export cut.dump -o cut.obj 2>&1); status=$?
[ $status -eq 1 ] && [ ! -e cut.obj ] && [ ! -e cut.mtl ] || fail "export of a bad dump: $status $err"

# Bad arguments: the usage and status 2.
for args in "" "import" "import x.obj" "frobnicate x" "info a b" "import x.obj -o" "info x --bogus"; do
    # shellcheck disable=SC2086
    err=$("$tool" $args 2>&1); status=$?
    [ $status -eq 2 ] || fail "arguments '$args': status $status"
    grep -q "^usage: tavio-model" <<<"$err" || fail "arguments '$args': no usage"
done
echo "ok: tavio-model import, info, export and its errors"
