#!/usr/bin/env bash
# Times two builds' velmoran-bench in one run, interleaved round by round so
# that both see the same machine, and prints each row's median real time per
# build and their ratio.
#
#   scripts/compare-bench.sh [--rounds N] [--filter REGEX] OLD_BENCH NEW_BENCH
#
# Each round runs OLD_BENCH, then NEW_BENCH, once each over the rows the
# filter selects (default: all). The ratio is NEW / OLD of the medians over
# the rounds. Needs python3.
set -euo pipefail

rounds=5
filter=.
while (($#)); do
    case $1 in
        --rounds) rounds=$2; shift 2 ;;
        --filter) filter=$2; shift 2 ;;
        -h | --help) sed -n '2,11p' "$0"; exit 0 ;;
        *) break ;;
    esac
done
(($# == 2)) || { echo "usage: scripts/compare-bench.sh [--rounds N] [--filter REGEX] OLD_BENCH NEW_BENCH" >&2; exit 2; }
old=$1 new=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work}
chmod 700 "$work"

for ((r = 1; r <= rounds; r++)); do
    for side in old new; do
        bench=$old
        [ "$side" = new ] && bench=$new
        "$bench" --benchmark_filter="$filter" --benchmark_format=json > "$work/$side-$r.json" 2> /dev/null
    done
    echo "round $r of $rounds done" >&2
done

python3 - "$work" "$rounds" << 'PY'
import json, statistics, sys
work, rounds = sys.argv[1], int(sys.argv[2])
times = {"old": {}, "new": {}}
order = []
for side in times:
    for r in range(1, rounds + 1):
        for b in json.load(open(f"{work}/{side}-{r}.json"))["benchmarks"]:
            name = b["name"].replace("/manual_time", "")
            if name not in order:
                order.append(name)
            times[side].setdefault(name, []).append(b["real_time"])
print(f"{'row':<34} {'old ms':>10} {'new ms':>10} {'new/old':>8}")
for name in order:
    if name in times["old"] and name in times["new"]:
        o, n = statistics.median(times["old"][name]), statistics.median(times["new"][name])
        print(f"{name:<34} {o:>10.4g} {n:>10.4g} {n / o:>8.3f}")
PY
