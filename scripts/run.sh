#!/usr/bin/env bash
# Installs what is missing (which alone needs root), builds Velmoran and opens
# its window as the user who ran this.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec ./build/app/velmoran
