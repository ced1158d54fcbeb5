#!/usr/bin/env bash
# Compares the traces of an earlier revision with those of a new build, so a
# change meant to alter no drawing can be shown to alter none.
#
#   scripts/compare-traces.sh [--jobs N] [--cases FILE] REV [NEW_TRACE]
#
# Builds velmoran-trace of REV (any commit-ish) once, keeping it in
# build/trace-compare/<commit>/, then runs it and NEW_TRACE (by default
# build/velmoran-trace) on every case of scripts/trace-cases.txt and compares
# their exit status, stdout and stderr byte for byte. Prints a line
# "DIFF: <case>: stdout stderr status" (the parts that differ) per differing
# case, then "N cases, M differences". Exits 0 when nothing differs, 1 when
# something does, 2 when it cannot compare (bad arguments, unknown revision,
# no NEW_TRACE, a build that fails).
set -euo pipefail

usage="usage: scripts/compare-traces.sh [--jobs N] [--cases FILE] REV [NEW_TRACE]"
die() {
    echo "compare-traces: $*" >&2
    exit 2
}
usage_error() {
    echo "compare-traces: $*" >&2
    echo "$usage" >&2
    exit 2
}

caller_dir=$PWD
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
absolute() { if [[ $1 == /* ]]; then echo "$1"; else echo "$caller_dir/$1"; fi; }

jobs=$(nproc 2>/dev/null || getconf _NPROCESSORS_ONLN)
cases=$root/scripts/trace-cases.txt
positional=()
while (($#)); do
    case $1 in
        --jobs) (($# >= 2)) || usage_error "--jobs needs a number"; jobs=$2; shift 2 ;;
        --jobs=*) jobs=${1#*=}; shift ;;
        --cases) (($# >= 2)) || usage_error "--cases needs a file"; cases=$(absolute "$2"); shift 2 ;;
        --cases=*) cases=$(absolute "${1#*=}"); shift ;;
        -h | --help) echo "$usage"; exit 0 ;;
        --) shift; positional+=("$@"); break ;;
        -*) usage_error "unknown option '$1'" ;;
        *) positional+=("$1"); shift ;;
    esac
done
[[ $jobs =~ ^[1-9][0-9]*$ ]] || usage_error "--jobs takes a whole number of 1 or more, not '$jobs'"
((${#positional[@]} >= 1)) || usage_error "missing REV"
((${#positional[@]} <= 2)) || usage_error "unexpected argument '${positional[2]}'"
rev=${positional[0]}

if ((${#positional[@]} == 2)); then
    new_trace=$(absolute "${positional[1]}")
    [[ -f $new_trace && -x $new_trace ]] || die "NEW_TRACE $new_trace is not an executable file"
else
    new_trace=$root/build/velmoran-trace
    [[ -x $new_trace ]] || die "$new_trace not found: run scripts/build.sh first"
fi
[[ -f $cases ]] || die "no case list $cases"
commit=$(git -C "$root" rev-parse --verify --quiet "$rev^{commit}") || die "unknown revision '$rev'"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/compare-traces.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

# The old binary is built from the commit alone, never from the work tree,
# and kept: comparing several changes against one base builds it once.
old_trace=$root/build/trace-compare/$commit/velmoran-trace
if [[ ! -x $old_trace ]]; then
    echo "compare-traces: building velmoran-trace of $commit" >&2
    mkdir -p "$tmp/src"
    git -C "$root" archive "$commit" | tar -x -C "$tmp/src" || die "cannot extract $commit"
    if ! {
        cmake -S "$tmp/src" -B "$tmp/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DVELMORAN_WINDOW=OFF -DVELMORAN_TESTS=OFF -DVELMORAN_BENCH=OFF &&
            cmake --build "$tmp/build" --target velmoran-trace --parallel "$jobs"
    } >"$tmp/build.log" 2>&1; then
        tail -n 30 "$tmp/build.log" >&2
        die "cannot build velmoran-trace of $commit (the end of its log is above)"
    fi
    mkdir -p "${old_trace%/*}"
    # Copied then renamed, so a run cut short, or one running beside this
    # one, never finds half a binary.
    cp "$tmp/build/velmoran-trace" "$old_trace.$$"
    mv -f "$old_trace.$$" "$old_trace"
    rm -rf "$tmp/src" "$tmp/build"
fi

# Each case in a file of its own, checked here so a typo in the list stops
# the run instead of showing as a difference.
mkdir -p "$tmp/case" "$tmp/result"
shown=()
number=0
count=0
while IFS= read -r line || [[ -n $line ]]; do
    number=$((number + 1))
    trimmed=${line#"${line%%[![:space:]]*}"}
    [[ -z $trimmed || $trimmed == \#* ]] && continue
    (eval "args=($line)") 2>/dev/null || die "$cases:$number: not a list of shell words: $line"
    printf '%s\n' "$line" >"$tmp/case/$count"
    # The longest cases are chains of hundreds of presses: the report names
    # them by their line.
    if ((${#trimmed} > 200)); then
        shown+=("${trimmed:0:120}... (line $number of ${cases##*/})")
    else
        shown+=("$trimmed")
    fi
    count=$((count + 1))
done <"$cases"

# Runs one side of one case. Both streams are hashed as they come: the
# deepest drawings print hundreds of MB.
run_side() {
    local index=$1 side=$2 line trace args=()
    IFS= read -r line <"$COMPARE_TRACES_TMP/case/$index"
    eval "args=($line)"
    if [[ $side == old ]]; then trace=$COMPARE_TRACES_OLD; else trace=$COMPARE_TRACES_NEW; fi
    local result=$COMPARE_TRACES_TMP/result/$index.$side
    {
        {
            status=0
            "$trace" "${args[@]}" 2>&3 3>&- || status=$?
            echo "$status" >"$result.status"
        } | sha256sum >"$result.stdout"
    } 3>&1 | sha256sum >"$result.stderr"
}
export -f run_side
export COMPARE_TRACES_TMP=$tmp COMPARE_TRACES_OLD=$old_trace COMPARE_TRACES_NEW=$new_trace

# Old and new sides are separate jobs, so the two halves of one long case
# run at once. xargs runs in the foreground: an interrupt reaches every run.
for ((i = 0; i < count; i++)); do
    printf '%s\0%s\0%s\0%s\0' "$i" old "$i" new
done | xargs -0 -n 2 -P "$jobs" bash -c 'set -euo pipefail; run_side "$@"' run_side ||
    die "a case could not be run"

differences=0
for ((i = 0; i < count; i++)); do
    parts=()
    for part in stdout stderr status; do
        old_value='' new_value=''
        read -r old_value <"$tmp/result/$i.old.$part" || die "no $part for case: ${shown[i]}"
        read -r new_value <"$tmp/result/$i.new.$part" || die "no $part for case: ${shown[i]}"
        [[ $old_value == "$new_value" ]] || parts+=("$part")
    done
    if ((${#parts[@]})); then
        echo "DIFF: ${shown[i]}: ${parts[*]}"
        differences=$((differences + 1))
    fi
done
echo "$count cases, $differences differences"
((differences == 0))
