#!/usr/bin/env bash
# What the compilers cannot see: AddressSanitizer and UndefinedBehaviorSanitizer over the core, the
# command-line tool and their tests; then ThreadSanitizer over the parallel check (check --jobs 4) on
# a generated agenda, several times, each report compared with the one of a single job. Not part of
# .ci/run: the two builds and the runs under the sanitizers take longer than its time budget.
#
# Usage: scripts/test-sanitizers.sh   (RUNS=N for the parallel runs, default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs=$(nproc)
runs=${RUNS:-5}

# A finding of either sanitizer fails the test that ran into it.
asan=${VRELMONT_ASAN_BUILD_DIR:-build-asan}
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRELMONT_BUILD_GUI=OFF -DVRELMONT_BUILD_TESTS=ON \
    -DVRELMONT_SOAK_TEST=OFF -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
cmake --build "$asan" -j"$jobs"
(cd "$asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure --no-tests=error -j"$jobs" --timeout 600)

# The checks of one run share nothing but the report's order and the progress; a race there shows
# as a ThreadSanitizer report (the run then ends with status 66) or as another report.
tsan=${VRELMONT_TSAN_BUILD_DIR:-build-tsan}
cmake -S . -B "$tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRELMONT_BUILD_GUI=OFF -DVRELMONT_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$tsan" -j"$jobs" --target vrelmont-cli
cli=$tsan/vrelmont-cli
work=$(mktemp -d "${TMPDIR:-/tmp}/vrelmont-tsan.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$cli" generate "$work/AGENDA.900" --cards 20000 --stock 100000 --warehouses 5 >/dev/null
"$cli" check "$work/AGENDA.900" --checks all --jobs 1 >"$work/one.txt"
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1"
for ((i = 1; i <= runs; i++)); do
    "$cli" check "$work/AGENDA.900" --checks all --jobs 4 >"$work/four.txt"
    if ! cmp -s "$work/one.txt" "$work/four.txt"; then
        echo "test-sanitizers: --jobs 4 wrote another report than --jobs 1 (run $i)" >&2
        exit 1
    fi
done
echo "test-sanitizers: no findings; $runs runs of check --jobs 4 under ThreadSanitizer as --jobs 1"
