#!/usr/bin/env bash
# Installs what is missing, builds Velmoran and runs every test: unit, widget
# and end-to-end tests and the Debian package's check on the Release build,
# then the unit and widget tests again under AddressSanitizer (with
# LeakSanitizer) and UndefinedBehaviorSanitizer. The end-to-end tests need
# root.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh

jobs=$(nproc)
echo "== Release build: unit, widget and end-to-end tests, the package"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer: unit and widget tests"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVELMORAN_WINDOW=ON -DVELMORAN_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake --build build-sanitize
ctest --test-dir build-sanitize --output-on-failure -j "$jobs" --label-exclude 'e2e|package'
