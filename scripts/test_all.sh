#!/usr/bin/env bash
# Builds and runs every test: the release build (g++), then the whole suite
# again under AddressSanitizer and UndefinedBehaviorSanitizer (clang).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install_deps.sh

echo "== Release build (g++), all tests"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++
cmake --build build/release
ctest --test-dir build/release --output-on-failure

echo "== Sanitizer build (clang, ASan + UBSan), all tests"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DTESSOVANE2_SANITIZE=ON
cmake --build build/sanitize
ctest --test-dir build/sanitize --output-on-failure
