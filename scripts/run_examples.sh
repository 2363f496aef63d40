#!/usr/bin/env bash
# Builds the program and compares the two sample surveys in examples/,
# writing build/example-run/compare.out, compare.stt and compare.msg.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install_deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build build/release --target tessovane2 >/dev/null

mkdir -p build/example-run
cp examples/*.hz build/example-run/
cd build/example-run
rm -f compare.out compare.stt compare.msg
status=0
../release/src/tessovane2 old.hz new.hz compare 0.05 4 S || status=$?
echo
echo "Written in build/example-run/: compare.out (report), compare.stt (statistics)" \
     "and compare.msg (messages, kept only when there are warnings)"
exit $status
