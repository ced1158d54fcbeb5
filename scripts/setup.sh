#!/usr/bin/env bash
# Installs, from Debian's packages, everything needed to build, run and test
# Velmoran; with --profilers, also what the benchmarks are profiled with.
# Safe to run again, and by any user once everything is there: only missing
# packages are installed, which needs root.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config dpkg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n
  # asking the print server about queues and jobs
  libcups2-dev
  # writing animated GIF and WebP
  libgif-dev libwebp-dev
  # checks of the desktop entry, the AppStream record and the Debian package
  # (file for CPack's scan of the shared-library dependencies)
  desktop-file-utils appstream lintian file
  # fonts close to the window's faces
  fonts-dejavu-core fonts-liberation2 fonts-wine
  # end-to-end tests: a real X server, clicks, screenshots, a PDF printer
  xvfb xauth xdotool x11-apps x11-utils imagemagick openbox
  cups printer-driver-cups-pdf poppler-utils
  # rasterising the vector exports the tests compare with the PNG
  librsvg2-bin
)
if [ "${1:-}" = --profilers ]; then
  # sampling, and counted instructions and branches
  packages+=(linux-perf valgrind)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]}; run scripts/setup.sh as root to install them" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
