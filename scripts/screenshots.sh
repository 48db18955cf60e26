#!/usr/bin/env bash
# Pictures of the windowed program, for reviews and the documentation:
#   scripts/screenshots.sh [OUTDIR]
# Starts the windowed program through the screenshot tool (tests/screenshots,
# built with the tests, never shipped) on the offscreen platform in a
# throw-away data folder with a few sample jobs (one of them backing up a
# large generated file while the pictures are taken) and saves, into OUTDIR
# (default: a new folder it prints), one PNG per window, named after it:
#   TfrmMainQuorvane-cards.png, TfrmMainQuorvane-table.png,
#   TfrmOptions-<page>.png for every options page, TfrmWelcome.png,
#   TfrmLog.png (a job's latest run log), TfrmRestoreList.png (its restore points),
#   TfrmWizard_FilesBackup-<page>.png for every page of the files wizard,
#   TfrmSourceType.png (the job kind chooser).
# Uses the build folder $QV_BUILD_DIR, or builds the two programs it needs
# into ./build with scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ -n "${QV_BUILD_DIR:-}" ]; then
    build=$QV_BUILD_DIR
    case "$build" in /*) ;; *) build="$root/$build" ;; esac
else
    build="$root/build"
    QV_BUILD_DIR="$build" QV_TARGETS="qv_screenshots quorvane-cli" scripts/build.sh
fi
program="$build/tests/qv_screenshots"
cli="$build/bin/quorvane-cli"
for exe in "$program" "$cli"; do
    [ -x "$exe" ] || { echo "screenshots: $exe is missing (build the targets qv_screenshots and quorvane-cli)" >&2; exit 1; }
done
# The screenshot tool lives among the tests; the shipped files are in bin/.
export QV_BIN_DIR="$build/bin"

out=${1:-}
if [ -z "$out" ]; then
    out=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-screenshots-XXXXXX")
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-shots-work-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The program's data folder, Documents (run logs), temporary folder and home
# are the throw-away folder's: the user's own jobs are never touched.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DOCUMENTS_DIR="$work/documents" TMPDIR="$work/tmp"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DOCUMENTS_DIR" "$TMPDIR" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
cd "$work"

# Sample sources.
mkdir -p sources/documents/letters sources/photos sources/large
mkdir -p backups/daily backups/photos backups/large backups/docs backups/archive
printf 'Dear reader,\nthis is the first letter.\n' > sources/documents/letters/first.txt
printf 'A shopping list: bread, milk, tea.\n' > sources/documents/notes.txt
head -c 200000 /dev/urandom > sources/photos/holiday.jpg
mkdir -p sources/old-photos sources/archive
printf 'old\n' > sources/old-photos/scan.txt
head -c 1024M /dev/zero > sources/archive/archive.raw
# The large file copies long enough to be seen in the middle of its copy.
head -c "${QV_SCREENSHOTS_LARGE_MB:-3072}M" /dev/zero > sources/large/disk-image.raw

# The jobs: a scheduled one that ran cleanly, one whose last run left a
# warning (one of its sources went missing), one cancelled in the middle of
# its run, one never started, and the large one that runs during the pictures.
"$cli" create "Daily Backup" --source sources/documents --to backups/daily --weekdays 1,2,3,4,5,6,7 --at 09:00:00 >/dev/null
"$cli" create "backup2" --source sources/photos --source sources/old-photos --to backups/photos --type full >/dev/null
"$cli" create "Archive" --source sources/archive --to backups/archive --type full >/dev/null
"$cli" create "Docs" --source sources/documents --to backups/docs --type differential >/dev/null
"$cli" create "Large Files" --source sources/large --to backups/large --type sync >/dev/null
"$cli" backup "Daily Backup" >/dev/null 2>&1 || true
rm -r sources/old-photos
"$cli" backup "backup2" >/dev/null 2>&1 || true
# Cancelled (Ctrl-C) as soon as the run has started: its first event, the
# start line that names the job, arrives on standard error. tail follows the
# file as it grows and ends with the backup.
"$cli" backup "Archive" >/dev/null 2>"$work/archive.err" &
archive=$!
grep -q -m1 -F '"Archive"' < <(tail -n +1 -F --pid="$archive" "$work/archive.err" 2>/dev/null) || true
kill -INT "$archive" 2>/dev/null || true
wait "$archive" 2>/dev/null || true

# The program starts the large job itself (the word backup) and takes the
# pictures while it copies; then it quits, cancelling the copy.
"$program" --screenshots="$out" -backup "Large Files" >"$work/saved.txt"
echo "screenshots: saved into $out"
sed 's/^/  /' "$work/saved.txt"
