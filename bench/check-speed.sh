#!/usr/bin/env bash
# Speed and memory of the check run.
#
# For 100,000 and 1,000,000 stock items (5 warehouses; a fifth as many master cards) this generates
# an agenda, runs `vrelmont-cli check --checks all` on it, and has the sqlite3 shell find the same
# findings with window functions (LAG over the same index order, check-findings.sql) on copies of the
# same tables. It makes sure that both found the same lines, then prints the best of a few runs of
# each, their ratio and the peak memory of the check run.
#
# Then, on 200,000 stock items, it times the same run with --format json and --format csv against
# the text report, and makes sure that they hold as many findings as the report.
#
# Targets: the check run takes at most half the time of the SQL; its peak memory does not grow with
# the table (less than 4 MiB more for ten times the records); JSON and CSV take at most 1.5 times
# the text run. The exit status is 1 when a target is missed or the findings differ.
#
# Usage: bench/check-speed.sh [BUILD_DIR]   (default: build)
#        RUNS=5 bench/check-speed.sh ...                (runs per measurement, default 3)
set -euo pipefail
"$(dirname "$0")/../scripts/install-deps.sh" --bench

here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build}/vrelmont-cli
runs=${RUNS:-3}
sql_file=$here/check-findings.sql
for tool in "$cli" sqlite3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "check-speed: $tool not found" >&2; exit 2; }
done
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")

work=$(mktemp -d "${TMPDIR:-/tmp}/vrelmont-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C

# Runs a command $runs times, its standard output to the file $1; sets best (seconds) and peak
# (KiB, the largest of the runs).
measure() {
    local out=$1
    shift
    best='' peak=0
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f '%e %M' -o "$work/time" "$@" >"$out"
        read -r seconds kib <"$work/time"
        if [[ -z $best ]] || awk "BEGIN { exit !($seconds < $best) }"; then best=$seconds; fi
        if ((kib > peak)); then peak=$kib; fi
    done
}

failed=0
declare -A check_peak
printf '%-12s %-8s %10s %10s %7s %14s %9s\n' 'stock items' cards 'check run' 'SQL (LAG)' ratio 'check peak' findings
for stock in 100000 1000000; do
    cards=$((stock / 5))
    agenda=$work/AGENDA.$stock
    "$cli" generate "$agenda" --cards "$cards" --stock "$stock" --warehouses 5 >/dev/null
    copy=$work/sql-$stock
    mkdir "$copy"
    cp "$agenda"/SKSEZZAS.DAT "$agenda"/SKKMKART.DAT "$copy"/
    cat "$agenda"/*.DAT "$copy"/*.DAT >/dev/null # both start from a warm file cache

    measure "$work/check.txt" "$cli" check "$agenda" --checks all
    check_time=$best
    check_peak[$stock]=$peak
    measure "$work/sql.txt" sqlite3 -bail :memory: "ATTACH '$copy/SKSEZZAS.DAT' AS s" \
        "ATTACH '$copy/SKKMKART.DAT' AS k" ".read $sql_file"
    sql_time=$best

    grep -E '^(Nalezena|Ke skladové)' "$work/check.txt" | sort >"$work/check.sorted"
    sort "$work/sql.txt" >"$work/sql.sorted"
    findings=$(wc -l <"$work/check.sorted")
    if ! cmp -s "$work/check.sorted" "$work/sql.sorted"; then
        echo "check-speed: the check run and the SQL found different lines for $stock stock items:" >&2
        diff "$work/check.sorted" "$work/sql.sorted" | head -20 >&2
        failed=1
    fi
    ratio=$(awk "BEGIN { printf \"%.2f\", $check_time / $sql_time }")
    printf '%-12s %-8s %8.2f s %8.2f s %7s %10.1f MiB %9s\n' "$stock" "$cards" "$check_time" "$sql_time" "$ratio" \
        "$(awk "BEGIN { print ${check_peak[$stock]} / 1024 }")" "$findings"
    if awk "BEGIN { exit !($ratio > 0.5) }"; then
        echo "  target missed: the check run takes more than half the time of the SQL"
        failed=1
    fi
    rm -rf "$agenda" "$copy"
done

# "Flat": the tenfold table adds less than 4 MiB. What may grow is SQLite's page cache, which is
# capped at about 2 MiB per open table (the run holds at most two) and fills only on a large table.
small=${check_peak[100000]} large=${check_peak[1000000]}
echo "peak memory of the check run: $(awk "BEGIN { printf \"%.1f MiB at 100,000 and %.1f MiB at 1,000,000 stock items\", \
    $small / 1024, $large / 1024 }")"
if ((large - small >= 4096)); then
    echo "  target missed: the peak memory grows with the table"
    failed=1
fi
# Machine-readable output: the groups come from the run the walk is on, so the cost stays near
# the text report's, and the memory stays flat.
stock=200000
agenda=$work/AGENDA.formats
"$cli" generate "$agenda" --cards $((stock / 5)) --stock $stock --warehouses 5 >/dev/null
cat "$agenda"/*.DAT >/dev/null
measure "$work/formats.txt" "$cli" check "$agenda" --checks all
text_time=$best text_peak=$peak
text_findings=$(grep -cE '^(Nalezena|Ke skladové)' "$work/formats.txt")
printf '%-12s %10s %7s %14s %9s\n' format time ratio peak findings
printf '%-12s %8.2f s %7s %10.1f MiB %9s\n' text "$text_time" 1.00 "$(awk "BEGIN { print $text_peak / 1024 }")" \
    "$text_findings"
for format in json csv; do
    measure "$work/formats.$format" "$cli" check "$agenda" --checks all --format "$format"
    if [[ $format == json ]]; then
        found=$(grep -c '"text": ' "$work/formats.$format")
    else
        found=$(($(wc -l <"$work/formats.$format") - 1))
    fi
    ratio=$(awk "BEGIN { printf \"%.2f\", $best / $text_time }")
    printf '%-12s %8.2f s %7s %10.1f MiB %9s\n' "$format" "$best" "$ratio" "$(awk "BEGIN { print $peak / 1024 }")" "$found"
    if [[ $found != "$text_findings" ]]; then
        echo "  $format holds $found findings, the report $text_findings"
        failed=1
    fi
    if awk "BEGIN { exit !($ratio > 1.5) }"; then
        echo "  target missed: $format takes more than 1.5 times the text run"
        failed=1
    fi
done
exit "$failed"
