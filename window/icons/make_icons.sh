#!/usr/bin/env bash
# Draws the program's icon, a Sierpinski triangle in the figure buttons'
# colour, in the sizes a desktop uses for windows and menus (deeper where
# there is room). Run once by hand; the PNGs are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"

# Filled corner triangles of a subdivision of the icon's triangle.
triangles() {
  python3 - "$@" <<'PY'
import sys
size = int(sys.argv[1])
depth = int(sys.argv[2])
m = size / 16.0
def split(a, b, c, n):
    if n == 0:
        print("polygon %.2f,%.2f %.2f,%.2f %.2f,%.2f" % (*a, *b, *c))
        return
    ab = ((a[0]+b[0])/2, (a[1]+b[1])/2)
    bc = ((b[0]+c[0])/2, (b[1]+c[1])/2)
    ca = ((c[0]+a[0])/2, (c[1]+a[1])/2)
    split(a, ab, ca, n-1); split(ab, b, bc, n-1); split(ca, bc, c, n-1)
split((0.5*m, 14.5*m), (15.5*m, 14.5*m), (8*m, 1.5*m), depth)
PY
}

for entry in 16:2 32:2 48:3 64:3 128:4 256:5; do
  size=${entry%:*}
  depth=${entry#*:}
  /usr/bin/convert -size ${size}x${size} xc:none +antialias \
    -fill 'rgb(192,64,0)' -stroke none -draw "$(triangles $size $depth)" \
    -define png:color-type=6 velmoran${size}.png
done
