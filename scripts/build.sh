#!/usr/bin/env bash
# Configures and builds Velmoran in build/ (Release), with the window; installs
# nothing (see scripts/setup.sh). Extra arguments go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
# Ninja for a new build folder; an existing one keeps the generator it has.
generator=()
[ -f build/CMakeCache.txt ] || generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DVELMORAN_WINDOW=ON "$@"
cmake --build build
