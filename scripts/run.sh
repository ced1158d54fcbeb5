#!/usr/bin/env bash
# Builds Velmoran and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec ./build/ui/velmoran
