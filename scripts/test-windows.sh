#!/usr/bin/env bash
# Builds the Windows programs (scripts/build-windows.sh) and tests them under Wine in a throw-away
# prefix: the core tests, the host engine backend against our test engine, and the protocols of
# vrelmont-cli.exe through that engine compared with the Linux CLI's, byte for byte apart from the
# date line.
#   scripts/test-windows.sh [TARGET...]   TARGET: x86_64 (64-bit Wine), i686 (32-bit Wine); default both
# The 32-bit programs run under the 32-bit Wine of scripts/setup-wine32.sh; where it cannot be set up,
# the 32-bit build is still compiled and the script says why its tests did not run.
# Works as root or as a user with sudo; installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
windows_builds=${VRELMONT_WINDOWS_BUILD_DIR:-$root/build-windows}
export VRELMONT_WINDOWS_BUILD_DIR=$windows_builds
if [ $# -ne 1 ]; then
    targets=("$@")
    [ ${#targets[@]} -gt 0 ] || targets=(x86_64 i686)
    for target in "${targets[@]}"; do "$0" "$target"; done
    exit 0
fi
target=$1
build=$windows_builds/$target

./scripts/build-windows.sh "$target"

. "$root/scripts/lib/debian.sh"
case $target in
    x86_64)
        install_missing_packages wine64
        wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
        # Runs a Windows program or one of Wine's own (wineboot, reg, regsvr32, winepath).
        wine_run() { "$wine" "$@"; }
        wine_server() { "${wine%/*}/wineserver" "$@"; }
        prefix_arch=win64
        ;;
    i686)
        . "$root/scripts/lib/wine32.sh"
        if ! ./scripts/setup-wine32.sh; then
            echo "The 32-bit Windows programs were built but not tested: 32-bit Wine could not be set up (above)."
            exit 0
        fi
        wine_run() {
            if [ -f "$1" ]; then
                wine32_run "$(dirname "$1")" "$(basename "$1")" "${@:2}"
            else
                wine32_run "" "$@"
            fi
        }
        # A 32-bit prefix's server ends by itself a moment after its last program.
        wine_server() { wine32_wait; }
        prefix_arch=win32
        ;;
    *) echo "Unknown Windows target \"$target\": i686 or x86_64" >&2; exit 2 ;;
esac
echo "==== Windows tests of the $target build"

# The Linux CLI of the same sources (in the Linux build of scripts/test.sh) makes the agendas and the
# reference protocols.
linux_build=${VRELMONT_BUILD_DIR:-$root/build}
./scripts/install-deps.sh
[ -f "$linux_build/CMakeCache.txt" ] || cmake -S . -B "$linux_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$linux_build" -j"${VRELMONT_JOBS:-$(nproc)}" --target vrelmont-cli >/dev/null
linux_cli=$linux_build/vrelmont-cli

work=$(mktemp -d "${TMPDIR:-/tmp}/vrelmont-wine.XXXXXX")
cleanup() {
    WINEPREFIX=$work/prefix wine_server -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=$prefix_arch
# Wine reads the command line and file names in the locale's character set: UTF-8 for the Czech names below.
export LC_ALL=C.UTF-8
wine_run wineboot --init >/dev/null 2>&1
# The prefix's services finish setting up after wineboot returns; COM's running object table needs them.
wine_server -w 2>/dev/null || true
windows_path() { wine_run winepath -w "$1" 2>/dev/null; }
cli_exe=$build/vrelmont-cli.exe
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# Runs vrelmont-cli.exe; its standard error goes to $work/err, the exit status to $status.
run_cli() {
    status=0
    wine_run "$cli_exe" "$@" >"$work/out" 2>"$work/err" || status=$?
}

"$linux_cli" demo "$work/DATA" >/dev/null
"$linux_cli" generate "$work/DATA/AGENDA.900" --cards 3000 --stock 7000 --seed 9 >/dev/null

echo "== The engine class not registered"
run_cli check "$(windows_path "$work/DATA/AGENDA.001")" --engine host --checks all
[ "$status" -eq 3 ] || fail "unregistered class: exit status $status"
# The system's text for REGDB_E_CLASSNOTREG; Wine has none, and then the code is named.
not_registered="not registered|OLE error 80040154"
grep -Eqi "$not_registered" "$work/err" || fail "unregistered class: $(cat "$work/err")"
run_cli check "$(windows_path "$work/DATA/AGENDA.001")" --checks 1 --output "$(windows_path "$work/auto.txt")"
[ "$status" -eq 0 ] || fail "automatic choice without the class: exit status $status, $(cat "$work/err")"

# The registry's other view: a class registered there only can be loaded by the other build alone.
if [ "$prefix_arch" = win64 ]; then
    case $target in
        x86_64) other_bits=32 ;;
        i686) other_bits=64 ;;
    esac
    echo "== The engine class registered for ${other_bits}-bit programs only"
    class_key='HKLM\Software\Classes\CLSID\{86BCE057-6381-4224-A0BD-25E115FBAD94}'
    wine_run reg add "$class_key\InprocServer32" /ve /d "C:\\engine$other_bits.dll" /reg:$other_bits /f >/dev/null 2>&1
    run_cli check "$(windows_path "$work/DATA/AGENDA.001")" --engine host --checks 1
    [ "$status" -eq 3 ] && grep -q "jen pro ${other_bits}bitové programy" "$work/err" ||
        fail "a ${other_bits}-bit class through --engine host: $status $(cat "$work/err")"
    run_cli check "$(windows_path "$work/DATA/AGENDA.001")" --checks 1
    [ "$status" -eq 0 ] && grep -q "Čtou se soubory tabulek" "$work/err" ||
        fail "a ${other_bits}-bit class through the automatic choice: $status $(cat "$work/err")"
    wine_run reg delete "$class_key" /reg:$other_bits /f >/dev/null 2>&1
else
    echo "== (A 32-bit prefix has one registry view: the other bitness's registration is tested with the x86_64 build.)"
fi

echo "== Registering the test engine"
wine_run regsvr32 /s "$(windows_path "$build/vrelmont-test-engine.dll")" ||
    { echo "regsvr32 failed" >&2; exit 1; }

if [ "$prefix_arch" = win64 ]; then
    # Registered for both bitnesses, as a host may install it: each build loads its own.
    echo "== The engine class registered in both registry views"
    wine_run reg add "$class_key\InprocServer32" /ve /d "C:\\engine$other_bits.dll" /reg:$other_bits /f >/dev/null 2>&1
    run_cli check "$(windows_path "$work/DATA/AGENDA.001")" --checks 1
    [ "$status" -eq 0 ] && grep -q "databázovým strojem" "$work/err" ||
        fail "a class in both views through the automatic choice: $status $(cat "$work/err")"
    wine_run reg delete "$class_key" /reg:$other_bits /f >/dev/null 2>&1
fi

echo "== Core tests under Wine"
start=$(date +%s)
(cd "$build" && wine_run ./vrelmont_core_tests.exe --gtest_brief=1) || fail "core tests"
echo "Core tests under Wine took $(($(date +%s) - start)) s"

echo "== Command-line tests under Wine"
start=$(date +%s)
(cd "$build" && wine_run ./vrelmont_cli_tests.exe --gtest_brief=1) || fail "command-line tests"
echo "Command-line tests under Wine took $(($(date +%s) - start)) s"

echo "== Protocols through the host engine against the Linux CLI"
start=$(date +%s)
for agenda in "$work"/DATA/AGENDA.*; do
    name=$(basename "$agenda")
    "$linux_cli" check "$agenda" --checks all --output "$work/$name.linux.txt" >/dev/null
    run_cli check "$(windows_path "$agenda")" --engine host --checks all --output "$(windows_path "$work/$name.host.txt")"
    [ "$status" -eq 0 ] || fail "$name: exit status $status, $(cat "$work/err")"
    # The date line ("Datum: ...") is the only one that may differ.
    if cmp -s <(grep -av '^Datum: ' "$work/$name.linux.txt") <(grep -av '^Datum: ' "$work/$name.host.txt"); then
        echo "$name: identical ($(wc -l <"$work/$name.host.txt") lines)"
    else
        fail "$name: the protocols differ"
        diff <(grep -av '^Datum: ' "$work/$name.linux.txt") <(grep -av '^Datum: ' "$work/$name.host.txt") | head -20 >&2 || true
    fi
done

# An engine may answer its numbers as other types, expose operations as properties, give an empty
# field as nothing or as a null, or keep number fields as doubles, texts or dates and seek them so.
for variant in VRELMONT_TEST_ENGINE_ANSWERS=I2 VRELMONT_TEST_ENGINE_ANSWERS=R8 VRELMONT_TEST_ENGINE_ANSWERS=BSTR \
    VRELMONT_TEST_ENGINE_PROPERTIES=1 VRELMONT_TEST_ENGINE_EMPTY_FIELDS=NULL VRELMONT_TEST_ENGINE_EMPTY_FIELDS=EMPTY \
    VRELMONT_TEST_ENGINE_NUMBER_FIELDS=R8 VRELMONT_TEST_ENGINE_NUMBER_FIELDS=BSTR VRELMONT_TEST_ENGINE_NUMBER_FIELDS=DATE; do
    variant_failures=$failures
    for name in AGENDA.001 AGENDA.900; do
        (export "${variant?}" && wine_run "$cli_exe" check "$(windows_path "$work/DATA/$name")" --engine host \
            --checks all --output "$(windows_path "$work/$name.variant.txt")" >/dev/null 2>"$work/err") ||
            fail "$name with $variant: $(cat "$work/err")"
        if ! cmp -s <(grep -av '^Datum: ' "$work/$name.linux.txt") <(grep -av '^Datum: ' "$work/$name.variant.txt"); then
            fail "$name with $variant: the protocol differs from the Linux CLI's"
            diff <(grep -av '^Datum: ' "$work/$name.linux.txt") <(grep -av '^Datum: ' "$work/$name.variant.txt") |
                head -6 >&2 || true
        fi
    done
    [ "$failures" -eq "$variant_failures" ] && echo "$variant: the protocols are identical"
done
echo "Protocols took $(($(date +%s) - start)) s"

echo "== Engine failures through vrelmont-cli.exe"
agenda=$(windows_path "$work/DATA/AGENDA.001")
VRELMONT_TEST_ENGINE_REFUSE_DEFAULT=1 run_cli check "$agenda" --engine host
[ "$status" -eq 3 ] && grep -q "Interface not supported" "$work/err" ||
    fail "object without the default interface: $status $(cat "$work/err")"
# ASCII: Wine hands the environment over in the C locale's code page. The core tests cover Czech texts.
VRELMONT_TEST_ENGINE_FAIL="SetIndex:Index Sklad+Cislo is damaged." run_cli check "$agenda" --engine host
[ "$status" -eq 3 ] && grep -q "^vrelmont-cli check: Index Sklad+Cislo is damaged$" "$work/err" ||
    fail "failing engine call: $status $(cat "$work/err")"
# A free-threaded engine lives in the process's other apartment and reaches this thread through a
# proxy, which the engine's interface does not have.
server_key='HKLM\Software\Classes\CLSID\{86BCE057-6381-4224-A0BD-25E115FBAD94}\InprocServer32'
wine_run reg add "$server_key" /v ThreadingModel /d Free /f >/dev/null 2>&1
run_cli check "$agenda" --engine host --checks 1
[ "$status" -eq 3 ] && grep -q "s modelem vláken Free, a tak" "$work/err" ||
    fail "a free-threaded engine: $status $(cat "$work/err")"
wine_run reg add "$server_key" /v ThreadingModel /d Apartment /f >/dev/null 2>&1
run_cli check "$agenda" --engine files --checks all --output "$(windows_path "$work/files.txt")"
[ "$status" -eq 0 ] && cmp -s <(grep -av '^Datum: ' "$work/files.txt") <(grep -av '^Datum: ' "$work/AGENDA.001.linux.txt") ||
    fail "the table files backend on Windows: $status $(cat "$work/err")"

echo "== Findings as json and csv through the host engine, as through the table files"
# The time of the run and the seconds each check took differ from run to run.
without_times() {
    sed -E 's/"generated_at":"[^"]*"/"generated_at":_/; s/"elapsed_s":([0-9.]+|null)/"elapsed_s":_/g;
        s/,[0-9]+\.[0-9]+(\r?)$/,_\1/' "$1"
}
for name in AGENDA.001 AGENDA.900; do
    for format in json csv; do
        run_cli check "$(windows_path "$work/DATA/$name")" --engine files --checks all --format "$format"
        files_status=$status
        mv "$work/out" "$work/$name.files.$format"
        run_cli check "$(windows_path "$work/DATA/$name")" --engine host --checks all --format "$format"
        [ "$status" -eq 0 ] && [ "$files_status" -eq 0 ] ||
            fail "$name --format $format: exit status $status (files $files_status), $(cat "$work/err")"
        if cmp -s <(without_times "$work/$name.files.$format") <(without_times "$work/out"); then
            echo "$name --format $format: identical ($(wc -c <"$work/out") bytes)"
        else
            fail "$name --format $format: the host engine's findings differ from the table files'"
            diff <(without_times "$work/$name.files.$format") <(without_times "$work/out") | head -10 >&2 || true
        fi
    done
done
run_cli check "$agenda" --engine host --checks all --format json --fail-on-findings
[ "$status" -eq 4 ] || fail "--fail-on-findings through the host engine: exit status $status, $(cat "$work/err")"

echo "== Czech folder names"
czech=$work/Účetnictví/DATA
mkdir -p "$czech"
cp -r "$work/DATA/AGENDA.001" "$czech/"
for engine in files host; do
    run_cli check "$(windows_path "$czech/AGENDA.001")" --engine "$engine" --checks all \
        --output "$(windows_path "$czech")\\Protokol č. 1.txt"
    [ "$status" -eq 0 ] && cmp -s <(grep -av '^Datum: ' "$czech/Protokol č. 1.txt") \
        <(grep -av '^Datum: ' "$work/AGENDA.001.linux.txt") ||
        fail "a Czech folder through the $engine backend: $status $(cat "$work/err")"
    rm -f "$czech/Protokol č. 1.txt"
done
new_agenda="$(windows_path "$work/Účetnictví")\\Nová agenda"
run_cli create-agenda "$new_agenda" --name "Železářství Čápová"
[ "$status" -eq 0 ] && [ -f "$work/Účetnictví/Nová agenda/SKSEZZAS.DAT" ] ||
    fail "create-agenda into a Czech folder: $status $(cat "$work/err")"
printf 'Sklad;Cislo;Popis\r\n1;5;Šroub\r\n1;5;Matice\r\n' >"$work/Účetnictví/zásoby.csv"
run_cli import "$new_agenda" SKSEZZAS "$(windows_path "$work/Účetnictví")\\zásoby.csv"
[ "$status" -eq 0 ] || fail "import from and into Czech folders: $status $(cat "$work/err")"
run_cli check "$new_agenda" --engine host --checks 1
[ "$status" -eq 0 ] && grep -q "^Nalezena duplicitní skladová zásoba č. 5 ve skladu č. 1" "$work/out" ||
    fail "the imported Czech agenda through the host engine: $status $(cat "$work/err") $(cat "$work/out")"
run_cli demo "$(windows_path "$work/Účetnictví")\\Ukázková data"
[ "$status" -eq 0 ] && [ -f "$work/Účetnictví/Ukázková data/AGENDA.001/SKSEZZAS.DAT" ] ||
    fail "demo into a Czech folder: $status $(cat "$work/err")"

echo "== Folder names that Windows would shorten are refused"
# AGENDA.001 beside "AGENDA.001 " and "AGENDA.001.": Windows would read the first for the others.
mkdir -p "$work/Shortened"
cp -r "$work/DATA/AGENDA.001" "$work/Shortened/AGENDA.001"
for name in "AGENDA.001 " "AGENDA.001."; do cp -r "$work/DATA/AGENDA.002" "$work/Shortened/$name"; done
for name in "AGENDA.001 " "AGENDA.001."; do
    for engine in files host; do
        run_cli check "$(windows_path "$work/Shortened")\\$name" --engine "$engine" --checks all
        [ "$status" -eq 3 ] && grep -q "nelze číst tak, jak je zadána" "$work/err" && [ ! -s "$work/out" ] ||
            fail "\"$name\" through the $engine backend: $status $(cat "$work/err")"
    done
done
run_cli check "$(windows_path "$work/DATA/AGENDA.001")" --checks 1 --output "$(windows_path "$work/Shortened")\\protokol.txt."
[ "$status" -ne 0 ] && [ ! -e "$work/Shortened/protokol.txt" ] ||
    fail "a protocol named with a trailing dot: $status $(cat "$work/err")"

echo "== Unregistering the test engine"
wine_run regsvr32 /s /u "$(windows_path "$build/vrelmont-test-engine.dll")" || fail "regsvr32 /u"
run_cli check "$agenda" --engine host
grep -Eqi "$not_registered" "$work/err" || fail "after unregistering: $(cat "$work/err")"

if [ "$failures" -gt 0 ]; then
    echo "$failures Windows test(s) failed" >&2
    exit 1
fi
echo "All Windows tests passed"
