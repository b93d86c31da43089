#!/usr/bin/env bash
# Start in the main window against vrelmont-cli check on the same agenda, for runs that write about
# 100,000 finding lines (target: the window takes at most twice the time of the command), and how
# quickly Přerušit stops the window's run.
#   worst case: 100,001 equal stock items, check 1 only: nothing but finding lines, the walk is trivial
#   benchmark agenda: 1,000,000 stock items in 5 warehouses and 200,000 cards, all fifteen checks
# Usage: bench/gui-report-speed.sh [BUILD_DIR]   (needs xvfb-run, sqlite3 and the vrelmont-bench-gui target)
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }

compare() { # AGENDA CHECKS LABEL
    local agenda=$1 checks=$2 label=$3 best="" t0 t1 ms gui gui_ms
    cat "$agenda"/*.DAT >/dev/null # warm the page cache for both sides
    for _ in 1 2 3; do
        t0=$(now)
        "$build/vrelmont-cli" check "$agenda" --checks "$checks" >"$work/cli.txt" || true
        t1=$(now)
        ms=$(echo "($t1 - $t0) * 1000" | bc -l)
        if [ -z "$best" ] || [ "$(echo "$ms < $best" | bc -l)" = 1 ]; then best=$ms; fi
    done
    gui=$(xvfb-run -a -s "-screen 0 1024x768x24" "$build/vrelmont-bench-gui" "$agenda" "$checks" 2>/dev/null)
    gui_ms=$(sed -E 's/.*run_ms=([0-9]+).*/\1/' <<<"$gui")
    echo "== $label"
    printf '  finding lines:                    %8d\n' "$(grep -c -E '^(Nalezena|Ke skladové)' "$work/cli.txt")"
    printf '  vrelmont-cli check (best of 3):   %8.1f ms\n' "$best"
    printf '  main window Start (best of 3):    %8.1f ms\n' "$gui_ms"
    printf '  ratio window / cli:               %8.2f (target: at most 2)\n' "$(echo "$gui_ms / $best" | bc -l)"
    echo "  window: $gui"
}

worst="$work/WORST"
"$build/vrelmont-cli" create-agenda "$worst" --name "Benchmark" >/dev/null
sqlite3 "$worst/SKSEZZAS.DAT" >/dev/null <<'SQL'
PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
INSERT INTO SKSEZZAS (Sklad, Cislo, UzivCode, Katalog, BarCode, Zkrat, Popis)
SELECT 1, 4711, '', '', '', '', 'Zboží č. ' || i FROM n;
SQL
compare "$worst" 1 "worst case: 100,000 finding lines and nothing else"

big="$work/BIG"
"$build/vrelmont-cli" generate "$big" --cards 200000 --stock 1000000 --warehouses 5 >/dev/null
compare "$big" all "benchmark agenda: 1,000,000 stock items, 200,000 cards, all checks"
