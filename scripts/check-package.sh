#!/usr/bin/env bash
# Builds the Debian package from a built build folder into OUT (by default
# BUILD/package-check) and checks it as a distribution would: lintian finds
# no error and no warning, and the developer's tool is not in it. Exits 77,
# which CTest reports as skipped, where lintian is not installed.
#
#   scripts/check-package.sh BUILD [OUT]
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BUILD [OUT]" >&2
  exit 2
fi
if ! command -v lintian > /dev/null; then
  echo "lintian is not installed: the package is not checked" >&2
  exit 77
fi
build=$(readlink -f "$1")
out=$(readlink -f "${2:-$build/package-check}")

rm -rf "$out"
mkdir -p "$out"
if ! cpack --config "$build/CPackConfig.cmake" -B "$out" > "$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  exit 1
fi
debs=("$out"/velmoran_*.deb)
deb=${debs[0]}
echo "package: $deb"

status=0
if dpkg-deb -c "$deb" | grep -q 'velmoran-trace'; then
  echo "velmoran-trace is in the package; it is a build product for developers" >&2
  status=1
fi
# Info tags are shown for the reader; only errors and warnings fail.
lintian --display-info --fail-on error,warning "$deb" || status=1
exit "$status"
