#!/usr/bin/env bash
# The checks beside a live host, for a long time.
#
# Builds vrelmont-cli and vrelmont-bench-live-host-soak and runs the soak: a second process commits
# small transactions to SKSEZZAS.DAT without a break (with a rollback journal, with a write-ahead
# log, and with a write-ahead log that it closes after every commit), while `vrelmont-cli check
# --checks all` reads the same agenda again and again, with --jobs 1, 2 and 4 in turn. The writer's
# commits keep the findings fixed, so every run must report the counts of the quiet agenda. The soak
# prints one line per mode and --jobs value: runs, right, wrong, "locked" (the wait for a lock ran out),
# other errors, hangs, runs over 5 s, the longest run and the writer's commits meanwhile; and the
# files that appeared in the agenda directory, changed or went away. Exit status 1 when a run was
# wrong, failed otherwise than "locked" or hung, or a file appeared, changed or went away.
#
# Usage: bench/live-host-soak.sh [SOAK OPTIONS]          (120 s per mode; see --help)
#        bench/live-host-soak.sh --seconds 600 --records 20000
#        BUILD_DIR=build-bench bench/live-host-soak.sh ...  (the build directory, default build-bench)
set -euo pipefail
"$(dirname "$0")/../scripts/install-deps.sh" --bench

here=$(cd "$(dirname "$0")" && pwd)
build=${BUILD_DIR:-$here/../build-bench}
cmake -S "$here/.." -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRELMONT_BUILD_GUI=OFF \
    -DVRELMONT_BUILD_TESTS=OFF -DVRELMONT_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target vrelmont-cli vrelmont-bench-live-host-soak -j"$(nproc)" >/dev/null
exec "$build/vrelmont-bench-live-host-soak" --cli "$build/vrelmont-cli" --seconds 120 "$@"
