#!/usr/bin/env bash
# Compares the PNG pictures two builds export, byte for byte, so a change
# meant to alter no picture can be shown to alter none.
#
#   scripts/compare-pictures.sh OLD_BIN NEW_BIN
#
# OLD_BIN and NEW_BIN are velmoran programs. Each exports every figure at
# every count the bench presses (and those of its zoom and export rows),
# at scale 1, and at scale 2 up to the count 12, on Qt's offscreen
# platform. Prints "DIFF: <figure> <count> scale <s>" per differing picture
# (or per export that failed on either side), then "N pictures, M
# differences". Exits 0 when nothing differs, 1 when something does, 2 on
# bad arguments.
set -euo pipefail

(($# == 2)) || { echo "usage: scripts/compare-pictures.sh OLD_BIN NEW_BIN" >&2; exit 2; }
old=$1 new=$2
for bin in "$old" "$new"; do
    [[ -x $bin ]] || { echo "compare-pictures: $bin is not an executable file" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/compare-pictures.XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 700 "$work"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work}

# The bench's counts: every figure's presses, the triangle's deep ones, the
# zoom rows' and the export rows', and the count that never ends.
common=(6 7 8 10 12 15 20 30 1000)
triangle_only=(22 25 40 50)

pictures=0 differences=0
compare() {
    local figure=$1 count=$2 scale=$3
    local name=$figure-$count-$scale
    pictures=$((pictures + 1))
    if ! "$old" --export "$work/old-$name.png" "$figure" "$count" --scale "$scale" > /dev/null 2>&1 ||
        ! "$new" --export "$work/new-$name.png" "$figure" "$count" --scale "$scale" > /dev/null 2>&1 ||
        ! cmp -s "$work/old-$name.png" "$work/new-$name.png"; then
        echo "DIFF: $figure $count scale $scale"
        differences=$((differences + 1))
    fi
    rm -f "$work/old-$name.png" "$work/new-$name.png"
}

for figure in triangolo tappeto trina fiocco; do
    counts=("${common[@]}")
    [[ $figure == triangolo ]] && counts+=("${triangle_only[@]}")
    for count in "${counts[@]}"; do
        compare "$figure" "$count" 1
        ((count <= 12)) && compare "$figure" "$count" 2
    done
done
echo "$pictures pictures, $differences differences"
((differences == 0))
