#!/usr/bin/env bash
# How long a host program's commit waits while the checks read its tables.
#
# Generates an agenda of 1,000,000 stock items and 200,000 master cards, then runs
# `vrelmont-cli check --checks all` on it twice: with the tables in rollback-journal mode (as the
# data tools write them) and in write-ahead-log mode. During each run a stand-in for the host (the
# sqlite3 shell, waiting for locks for up to ten minutes) commits a one-record change to
# SKSEZZAS.DAT every 0.2 s. The script prints the length of the check run and the longest and
# median wait of those commits.
#
# A check reads its table in one read transaction. With a rollback journal a commit must wait
# until no reader is left, so it waits for the check that reads the table at that moment; with a
# write-ahead log it never waits.
#
# Usage: bench/host-wait.sh [BUILD_DIR]   (default: build)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build}/vrelmont-cli
for tool in "$cli" sqlite3; do
    command -v "$tool" >/dev/null || { echo "host-wait: $tool not found" >&2; exit 2; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/vrelmont-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C

now() { date +%s.%N; }

# One run of the checks beside a committing host; prints its figures.
run_beside_host() {
    local mode=$1 agenda=$work/AGENDA.900
    local start end
    : >"$work/waits"
    start=$(now)
    "$cli" check "$agenda" --checks all >/dev/null &
    local check=$!
    while kill -0 "$check" 2>/dev/null; do
        local before after
        before=$(now)
        sqlite3 -cmd ".timeout 600000" "$agenda/SKSEZZAS.DAT" \
            "BEGIN IMMEDIATE; UPDATE SKSEZZAS SET Popis = Popis WHERE rowid = 1; COMMIT;" >/dev/null
        after=$(now)
        awk "BEGIN { print $after - $before }" >>"$work/waits"
        sleep 0.2
    done
    wait "$check" || true
    end=$(now)
    sort -g "$work/waits" | awk -v mode="$mode" -v total="$(awk "BEGIN { print $end - $start }")" '
        { w[NR] = $1 }
        END { printf "%-17s check run %6.1f s   host commits %3d   longest wait %6.2f s   median wait %6.3f s\n",
                     mode, total, NR, w[NR], w[int((NR + 1) / 2)] }'
}

"$cli" generate "$work/AGENDA.900" --cards 200000 --stock 1000000 --warehouses 5 >/dev/null
echo "1,000,000 stock items, 200,000 master cards; the host commits to SKSEZZAS.DAT every 0.2 s"
run_beside_host "rollback journal"
for table in SKSEZZAS SKKMKART; do
    sqlite3 "$work/AGENDA.900/$table.DAT" "PRAGMA journal_mode=WAL;" >/dev/null
done
run_beside_host "write-ahead log"
