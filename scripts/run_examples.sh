#!/usr/bin/env bash
# Builds both programs and compares the two sample surveys in examples/:
# tessovane2 writes build/example-run/compare.out, compare.stt and
# compare.msg; tessovane2_shifts writes shifts.csv, shifts.geojson,
# shifts.html (the shift map page) and shifts.svg beside them.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install_deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build build/release --target tessovane2 tessovane2_shifts >/dev/null

mkdir -p build/example-run
cp examples/*.hz build/example-run/
cd build/example-run
rm -f compare.out compare.stt compare.msg shifts.csv shifts.geojson shifts.html shifts.svg
status=0
../release/bin/tessovane2 old.hz new.hz compare 0.05 4 S || status=$?
echo
echo "Written in build/example-run/: compare.out (report), compare.stt (statistics)" \
     "and compare.msg (messages, kept only when there are warnings)"
echo
echo "== tessovane2_shifts old.hz new.hz shifts 0.05 4 S"
# Status 1 says that stations moved beyond the tolerance, as diff says that
# files differ; only 2 is trouble.
shifts_status=0
../release/bin/tessovane2_shifts old.hz new.hz shifts 0.05 4 S || shifts_status=$?
[ "$shifts_status" -le 1 ] || status=$shifts_status
echo "Written in build/example-run/: shifts.csv (its types in shifts.csvt), shifts.geojson" \
     "(its QGIS style in shifts.qml), shifts.html (open it in a browser) and shifts.svg"
exit $status
