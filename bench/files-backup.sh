#!/usr/bin/env bash
# The files-and-folders engine against the tools a user would use instead.
#
#   bench/files-backup.sh [FILES] [MIB]      (defaults: 20000 files, 1024 MiB)
#
# Builds a source tree of FILES files and about MIB MiB in the temporary
# folder and measures, in one run and on the same warm page cache:
#   - a full plain backup against `cp -a` and `rsync -a`,
#   - the no-change incremental run against `rsync -a` on the unchanged tree,
#   - the restore of the latest point against `cp -a` of the copy,
#   - peak memory (maximum resident set size, /usr/bin/time -v) of each of
#     our runs, and the memory per source file: the difference to the same
#     runs on a tree of 100 files, divided by the difference in files.
# Every timing is the best of three runs (QV_BENCH_REPS), each on a target
# of its own (about 15 GiB of temporary space in all). Everything it writes lives below one temporary folder removed at
# the end.
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-20000}
mib=${2:-1024}
build=${QV_BUILD_DIR:-build}
small_files=100

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target quorvane-bench-files >/dev/null
driver=$(realpath "$build/bin/quorvane-bench-files")

work=$(mktemp -d "${TMPDIR:-/tmp}/qv-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# A tree of incompressible files in folders of 100: about 1 % large files
# holding half of the bytes, the rest of random sizes around the mean.
make_tree() { # dir files mib
    /usr/bin/python3 - "$1" "$2" "$3" <<'PY'
import os, random, sys
root, count, mib = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
total = mib * 1024 * 1024
rng = random.Random(20240501)
pool = os.urandom(16 * 1024 * 1024)
big = max(1, count // 100)
big_size = (total // 2) // big
small_mean = max(1, (total - big * big_size) // max(1, count - big))
written = 0
for i in range(count):
    d = os.path.join(root, "d%03d" % (i // 100 // 20), "s%03d" % (i // 100))
    if i % 100 == 0:
        os.makedirs(d, exist_ok=True)
    size = big_size if i % 100 == 50 and i // 100 < big else rng.randint(0, 2 * small_mean)
    with open(os.path.join(d, "file%05d.bin" % i), "wb") as f:
        left = size
        while left > 0:
            off = rng.randrange(0, len(pool) - 1)
            chunk = pool[off:off + min(left, len(pool) - off)]
            f.write(chunk)
            left -= len(chunk)
    written += size
print("%d files, %.1f MiB" % (count, written / 1048576))
PY
}

# Runs a command, records "<seconds> <peak KiB>" in $work/last.
measure() {
    sync
    /usr/bin/time -f "%e %M" -o "$work/last" "$@" >"$work/out" 2>&1 || {
        cat "$work/out" >&2
        echo "failed: $*" >&2
        exit 1
    }
}
secs() { cut -d' ' -f1 "$work/last"; }
peak() { cut -d' ' -f2 "$work/last"; }

# The machine may be shared: every timing is the best of $reps runs, and the
# tools compared with each other take turns (one run of each per round), so
# that a slow spell of the machine does not fall on one of them only. Each
# run writes to a target of its own ("@" in a command stands for it):
# deleting a tree just before a timed run would slow the file creations of
# that run (ext4 scans recently freed inodes), whichever tool it is.
reps=${QV_BENCH_REPS:-3}
declare -A best_secs best_mem
# rounds NAME PREFIX COMMAND... [-- NAME PREFIX COMMAND...]...
rounds() {
    local groups=() g="" a
    for a in "$@"; do
        if [ "$a" = "--" ]; then groups+=("$g"); g=""; else g+="$(printf '%q ' "$a")"; fi
    done
    groups+=("$g")
    local i
    for ((i = 1; i <= reps; i++)); do
        for g in "${groups[@]}"; do
            eval "set -- $g"
            local name=$1 prefix=$2 args=()
            shift 2
            for a in "$@"; do args+=("${a//@/$prefix$i}"); done
            measure "${args[@]}"
            local t m
            t=$(secs); m=$(peak)
            if [ -z "${best_secs[$name]:-}" ] || awk -v a="$t" -v b="${best_secs[$name]}" 'BEGIN { exit !(a < b) }'; then
                best_secs[$name]=$t
            fi
            if [ "$m" -gt "${best_mem[$name]:-0}" ]; then best_mem[$name]=$m; fi
        done
    done
}

echo "building the source trees in $work"
mkdir -p "$work/src" "$work/small"
make_tree "$work/src" "$files" "$mib"
make_tree "$work/small" "$small_files" 1 >/dev/null

rounds cp_full "$work/cp-dest" cp -a "$work/src" @ \
    -- rsync_full "$work/rsync-dest" rsync -a "$work/src/" @/ \
    -- ours_full "$work/ours" "$driver" backup @-data "$work/src" @-dest
# The no-change runs go to the last full copies.
rounds rsync_nochange "$work/x" rsync -a "$work/src/" "$work/rsync-dest$reps/" \
    -- ours_incr "$work/x" "$driver" backup "$work/ours$reps-data" "$work/src" "$work/ours$reps-dest"
grep -q "Files copied: 0\." "$work/out" || { cat "$work/out"; echo "the no-change run copied files" >&2; exit 1; }
rounds cp_restore "$work/cp-restore" cp -a "$work/cp-dest$reps" @ \
    -- ours_restore "$work/restored" "$driver" restore "$work/ours$reps-data" "$work/ours$reps-dest" @
diff -rq "$work/src" "$work/restored$reps/src" >/dev/null || { echo "the restored tree differs from the source" >&2; exit 1; }
for name in cp_full rsync_full ours_full rsync_nochange ours_incr cp_restore ours_restore; do
    printf -v "$name" '%s' "${best_secs[$name]}"
    printf -v "${name}_mem" '%s' "${best_mem[$name]}"
done

# The same runs on the small tree give the constant part of the memory.
measure "$driver" backup "$work/data-small" "$work/small" "$work/small-dest"; small_full_mem=$(peak)
measure "$driver" backup "$work/data-small" "$work/small" "$work/small-dest"; small_incr_mem=$(peak)
measure "$driver" restore "$work/data-small" "$work/small-dest" "$work/small-restored"; small_restore_mem=$(peak)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
perfile() { awk -v big="$1" -v small="$2" -v n="$3" 'BEGIN { printf "%.0f", (big - small) * 1024 / n }'; }
n=$((files - small_files))

printf '\n%-40s %10s %12s\n' "operation ($files files, $mib MiB)" "seconds" "peak MiB"
printf '%-40s %10s\n' "cp -a (full copy)" "$cp_full"
printf '%-40s %10s\n' "rsync -a (full copy)" "$rsync_full"
printf '%-40s %10s %12s\n' "quorvane full backup" "$ours_full" "$((ours_full_mem / 1024))"
printf '%-40s %10s\n' "rsync -a (no change)" "$rsync_nochange"
printf '%-40s %10s %12s\n' "quorvane incremental (no change)" "$ours_incr" "$((ours_incr_mem / 1024))"
printf '%-40s %10s\n' "cp -a (restore copy)" "$cp_restore"
printf '%-40s %10s %12s\n' "quorvane restore" "$ours_restore" "$((ours_restore_mem / 1024))"
echo
echo "full backup / rsync -a:          $(ratio "$ours_full" "$rsync_full")   (goal <= 1.00)"
echo "full backup / cp -a:             $(ratio "$ours_full" "$cp_full")   (goal <= 1.50)"
echo "no-change run / rsync -a:        $(ratio "$ours_incr" "$rsync_nochange")   (goal <= 1.00)"
echo "restore / cp -a:                 $(ratio "$ours_restore" "$cp_restore")"
echo "memory per source file (bytes):  full $(perfile "$ours_full_mem" "$small_full_mem" "$n")," \
     "no change $(perfile "$ours_incr_mem" "$small_incr_mem" "$n")," \
     "restore $(perfile "$ours_restore_mem" "$small_restore_mem" "$n")   (goal < 300)"
echo "constant (100-file runs, MiB):   full $((small_full_mem / 1024)), no change $((small_incr_mem / 1024)), restore $((small_restore_mem / 1024))"
