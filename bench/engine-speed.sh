#!/usr/bin/env bash
# Compares a walk through the table engine with the sqlite3 shell scanning the same index.
# Usage: bench/engine-speed.sh [BUILD_DIR]   (a build configured with -DVRELMONT_BUILD_BENCH=ON)
set -euo pipefail
"$(dirname "$0")/../scripts/install-deps.sh" --bench
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
table="$work/SKSEZZAS.DAT"

"$build/vrelmont-cli" create-agenda "$work/agenda" --name "Benchmark" >/dev/null
cp "$work/agenda/SKSEZZAS.DAT" "$table"
sqlite3 "$table" >/dev/null <<'SQL'
PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 999999)
INSERT INTO SKSEZZAS (Sklad, Cislo, UzivCode, Katalog, BarCode, Zkrat, Popis)
SELECT i % 5, (i * 7919) % 200000, 'PLU' || i, 'K' || i, '859' || i, 'Z' || (i % 1000), 'Zboží č. ' || i FROM n;
SQL
cat "$table" >/dev/null # warm the page cache for both sides

index=$(sqlite3 "$table" "SELECT name FROM pragma_index_list('SKSEZZAS') l WHERE (SELECT group_concat(name) FROM pragma_index_info(l.name)) = 'Sklad,Cislo'")
now() { date +%s.%N; }
t0=$(now)
sqlite3 -readonly "$table" "SELECT Sklad, Cislo FROM SKSEZZAS INDEXED BY \"$index\" ORDER BY Sklad, Cislo" >/dev/null
t1=$(now)
shell_ms=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", (b - a) * 1000 }')

engine=$("$build/vrelmont-bench-engine" "${table%.DAT}")
walk_ms=$(sed -E 's/.*walk_ms=([0-9.]+).*/\1/' <<<"$engine")
printf 'sqlite3 shell, index scan of 1,000,000 records: %8.1f ms\n' "$shell_ms"
printf 'engine walk reading Sklad and Cislo:            %8.1f ms\n' "$walk_ms"
printf 'ratio engine / shell:                           %8.2f (target: at most about 1.5)\n' \
    "$(awk -v a="$walk_ms" -v b="$shell_ms" 'BEGIN { print a / b }')"
echo "engine: $engine"
