#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for a
# bounded time on a seed corpus made from the sample surveys in examples/ and
# the input files of the end-to-end cases. Exits non-zero on any finding; the
# input that caused it is left in build/fuzz/findings/; running the target on
# that file alone (build/fuzz/fuzz/fuzz_<target> "$PWD/<file>": an absolute
# path, as the whole-run target works in a folder of its own) replays it.
#
#   scripts/fuzz.sh [seconds per target, default 60]
# The build folder is build/fuzz, or $TESSOVANE2_FUZZ_BUILD.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
build="${TESSOVANE2_FUZZ_BUILD:-build/fuzz}"
mkdir -p "$build"
build="$(cd "$build" && pwd)"  # the whole-run target works in a folder of its own
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTESSOVANE2_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target fuzz_parse80 fuzz_load_station_table fuzz_whole_run fuzz_shifts_fit

# Seed corpora, laid out anew on every run from the files of the project.
seeds=("$PWD"/examples/* "$PWD"/tests/cases/*/*/in/*)
corpus="$build/corpus"
rm -rf "$corpus"
mkdir -p "$corpus/parse80" "$corpus/load_station_table" "$corpus/whole_run" "$corpus/shifts_fit" "$build/findings"
python3 - "$corpus" "${seeds[@]}" <<'PY'
import hashlib, os, struct, sys

corpus, files = sys.argv[1], sys.argv[2:]

def put(target, data):
    name = hashlib.sha1(data).hexdigest()
    with open(os.path.join(corpus, target, name), "wb") as f:
        f.write(data)

texts = []
for path in files:
    with open(path, "rb") as f:
        texts.append(f.read())
for text in texts:
    # parse80: each *80 line (a few of each file suffice to reach every branch).
    for line in [l for l in text.split(b"\n") if l[6:9] == b"*80"][:20]:
        put("parse80", line.rstrip(b"\r"))
    # Loading: the whole file, after the byte that picks file number and SSN length.
    for selector in (0, 3):
        put("load_station_table", bytes([selector]) + text[:8192])
# Whole run: a pair of files after the five parameter bytes (4-digit SSN
# matching, plain names, tolerance 0.05); the split sits after the 1st file.
for a, b in zip(texts, texts[1:] + texts[:1]):
    a, b = a[:2000], b[:2000]
    put("whole_run", bytes([1, 0, 1]) + struct.pack("<H", len(a)) + a + b)
    # The fit: similarity by SSN, the same split; and the 3D model by PID.
    put("shifts_fit", bytes([1]) + struct.pack("<H", len(a)) + a + b)
    put("shifts_fit", bytes([0x0a]) + struct.pack("<H", len(a)) + a + b)
PY

status=0
for target in parse80 load_station_table whole_run shifts_fit; do
  # Whole runs write a report line per pair of equal keys: inputs of a few
  # kilobytes keep each run short.
  case "$target" in
    parse80) max_len=200 ;;
    load_station_table) max_len=16384 ;;
    whole_run | shifts_fit) max_len=4096 ;;
  esac
  echo "== fuzz_$target for ${seconds}s"
  if ! "$build/fuzz/fuzz_$target" "$corpus/$target" -max_total_time="$seconds" -max_len="$max_len" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/${target}-" >"$build/fuzz_$target.log" 2>&1; then
    status=1
    tail -n 60 "$build/fuzz_$target.log"
    echo "fuzz_$target: FINDING, see $build/fuzz_$target.log and $build/findings/"
  else
    grep -E '^stat::number_of_executed_units|^Done' "$build/fuzz_$target.log" || true
  fi
done
exit $status
