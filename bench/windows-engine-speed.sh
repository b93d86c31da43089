#!/usr/bin/env bash
# Under Wine: vrelmont-cli.exe check --checks all on a generated agenda of 200,000 stock items, through
# the host engine backend (our test engine over COM) against the table files backend; then the
# missing-card check's look-up both ways (the cards walked alongside as a merge, or a seek per stock
# item) through each backend, on that agenda and on one with far more cards than stock items.
# Usage: bench/windows-engine-speed.sh [WINDOWS_BUILD_DIR] [LINUX_BUILD_DIR]   (default build-windows/x86_64)
#   (run scripts/build-windows.sh first; the Linux build provides vrelmont-cli to generate the agenda)
set -euo pipefail
windows_build=$(realpath "${1:-build-windows/x86_64}")
linux_build=$(realpath "${2:-build}")
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
work=$(mktemp -d "${TMPDIR:-/tmp}/vrelmont-wine-bench.XXXXXX")
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
trap '"${wine%/*}/wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT

cmake -DVRELMONT_BUILD_BENCH=ON "$windows_build" >/dev/null
cmake --build "$windows_build" --target vrelmont-bench-missing-card >/dev/null
"$linux_build/vrelmont-cli" generate "$work/AGENDA.001" --cards 70000 --stock 200000 --warehouses 3 >/dev/null
"$linux_build/vrelmont-cli" generate "$work/AGENDA.002" --cards 200000 --stock 20000 --warehouses 3 >/dev/null
"$wine" wineboot --init >/dev/null 2>&1
"${wine%/*}/wineserver" -w 2>/dev/null || true
"$wine" regsvr32 /s "$("$wine" winepath -w "$windows_build/vrelmont-test-engine.dll")"
agenda=$("$wine" winepath -w "$work/AGENDA.001")
cat "$work"/AGENDA.00?/*.DAT >/dev/null # warm the page cache for both runs

seconds() {
    local start end
    start=$(date +%s.%N)
    "$wine" "$windows_build/vrelmont-cli.exe" check "$agenda" --checks all --engine "$1" >"$work/$1.txt"
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }'
}
files=$(seconds files)
host=$(seconds host)
cmp -s "$work/files.txt" "$work/host.txt" || echo "warning: the two reports differ" >&2
printf 'check --checks all, 200,000 stock items, under Wine\n'
printf '  table files backend:              %6.1f s\n' "$files"
printf '  host engine backend (test engine): %6.1f s\n' "$host"
awk -v f="$files" -v h="$host" 'BEGIN { printf "  ratio host / files:               %6.2f\n", h / f }'

# The median of three runs of each way, for each backend and agenda.
printf '\nmissing-card look-up (check 2), median of 3 runs, under Wine\n'
printf '  %-42s %10s %10s %10s\n' "" "merge ms" "seek ms" "seek/merge"
for name in AGENDA.001 AGENDA.002; do
    for engine in files host; do
        runs=()
        for _ in 1 2 3; do
            runs+=("$("$wine" "$windows_build/vrelmont-bench-missing-card.exe" "$("$wine" winepath -w "$work/$name")" "$engine")")
        done
        merge=$(printf '%s\n' "${runs[@]}" | sed -E 's/.*merge_ms=([0-9.]+).*/\1/' | sort -n | sed -n 2p)
        seek=$(printf '%s\n' "${runs[@]}" | sed -E 's/.*seek_ms=([0-9.]+).*/\1/' | sort -n | sed -n 2p)
        case $name in
        AGENDA.001) what="200,000 stock items, 70,000 cards" ;;
        *) what="20,000 stock items, 200,000 cards" ;;
        esac
        printf '  %-42s %10.1f %10.1f %10.2f\n' "$engine, $what" "$merge" "$seek" "$(awk -v m="$merge" -v s="$seek" 'BEGIN { print s / m }')"
    done
done
