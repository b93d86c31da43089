#!/usr/bin/env bash
# Speed and memory of the check run.
#
# For 100,000, 1,000,000 and 5,000,000 stock items (5 warehouses; a fifth as many master cards) this
# generates an agenda and measures `vrelmont-cli check --checks all` on it: one check at a time
# (--jobs 1: wall time, CPU time, peak memory) and on both cores (--jobs 2: wall time). It has the
# sqlite3 shell find the same findings with window functions (LAG over the same index order,
# check-findings.sql) on copies of the same tables, and our bare index scan
# (vrelmont-bench-bare-scan: the same walks straight on SQLite, no engine layer) count them. It
# makes sure that all found the same. The bare scan runs three times: as the floor of the walks
# alone; with --numbers, where it also reads the number each text-key finding's line names (seeking
# a run's keys once and reading on in step with the walk), the floor of a raw scan that writes the
# report's lines; and with --numbers-in-order ("+in order"), where it reads those numbers in rowid
# order, a batch of findings at a time. The last two are printed for comparison. It prints the best
# of a few runs of each: the shortest wall time and, apart from it, the least CPU time (user +
# system, to the millisecond: CPU time is what other work on the machine disturbs least). What is
# compared runs in rounds, one run of each per round, so that a busy minute does not fall on one
# side only.
#
# Then, on 1,000,000 stock items, it times the same run with --format json, ndjson, csv and xlsx
# against the text report, gives the size of each, and makes sure that they hold as many findings as
# the report.
#
# Targets: the check run's CPU time is at most 1.5 times the bare scan's; on both cores its wall
# time is at most 0.10 times the SQL's; its peak memory (one check at a time) does not grow with the
# table (less than 4 MiB more for fifty times the records); every format takes at most 1.5 times the
# CPU time of the text run, and JSON is at most 3 times the report's size. The exit status is 1 when a
# target is missed or the findings differ.
#
# Usage: bench/check-speed.sh [BUILD_DIR]   (default: build, configured with -DVRELMONT_BUILD_BENCH=ON)
#        RUNS=5 bench/check-speed.sh ...                (rounds per measurement, default 3)
#        SIZES="100000 1000000" bench/check-speed.sh ...  (stock items per agenda)
#        FORMATS_STOCK=200000 bench/check-speed.sh ...    (stock items for the formats, default 1000000)
#        FORMATS_ONLY=1 bench/check-speed.sh ...          (the formats alone)
#        BASELINE_CLI=/old/vrelmont-cli bench/check-speed.sh ...
#            (also times another build's check run, --jobs 1, in the same rounds: before and after a
#            change; its report must be the same)
set -euo pipefail
"$(dirname "$0")/../scripts/install-deps.sh" --bench

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
cli=$build/vrelmont-cli
bare=$build/vrelmont-bench-bare-scan
runs=${RUNS:-3}
sizes=${SIZES:-100000 1000000 5000000}
[[ -n ${FORMATS_ONLY:-} ]] && sizes=""
sql_file=$here/check-findings.sql
baseline=${BASELINE_CLI:-}
for tool in "$cli" "$bare" sqlite3 /usr/bin/time ${baseline:+"$baseline"}; do
    command -v "$tool" >/dev/null || { echo "check-speed: $tool not found" >&2; exit 2; }
done
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")

work=$(mktemp -d "${TMPDIR:-/tmp}/vrelmont-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C

# Runs a command once, its standard output to the file $2, and keeps its figures under the name $1:
# best[$1] (the least wall seconds), cpu[$1] (the least user + system seconds) and peak[$1] (KiB,
# the largest of the runs).
declare -A best cpu peak
once() {
    local name=$1 out=$2
    shift 2
    local TIMEFORMAT='%3R %3U %3S' seconds user system used kib
    { time /usr/bin/time -f '%M' -o "$work/rss" "$@" >"$out" 2>&3; } 3>&2 2>"$work/time"
    read -r seconds user system <"$work/time"
    read -r kib <"$work/rss"
    used=$(awk "BEGIN { print $user + $system }")
    if [[ -z ${best[$name]:-} ]] || awk "BEGIN { exit !($seconds < ${best[$name]}) }"; then best[$name]=$seconds; fi
    if [[ -z ${cpu[$name]:-} ]] || awk "BEGIN { exit !($used < ${cpu[$name]}) }"; then cpu[$name]=$used; fi
    if ((kib > ${peak[$name]:-0})); then peak[$name]=$kib; fi
}

# Runs the commands that are compared with each other in $runs rounds, each once per round, so
# that a busy minute on the machine meets them alike rather than all the runs of one of them. Each
# argument is a name; the command to run is in the array of that name (its first element the
# output file).
rounds() {
    local name i
    for name in "$@"; do unset "best[$name]" "cpu[$name]" "peak[$name]"; done
    for ((i = 0; i < runs; i++)); do
        for name in "$@"; do
            local -n command=$name
            once "$name" "${command[@]}"
            unset -n command
        done
    done
}

failed=0
declare -A check_peak
printf '%-11s %9s %9s %9s %6s %11s %6s %11s %9s %9s %6s %10s %9s\n' 'stock items' 'jobs 1' 'CPU' 'bare CPU' ratio \
    '+numbers' ratio '+in order' 'jobs 2' 'SQL (LAG)' ratio 'peak' findings
for stock in $sizes; do
    cards=$((stock / 5))
    agenda=$work/AGENDA.$stock
    "$cli" generate "$agenda" --cards "$cards" --stock "$stock" --warehouses 5 >/dev/null
    copy=$work/sql-$stock
    mkdir "$copy"
    cp "$agenda"/SKSEZZAS.DAT "$agenda"/SKKMKART.DAT "$copy"/
    cat "$agenda"/*.DAT "$copy"/*.DAT >/dev/null # all start from a warm file cache

    jobs1=("$work/check.txt" "$cli" check "$agenda" --checks all --jobs 1)
    jobs2=("$work/check2.txt" "$cli" check "$agenda" --checks all --jobs 2)
    bare_walks=("$work/bare.txt" "$bare" "$agenda")
    bare_numbers=("$work/bare-numbers.txt" "$bare" "$agenda" --numbers)
    bare_in_order=("$work/bare-in-order.txt" "$bare" "$agenda" --numbers-in-order)
    sql=("$work/sql.txt" sqlite3 -bail :memory: "ATTACH '$copy/SKSEZZAS.DAT' AS s" \
        "ATTACH '$copy/SKKMKART.DAT' AS k" ".read $sql_file")
    if [[ -n $baseline ]]; then
        # shellcheck disable=SC2034 # rounds() reads the command by its name
        baseline1=("$work/baseline.txt" "$baseline" check "$agenda" --checks all --jobs 1)
        rounds jobs1 baseline1 bare_walks bare_numbers bare_in_order
    else
        rounds jobs1 bare_walks bare_numbers bare_in_order
    fi
    rounds jobs2 sql
    one_wall=${best[jobs1]} one_cpu=${cpu[jobs1]}
    check_peak[$stock]=${peak[jobs1]}
    two_wall=${best[jobs2]}
    bare_cpu=${cpu[bare_walks]} # the whole process, as for the check run
    bare_findings=$(sed -n 's/findings=\([0-9]*\).*/\1/p' "$work/bare.txt")
    numbers_cpu=${cpu[bare_numbers]} in_order_cpu=${cpu[bare_in_order]}
    sql_time=${best[sql]}

    grep -E '^(Nalezena|Ke skladové)' "$work/check.txt" | sort >"$work/check.sorted"
    sort "$work/sql.txt" >"$work/sql.sorted"
    findings=$(wc -l <"$work/check.sorted")
    if ! cmp -s "$work/check.sorted" "$work/sql.sorted"; then
        echo "check-speed: the check run and the SQL found different lines for $stock stock items:" >&2
        diff "$work/check.sorted" "$work/sql.sorted" | head -20 >&2
        failed=1
    fi
    if ! cmp -s "$work/check.txt" "$work/check2.txt"; then
        echo "check-speed: --jobs 2 wrote another report than --jobs 1 for $stock stock items" >&2
        failed=1
    fi
    if [[ $bare_findings != "$findings" ]]; then
        echo "check-speed: the bare scan counted $bare_findings findings, the check run $findings" >&2
        failed=1
    fi
    if [[ -n $baseline ]] && ! cmp -s "$work/check.txt" "$work/baseline.txt"; then
        echo "check-speed: $baseline wrote another report for $stock stock items" >&2
        failed=1
    fi
    cpu_ratio=$(awk "BEGIN { printf \"%.2f\", $one_cpu / $bare_cpu }")
    numbers_ratio=$(awk "BEGIN { printf \"%.2f\", $one_cpu / $numbers_cpu }")
    sql_ratio=$(awk "BEGIN { printf \"%.2f\", $two_wall / $sql_time }")
    printf '%-11s %7.3f s %7.3f s %7.3f s %6s %9.3f s %6s %9.3f s %7.3f s %7.2f s %6s %6.1f MiB %9s\n' "$stock" \
        "$one_wall" "$one_cpu" "$bare_cpu" "$cpu_ratio" "$numbers_cpu" "$numbers_ratio" "$in_order_cpu" "$two_wall" \
        "$sql_time" "$sql_ratio" \
        "$(awk "BEGIN { print ${check_peak[$stock]} / 1024 }")" "$findings"
    if [[ -n $baseline ]]; then
        printf '  baseline %s, jobs 1: %.3f s, CPU %.3f s (this build: %.2f times its CPU time)\n' "$baseline" \
            "${best[baseline1]}" "${cpu[baseline1]}" "$(awk "BEGIN { print $one_cpu / ${cpu[baseline1]} }")"
    fi
    if awk "BEGIN { exit !($cpu_ratio > 1.5) }"; then
        echo "  target missed: the check run takes more than 1.5 times the CPU time of the bare scan"
        failed=1
    fi
    if awk "BEGIN { exit !($sql_ratio > 0.10) }"; then
        echo "  target missed: on both cores the check run takes more than 0.10 times the time of the SQL"
        failed=1
    fi
    rm -rf "$agenda" "$copy"
done

# "Flat": the largest table adds less than 4 MiB to the smallest. What may grow is SQLite's page
# cache, which is capped at about 2 MiB per open table (the run holds at most two) and fills only on
# a large table. (--jobs 2 also holds the lines of the checks that wait for their turn.)
read -r -a measured <<<"$sizes"
if ((${#measured[@]} > 0)); then
    small=${check_peak[${measured[0]}]} large=${check_peak[${measured[-1]}]}
    echo "peak memory of the check run: $(awk "BEGIN { printf \"%.1f MiB at %d and %.1f MiB at %d stock items\", \
        $small / 1024, ${measured[0]}, $large / 1024, ${measured[-1]} }")"
    if ((large - small >= 4096)); then
        echo "  target missed: the peak memory grows with the table"
        failed=1
    fi
fi
# Machine-readable output: each group is written once, as the walk finds it, so the cost and the size
# stay near the text report's, and the memory stays flat. Compared by CPU time: the wall time of runs
# on both cores follows whatever else the machine does.
stock=${FORMATS_STOCK:-1000000}
agenda=$work/AGENDA.formats
"$cli" generate "$agenda" --cards $((stock / 5)) --stock "$stock" --warehouses 5 >/dev/null
cat "$agenda"/*.DAT >/dev/null
# shellcheck disable=SC2034 # rounds() reads the commands by their names
{
    text=("$work/formats.txt" "$cli" check "$agenda" --checks all)
    json=("$work/formats.json" "$cli" check "$agenda" --checks all --format json)
    ndjson=("$work/formats.ndjson" "$cli" check "$agenda" --checks all --format ndjson)
    csv=("$work/formats.csv" "$cli" check "$agenda" --checks all --format csv)
    xlsx=("$work/formats.out" "$cli" check "$agenda" --checks all --format xlsx --output "$work/formats.xlsx")
}
rounds text json ndjson csv xlsx
text_time=${best[text]} text_cpu=${cpu[text]} text_peak=${peak[text]}
text_size=$(stat -c %s "$work/formats.txt")
text_findings=$(grep -cE '^(Nalezena|Ke skladové)' "$work/formats.txt")
echo "formats on $stock stock items:"
printf '%-8s %10s %10s %7s %10s %7s %14s %9s\n' format time CPU ratio size ratio peak findings
printf '%-8s %8.2f s %8.2f s %7s %7.1f MB %7s %10.1f MiB %9s\n' text "$text_time" "$text_cpu" 1.00 \
    "$(awk "BEGIN { print $text_size / 1e6 }")" 1.00 "$(awk "BEGIN { print $text_peak / 1024 }")" "$text_findings"
for format in json ndjson csv xlsx; do
    file=$work/formats.$format
    case $format in
    json) found=$(grep -c '"text":' "$file") ;;
    ndjson) found=$(grep -c '^{"type":"finding"' "$file") ;;
    csv) found=$(grep -c '^finding,' "$file") ;;
    xlsx) found=- ;;
    esac
    size=$(stat -c %s "$file")
    ratio=$(awk "BEGIN { printf \"%.2f\", ${cpu[$format]} / $text_cpu }")
    size_ratio=$(awk "BEGIN { printf \"%.2f\", $size / $text_size }")
    printf '%-8s %8.2f s %8.2f s %7s %7.1f MB %7s %10.1f MiB %9s\n' "$format" "${best[$format]}" "${cpu[$format]}" \
        "$ratio" "$(awk "BEGIN { print $size / 1e6 }")" "$size_ratio" "$(awk "BEGIN { print ${peak[$format]} / 1024 }")" \
        "$found"
    if [[ $found != - && $found != "$text_findings" ]]; then
        echo "  $format holds $found findings, the report $text_findings"
        failed=1
    fi
    if awk "BEGIN { exit !($ratio > 1.5) }"; then
        echo "  target missed: $format takes more than 1.5 times the CPU time of the text run"
        failed=1
    fi
    if [[ $format == json ]] && awk "BEGIN { exit !($size_ratio > 3) }"; then
        echo "  target missed: JSON is more than 3 times the size of the report"
        failed=1
    fi
done
exit "$failed"
