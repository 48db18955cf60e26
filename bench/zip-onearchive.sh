#!/usr/bin/env bash
# A one-archive ZIP run of the engine at level "normal" against Info-ZIP's
# `zip -r -6` on the same tree: time and archive size side by side.
#
#   bench/zip-onearchive.sh [TREE]        (default: /usr/include, a real,
#                                          compressible tree of many files)
#
# The job is made and run with quorvane-cli in a private configuration
# folder (XDG_CONFIG_HOME); each timing is the best of QV_BENCH_REPS runs
# (default 3), each a full run into a fresh destination. Everything it
# writes lives below one temporary folder removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$(realpath "${1:-/usr/include}")
reps=${QV_BENCH_REPS:-3}
build=${QV_BUILD_DIR:-build}

# An existing build folder is used as it is configured.
[[ -f "$build/build.ninja" ]] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target quorvane-cli >/dev/null
cli=$(realpath "$build/bin/quorvane-cli")
command -v zip >/dev/null || { echo "zip (Info-ZIP) is needed" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qv-zipbench-XXXXXX")
trap 'rm -rf "$work"' EXIT

now_ms() { date +%s%3N; }
best_of() { # command... ; prints the best wall time in ms
    local best=999999999 t0 t1
    for ((i = 0; i < reps; i++)); do
        "$@" "$i"
        t0=$(cat "$work/t0") t1=$(cat "$work/t1")
        ((t1 - t0 < best)) && best=$((t1 - t0))
    done
    echo "$best"
}

ours() { # rep
    local cfg="$work/cfg$1" dest="$work/dest$1"
    rm -rf "$cfg" "$dest" && mkdir -p "$cfg" "$dest"
    XDG_CONFIG_HOME="$cfg" "$cli" create Bench --source "$tree" --to "$dest" --type full \
        --zip single --zip-level normal >/dev/null
    sync
    now_ms >"$work/t0"
    XDG_CONFIG_HOME="$cfg" "$cli" backup Bench >/dev/null 2>"$work/ours.err" || { cat "$work/ours.err" >&2; exit 1; }
    now_ms >"$work/t1"
}

infozip() { # rep
    rm -f "$work/infozip.zip"
    sync
    now_ms >"$work/t0"
    (cd "$(dirname "$tree")" && zip -q -r -6 "$work/infozip.zip" "$(basename "$tree")")
    now_ms >"$work/t1"
}

files=$(find "$tree" -type f | wc -l)
bytes=$(du -sb "$tree" | cut -f1)
echo "tree: $tree ($files files, $((bytes / 1024 / 1024)) MiB), best of $reps"

ours_ms=$(best_of ours)
ours_zip=$(find "$work/dest0" -name data.zip | head -1)
ours_size=$(stat -c %s "$ours_zip")
zip_ms=$(best_of infozip)
zip_size=$(stat -c %s "$work/infozip.zip")

printf '%-26s %10s %14s\n' "" "time ms" "archive bytes"
printf '%-26s %10d %14d\n' "quorvane (one archive)" "$ours_ms" "$ours_size"
printf '%-26s %10d %14d\n' "zip -r -6" "$zip_ms" "$zip_size"
awk -v a="$ours_ms" -v b="$zip_ms" -v c="$ours_size" -v d="$zip_size" \
    'BEGIN { printf "ratio: time %.2f x (goal <= 1.20), size %+.2f %% (goal within 2 %%)\n", (b ? a / b : 0), (d ? (c - d) * 100.0 / d : 0) }'
