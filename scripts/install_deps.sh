#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any further
# packages named as arguments, when any is missing. Needs root (or sudo) only
# when something is missing.
set -euo pipefail

# chromium, nodejs and npm: the shift page's browser tests (playwright-core
# from tests/shift_map/page/package-lock.json drives Debian's chromium). Debian's
# npm only where no npm is there: a nodejs that brings its own conflicts with it.
# gdal-bin: ogrinfo reads the companion's CSV and GeoJSON in the tests.
packages=(cmake ninja-build g++ clang clang-format libclang-rt-dev libgtest-dev libbenchmark-dev libcli11-dev libgeographiclib-dev
  valgrind groff man-db python3 chromium nodejs gdal-bin "$@")
command -v npm >/dev/null 2>&1 || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update </dev/null
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
