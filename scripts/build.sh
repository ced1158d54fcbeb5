#!/usr/bin/env bash
# Configures and builds Velmoran in build/ (Release). Extra arguments go to
# the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORAN_WINDOW=ON "$@" > /dev/null
cmake --build build
