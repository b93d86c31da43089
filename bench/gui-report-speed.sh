#!/usr/bin/env bash
# A run that writes 100,000 finding lines: Start in the main window against vrelmont-cli check on the
# same agenda (target: the window takes at most twice the time), and how quickly Přerušit stops it.
# Usage: bench/gui-report-speed.sh [BUILD_DIR]   (needs xvfb-run and the vrelmont-bench-gui target)
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
agenda="$work/AGENDA.001"

# 100,001 stock items with the same number in warehouse 1: the stock-item number check (check 1)
# reports 100,000 of them.
"$build/vrelmont-cli" create-agenda "$agenda" --name "Benchmark" >/dev/null
sqlite3 "$agenda/SKSEZZAS.DAT" <<'SQL'
PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
INSERT INTO SKSEZZAS (Sklad, Cislo, UzivCode, Katalog, BarCode, Zkrat, Popis)
SELECT 1, 4711, '', '', '', '', 'Zboží č. ' || i FROM n;
SQL
cat "$agenda"/*.DAT >/dev/null # warm the page cache for both sides

now() { date +%s.%N; }
best_cli=""
for _ in 1 2 3; do
    t0=$(now)
    "$build/vrelmont-cli" check "$agenda" --checks 1 >"$work/cli.txt"
    t1=$(now)
    ms=$(echo "($t1 - $t0) * 1000" | bc -l)
    if [ -z "$best_cli" ] || [ "$(echo "$ms < $best_cli" | bc -l)" = 1 ]; then best_cli=$ms; fi
done
gui=$(xvfb-run -a -s "-screen 0 1024x768x24" "$build/vrelmont-bench-gui" "$agenda" 1 2>/dev/null)
gui_ms=$(sed -E 's/.*run_ms=([0-9]+).*/\1/' <<<"$gui")

printf 'finding lines written:                 %8d\n' "$(grep -c '^Nalezena' "$work/cli.txt")"
printf 'vrelmont-cli check (best of 3):        %8.1f ms\n' "$best_cli"
printf 'main window Start (xvfb):              %8.1f ms\n' "$gui_ms"
printf 'ratio window / cli:                    %8.2f (target: at most 2)\n' "$(echo "$gui_ms / $best_cli" | bc -l)"
echo "window: $gui"
