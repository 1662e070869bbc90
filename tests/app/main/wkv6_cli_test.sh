#!/bin/sh
# The program run from the command line as a user runs it: no display, nothing on standard
# input, a home of its own and a fresh folder with the golden connection. Each case checks the
# exit code and what the run leaves behind.
# Usage: wkv6_cli_test.sh <wkv6> <source root>
set -u
wkv6=$1
src=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A fresh folder with the connection, a file cut inside its geometry and a folder named as a file.
fresh() {
  dir=$(mktemp -d "$root/run.XXXXXX")
  cp "$src/tests/calc/golden/p3g60.kv6" "$dir/"
  head -n 12 "$dir/p3g60.kv6" > "$dir/cut.kv6"
  mkdir "$dir/folder.kv6"
  sed '0,/^60\.0000000\r$/s//0\r/' "$dir/p3g60.kv6" > "$dir/zero.kv6"
  echo "$dir"
}

# The program's data home, and a command the program is run through (split into words): both
# changed only by the cases that need them.
data_home="$root/data"
through=""

# Runs wkv6 in the working folder $1 with the other arguments; its output goes to $dir.
run_in() {
  work=$1
  shift
  # shellcheck disable=SC2086
  (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$root/home" \
    XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$data_home" XDG_RUNTIME_DIR="$root/run" \
    TMPDIR="$root/tmp" timeout 20 $through "$wkv6" "$@" < /dev/null > "$dir/stdout" 2> "$dir/stderr")
}

run() {
  run_in "$dir" "$@"
}

expect_exit() {
  want=$1
  shift
  run "$@"
  got=$?
  [ "$got" -eq "$want" ] || fail "wkv6 $* exited $got, not $want: $(cat "$dir/stderr")"
}

mkdir -p "$root/home" "$root/config" "$root/data" "$root/tmp"
mkdir -m 700 "$root/run"

# The report: Sp and Se of the example, nothing on standard error.
dir=$(fresh)
expect_exit 0 p3g60.kv6 /I
[ -s "$dir/stderr" ] && fail "/I wrote to standard error: $(cat "$dir/stderr")"
# Reports are compared without their first two lines: the minute of the run and a temporary name.
sed 1,2d "$dir/p3g60.txt" > "$root/with_proc.txt"
grep -q "Sp=paadm/pmax.*10\.76" "$dir/p3g60.txt" || fail "/I: no Sp of 10.76"
grep -q "Se=fW\*Re/Sig\.v.*6\.06" "$dir/p3g60.txt" || fail "/I: no Se of 6.06"

# The full path from an empty folder.
dir=$(mktemp -d "$root/empty.XXXXXX")
expect_exit 0 "$src/tests/calc/golden/p3g60.kv6" /I
[ -s "$dir/p3g60.txt" ] || fail "/I with a full path left no p3g60.txt in the working folder"

# Drawing 1 as DXF, byte for byte.
dir=$(fresh)
expect_exit 0 p3g60.kv6 /CAD1:1
cmp -s "$dir/p3g60.dxf" "$src/tests/cad/data/p3g60_drawing1.dxf" || fail "/CAD1:1: not the drawing"

for mode in /CAD7:1 /CAD2:1 /CAD6:9 /CAD5:6; do
  dir=$(fresh)
  expect_exit 0 p3g60.kv6 $mode
  [ -n "$(find "$dir" -name 'p3g60.*' ! -name '*.kv6' -size +0)" ] || fail "$mode wrote no file"
done

# The plot program's file is written, but the configured program does not exist.
dir=$(fresh)
expect_exit 1 p3g60.kv6 /CAD4:1
grep -q "file not found: .*WPENWERK" "$dir/stderr" ||
  fail "/CAD4:1 did not name the plot program it missed: $(cat "$dir/stderr")"
find "$root/run" -iname 'penwerk*.dxf' -size +0 | grep -q . || fail "/CAD4:1 wrote no penwerk.dxf"

# Failures leave no output file.
for args in "missing.kv6 /I" "cut.kv6 /I" "folder.kv6 /I" "zero.kv6 /I" "cut.kv6 /CAD1:1" \
            "p3g60.kv6 /CAD1:0" "p3g60.kv6 /CAD1:13" "p3g60.kv6 /CADx:1" "p3g60.kv6 /CAD12:3" \
            "p3g60.kv6 /CAD3:1"; do
  dir=$(fresh)
  # shellcheck disable=SC2086
  expect_exit 1 $args
  left=$(find "$dir" -maxdepth 1 -type f ! -name '*.kv6' ! -name stdout ! -name stderr)
  [ -z "$left" ] || fail "wkv6 $args left $left"
done

# A name with letters the program cannot keep says so in the terminal's own characters.
dir=$(fresh)
cp "$dir/p3g60.kv6" "$dir/Nabe č 轴.kv6"
expect_exit 1 "Nabe č 轴.kv6" /I
grep -qF "Nabe č 轴.kv6: the name holds letters KV6 cannot use: č 轴" "$dir/stderr" ||
  fail "/I of a name KV6 cannot use said: $(cat "$dir/stderr")"

# Each failure says what failed: the screen needs the window; a data folder that cannot be made
# (a file stands in its way) fails the run before its output, so earlier outputs stay as they were.
dir=$(fresh)
expect_exit 1 p3g60.kv6 /CAD3:1
grep -q "CAD type 3 (screen) .*window" "$dir/stderr" || fail "/CAD3:1 said nothing of the window"
dir=$(fresh)
data_home="$root/blocked"
mkdir -p "$data_home/brelcor" && : > "$data_home/brelcor/kv6"
printf 'earlier\r\n' > "$dir/p3g60.txt" && cp "$dir/p3g60.txt" "$dir/p3g60.dxf"
for mode in /I /CAD1:1; do
  expect_exit 1 p3g60.kv6 $mode
  grep -q "cannot make the data folder $data_home/brelcor/kv6" "$dir/stderr" ||
    fail "$mode: a data folder that cannot be made went without a word: $(cat "$dir/stderr")"
  cmp -s "$dir/p3g60.txt" "$dir/p3g60.dxf" || fail "$mode without its data folder wrote its output"
done
data_home="$root/data"

# A CAD type the command line does not know: one line that names the seven there are.
for mode in /CAD0:1 /CAD9:1; do
  dir=$(fresh)
  expect_exit 1 p3g60.kv6 $mode
  [ "$(wc -l < "$dir/stderr")" -eq 1 ] && grep -q "1 DXF, 2 IGES, .*7 STEP" "$dir/stderr" ||
    fail "$mode did not name the CAD types in one line: $(cat "$dir/stderr")"
done

# A report or drawing that cannot be written says which file and why, and exits 1.
expect_unwritten() {
  why=$1
  shift
  run_in "$@"
  got=$?
  case "$*" in *CAD1:1) out=dxf ;; *) out=txt ;; esac
  [ "$got" -eq 1 ] || fail "unwritable $out ($why) exited $got: $(cat "$dir/stderr")"
  grep -q "p3g60\.$out: $why" "$dir/stderr" ||
    fail "unwritable $out: not \"$why\": $(cat "$dir/stderr")"
}

# A full disk: the output's name leads to /dev/full.
for mode in /I /CAD1:1; do
  dir=$(fresh)
  ln -s /dev/full "$dir/p3g60.txt"
  ln -s /dev/full "$dir/p3g60.dxf"
  expect_unwritten "disk full" "$dir" p3g60.kv6 $mode
done

# A full file system of its own (where a mount is permitted) as the working folder.
dir=$(fresh)
mkdir "$dir/full"
# shellcheck disable=SC2016
# shellcheck disable=SC2016
printf '%s\n' 'mount -t tmpfs -o size=16k tmpfs "$PWD" || exit 125' \
  'cd "$PWD" && (cat /dev/zero > filler) 2> /dev/null' 'exec "$@"' > "$root/onfull.sh"
if (cd "$dir/full" && unshare -m sh "$root/onfull.sh" true) 2> /dev/null; then
  through="unshare -m sh $root/onfull.sh"
  for mode in /I /CAD1:1; do
    expect_unwritten "disk full" "$dir/full" "$dir/p3g60.kv6" $mode
  done
  through=""
  # The same over an earlier output: it stays byte for byte, nothing is left beside it, and the
  # run names the file and exits 1. The folder's names and the output are copied out after it.
  # shellcheck disable=SC2016
  # shellcheck disable=SC2016
printf '%s\n' 'mount -t tmpfs -o size=16k tmpfs "$PWD" || exit 125' \
    'cd "$PWD" && printf "earlier\r\n" > "$KEEP" && (cat /dev/zero > filler) 2> /dev/null' \
    '"$@"; rc=$?' 'ls -A > ../left; cp "$KEEP" ../kept; exit $rc' > "$root/onfullover.sh"
  through="unshare -m sh $root/onfullover.sh"
  for mode in "/I txt" "/CAD1:1 dxf" "/CAD6:9 stl" "/CAD5:6 txt"; do
    dir=$(fresh)
    mkdir "$dir/full"
    KEEP=p3g60.${mode#* }
    export KEEP
    run_in "$dir/full" "$dir/p3g60.kv6" ${mode% *}
    got=$?
    [ "$got" -eq 1 ] || fail "$mode onto a full disk exited $got: $(cat "$dir/stderr")"
    grep -q "p3g60\.${mode#* }" "$dir/stderr" ||
      fail "$mode onto a full disk did not name its file: $(cat "$dir/stderr")"
    [ "$(printf 'earlier\r\n')" = "$(cat "$dir/kept")" ] || fail "$mode lost the earlier output"
    [ "$(cat "$dir/left")" = "$(printf 'filler\n%s' "$KEEP")" ] ||
      fail "$mode left $(cat "$dir/left")"
  done
  through=""
else
  echo "SKIP: no file system of its own may be mounted here"
fi

# Without /proc (hidden in a mount namespace, where one may be made) "wkv6" is started with a PATH
# by its path, which the kernel keeps, or (fd) from an open file, which leaves only PATH to find
# it: through a link, or past a folder wkv6 beside an empty "data", it writes the report written
# with /proc (its exit code is a sanitizer build's leak check's, which needs /proc); not found, it
# says so and writes nothing.
# shellcheck disable=SC2016
printf '%s\n' 'mount -t tmpfs tmpfs /proc && PATH=$1 exec /usr/bin/python3 -c "import os, sys; f = sys.argv[3]
os.execve(os.open(f, os.O_RDONLY) if sys.argv[2] == \"fd\" else f, [\"wkv6\"] + sys.argv[4:], os.environ)" "$@"' > "$root/noproc.sh"
mkdir -p "$root/bin" "$root/trap/wkv6" "$root/trap/data" && ln -s "$wkv6" "$root/bin/wkv6"
for start in $(unshare -m sh -c 'mount -t tmpfs tmpfs /proc && echo bin:path:written none:path:written bin:fd:written trap+bin:fd:written none:fd:refused' 2> /dev/null); do
  # shellcheck disable=SC2046
  set -- $(echo "$start" | tr : ' ')
  through="unshare -m sh $root/noproc.sh $root/$(echo "$1" | sed "s|+|:$root/|g") $2"
  dir=$(fresh) data_home=$(mktemp -d "$root/d.XXXXXX")
  run p3g60.kv6 /I
  case $3:$? in
    refused:1) grep -q "own files .*not found" "$dir/stderr" && [ ! -e "$dir/p3g60.txt" ] ;;
    written:*) sed 1,2d "$dir/p3g60.txt" | cmp -s - "$root/with_proc.txt" ;;
    *) false ;;
  esac || fail "without /proc, wkv6 started by $2 with $1 on PATH: $(cat "$dir/stderr")"
done
through="" data_home="$root/data"

# Root writes into a read-only folder and reads an unreadable one; without that power it cannot.
if [ "$(id -u)" -eq 0 ]; then
  through="setpriv --bounding-set -dac_override,-dac_read_search --inh-caps -dac_override,-dac_read_search"
  $through true 2> /dev/null || through=""
fi

# A read-only working folder.
dir=$(fresh)
mkdir "$dir/ro"
chmod 555 "$dir/ro"
# shellcheck disable=SC2086,SC2016
if ! $through sh -c ': > "$1/probe"' sh "$dir/ro" 2> /dev/null; then
  for mode in /I /CAD1:1; do
    expect_unwritten "access denied" "$dir/ro" "$dir/p3g60.kv6" $mode
  done
else
  echo "SKIP: a read-only folder takes files here"
fi

# An earlier output the user may not write stays as it was, refused as the window refuses it.
for out in txt dxf; do
  dir=$(fresh)
  printf 'earlier\r\n' > "$dir/p3g60.$out" && chmod 444 "$dir/p3g60.$out"
  # shellcheck disable=SC2086,SC2016
  if $through sh -c ': >> "$1"' sh "$dir/p3g60.$out" 2> /dev/null; then
    echo "SKIP: a read-only file takes writes here" && continue
  fi
  if [ $out = txt ]; then expect_exit 1 p3g60.kv6 /I; else expect_exit 1 p3g60.kv6 /CAD1:1; fi
  grep -q "p3g60\.$out\" cannot be written (read-only)" "$dir/stderr" ||
    fail "a read-only $out: not refused as read-only: $(cat "$dir/stderr")"
  [ "$(cat "$dir/p3g60.$out")" = "$(printf 'earlier\r\n')" ] || fail "a read-only $out replaced"
done

# An unreadable data folder: the run says so and exits 1 before its report, which would lack the
# message texts.
dir=$(fresh)
data_home="$root/unreadable"
mkdir -p "$data_home/brelcor/kv6"
chmod 000 "$data_home/brelcor/kv6"
# shellcheck disable=SC2086
if ! $through ls "$data_home/brelcor/kv6" > /dev/null 2>&1; then
  expect_exit 1 p3g60.kv6 /I
  grep -q "cannot copy the program's files" "$dir/stderr" ||
    fail "an unreadable data folder went without a word: $(cat "$dir/stderr")"
  [ ! -e "$dir/p3g60.txt" ] || fail "an unreadable data folder let the report be written"
else
  echo "SKIP: an unreadable folder can be read here"
fi
chmod 755 "$data_home/brelcor/kv6"
data_home="$root/data"
through=""

# Another member of the group writes the report and the drawing over the owner's files in the
# group's folder: both are written, stay the owner's, and the owner may still write them.
if [ "$(id -u)" -eq 0 ] && setpriv --reuid=65534 --regid=65534 --groups=4242 true 2> /dev/null; then
  dir=$(fresh) mine=$(mktemp -d "$root/member.XXXXXX")
  mkdir "$mine/tmp" "$mine/data" && mkdir -m 700 "$mine/run" && chown -R 65534 "$mine"
  chmod 711 "$root" && chgrp 4242 "$dir" && chmod 2775 "$dir"
  for out in txt dxf; do
    printf 'earlier\r\n' > "$dir/p3g60.$out" && chown 1:4242 "$dir/p3g60.$out"
    chmod 664 "$dir/p3g60.$out"
  done
  data_home="$mine/data"
  through="setpriv --reuid=65534 --regid=65534 --groups=4242 env TMPDIR=$mine/tmp"
  through="$through XDG_RUNTIME_DIR=$mine/run"
  for mode in "/I txt" "/CAD1:1 dxf"; do
    out=$dir/p3g60.${mode#* }
    expect_exit 0 p3g60.kv6 "${mode% *}"
    # shellcheck disable=SC2015,SC2016
    [ "$(stat -c %u:%g:%a "$out")" = 1:4242:664 ] && ! grep -q earlier "$out" &&
      setpriv --reuid=1 --regid=1 --clear-groups sh -c ': >> "$1"' sh "$out" ||
      fail "${mode% *} by another member of the group: $(stat -c %u:%g:%a "$out")"
  done
  through="" data_home="$root/data"
  chmod 700 "$root"
fi

# The usage: eleven lines on standard output.
for first in "?" "/?"; do
  dir=$(fresh)
  expect_exit 0 "$first" whatever
  [ "$(grep -c . "$dir/stdout")" -eq 11 ] || fail "$first: not the 11 usage lines"
  head -n 1 "$dir/stdout" | grep -q "^KV6 Command Line Mode$" || fail "$first: no usage title"
done

# No command-line run keeps settings.
find "$root" -name 'kv6.cf?' | grep -q . && fail "a command-line run wrote a configuration file"

# Eight reports at once, sharing one temporary folder: eight correct reports. Each names in its
# second line the temporary file it was made through, which another run may take after it.
dir=$(fresh)
for n in 1 2 3 4 5 6 7 8; do
  mkdir "$dir/p$n" && cp "$dir/p3g60.kv6" "$dir/p$n/"
done
for n in 1 2 3 4 5 6 7 8; do
  (cd "$dir/p$n" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$root/home" \
    XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data" XDG_RUNTIME_DIR="$root/run" \
    TMPDIR="$root/tmp" timeout 20 "$wkv6" p3g60.kv6 /I < /dev/null > out 2>&1; echo $? > rc) &
done
wait
for n in 1 2 3 4 5 6 7 8; do
  [ "$(cat "$dir/p$n/rc")" = 0 ] || fail "parallel report $n exited $(cat "$dir/p$n/rc")"
  sed 1,2d "$dir/p$n/p3g60.txt" | cmp -s - "$dir/p1/p3g60.txt.body" 2> /dev/null ||
    { [ "$n" -eq 1 ] && sed 1,2d "$dir/p1/p3g60.txt" > "$dir/p1/p3g60.txt.body"; } ||
    fail "parallel report $n differs"
done
grep -q "Sp=paadm/pmax.*10\.76" "$dir/p1/p3g60.txt" || fail "parallel report without its Sp"

[ "$failures" -eq 0 ] && echo "all command-line runs as expected"
exit "$failures"
