#!/usr/bin/env bash
# Counts the instructions (callgrind, user space) of one whole run by PID on
# a generated 2 x N-station survey pair, for the sources in a given folder.
# Used to decide whether a speed device earns its place: build the tree with
# and without the device, compare the two counts.
#
#   bench/instructions.sh [--source DIR] [--build DIR] [--stations N]
#
# DIR defaults to this checkout; N to 200000. Prints "instructions N".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source=$root
build=
stations=200000
while [ $# -gt 0 ]; do
  case "$1" in
    --source) source=$(cd "$2" && pwd); shift ;;
    --build) build=$2; shift ;;
    --stations) stations=$2; shift ;;
    *) echo "usage: $0 [--source DIR] [--build DIR] [--stations N]" >&2; exit 2 ;;
  esac
  shift
done
[ -n "$build" ] || build=$source/build/instructions
mkdir -p "$build" && build=$(cd "$build" && pwd)
data=$root/build/bench-data/s$stations
[ -f "$data/new.hz" ] || python3 "$root/bench/generate_survey.py" "$stations" "$data"

cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target tessovane2 >/dev/null

run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cp "$data/old.hz" "$data/new.hz" "$run/"
cd "$run"
valgrind --tool=callgrind --callgrind-out-file=callgrind.out "$build/bin/tessovane2" \
  old.hz new.hz run 0.05 5 P >/dev/null 2>&1
echo "instructions $(sed -n 's/^summary: //p' callgrind.out)"
