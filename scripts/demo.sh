#!/usr/bin/env bash
# The main job of Quorvane from end to end, with the command-line front end:
# builds the programs (not the tests: scripts/test.sh builds and runs
# those), makes a small sample folder, creates an incremental
# backup job to a local folder, backs up, changes the sample, backs up again,
# lists the restore points and restores the first one, then checks that the
# restored files are the sample as it was at the first backup.
#
# Everything happens in a throw-away folder (kept with QV_DEMO_KEEP=1): the
# program's data folder, logs and temporary files included, so the user's
# own jobs are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${QV_BUILD_DIR:-build}

say() { printf '\n==> %s\n' "$*"; }
run() { printf '$ %s\n' "$*"; "$@"; }

say "Building the programs (scripts/build.sh, target qv_programs)"
QV_TARGETS=qv_programs scripts/build.sh
cli="$root/$build/bin/quorvane-cli"
[ -x "$cli" ] || { echo "demo: $cli was not built" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-demo-XXXXXX")
if [ "${QV_DEMO_KEEP:-0}" != 1 ]; then
    trap 'rm -rf "$work"' EXIT
fi
# A data folder, Documents (run logs) and temporary folder of the demo's own.
export XDG_CONFIG_HOME="$work/config" XDG_DOCUMENTS_DIR="$work/documents" TMPDIR="$work/tmp"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DOCUMENTS_DIR" "$TMPDIR"
cd "$work"

say "A sample folder to back up: $work/sample"
mkdir -p sample/letters sample/photos
printf 'Dear reader,\nthis is the first letter.\n' > sample/letters/first.txt
printf 'A shopping list: bread, milk, tea.\n' > sample/notes.txt
head -c 65536 /dev/urandom > sample/photos/holiday.jpg
cp -a sample sample-at-first-backup
find sample -type f | sort

say "An incremental job \"Sample\" that backs the folder up to $work/backups"
mkdir backups
run "$cli" create Sample --source sample --to backups --type incremental
run "$cli" list

say "First backup"
run "$cli" backup Sample

say "Changing the sample: one file edited, one added, one removed"
printf 'Dear reader,\nthis is the first letter, edited.\n' > sample/letters/first.txt
touch -d '+1 minute' sample/letters/first.txt
printf 'A second letter.\n' > sample/letters/second.txt
rm sample/notes.txt
find sample -type f | sort

say "Second backup (only the changes)"
run "$cli" backup Sample

say "What the destination holds"
find backups -mindepth 2 -maxdepth 2 | sort

say "Restore points"
run "$cli" points Sample

say "Restoring the first point into $work/restored"
run "$cli" restore Sample --point 1 --to restored
find restored -type f | sort

say "Checking the restored files against the sample as it was at the first backup"
diff -r sample-at-first-backup restored/sample
echo "The restored files are identical."

say "The newest run log"
run "$cli" log Sample

say "Done"
