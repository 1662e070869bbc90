#!/bin/sh
# Start-up of the whole program, timed by hyperfine: the report and the DXF file of the golden
# connection from the command line, and the window with the shipped data to its first paint.
# Each median must stay within its target; a single run (the CI smoke) only has to succeed, since
# one cold run says little about the median. The runs use a home of their own, so the user's
# settings play no part.
# Usage: cli_startup.sh <wkv6> [runs]   (runs: 30 by default)
set -eu
wkv6=$(realpath "$1")
runs=${2:-30}
src=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/run" && chmod 700 "$work/run"
cp "$src/tests/calc/golden/p3g60.kv6" "$work/"
cd "$work"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
export XDG_RUNTIME_DIR="$work/run"
warmup=3
[ "$runs" -le 1 ] && warmup=0

# name, target in milliseconds, command
measure() {
  name=$1
  target=$2
  shift 2
  hyperfine --style basic --shell=none --warmup "$warmup" --runs "$runs" --export-json "$work/$name.json" \
    "$@" > /dev/null
  python3 - "$work/$name.json" "$name" "$target" "$runs" <<'PY'
import json, sys
median = json.load(open(sys.argv[1]))["results"][0]["median"] * 1000
target = float(sys.argv[3])
met = median <= target
print(f"{sys.argv[2]}: median {median:.1f} ms (target {target:.0f} ms): {'met' if met else 'MISSED'}")
sys.exit(0 if met or int(sys.argv[4]) <= 1 else 1)
PY
}

status=0
measure report 10 "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $wkv6 p3g60.kv6 /I" ||
  status=1
measure dxf 10 "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $wkv6 p3g60.kv6 /CAD1:1" ||
  status=1
measure first_paint 500 \
  "env KV6_QUIT_AFTER_FIRST_PAINT=1 QT_QPA_PLATFORM=offscreen $wkv6" || status=1
exit $status
