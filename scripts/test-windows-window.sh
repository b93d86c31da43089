#!/usr/bin/env bash
# Drives the packaged window vrelmont.exe under Wine in a virtual display, as a person would, and
# tests the installer: needs Qt for Windows in its cache folder (scripts/build-qt-windows.sh).
#   - the portable folder: the data directory window finds the DATA folder through the registry;
#     the directory dialog; Další, the agenda window, OK, the main window, Start with all checks,
#     Uložit protokol, Info, Konec.
#     The saved protocol equals the Linux CLI's byte for byte, the date line aside; Vrelmont.ini holds
#     the sixteen keys; the tables were read through the COM test engine.
#   - the installer installs silently; the installed program keeps its settings in %APPDATA% when its
#     folder cannot be written; the uninstaller removes what it installed and leaves the user's files.
# Screenshots of every window go to build-windows/x86_64/window-test-screenshots/.
# Works as root or as a user with sudo; installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
windows_builds=${VRELMONT_WINDOWS_BUILD_DIR:-$root/build-windows}
export VRELMONT_WINDOWS_BUILD_DIR=$windows_builds
# The 64-bit programs run under Debian's 64-bit Wine; the package holds both builds.
build=$windows_builds/x86_64
dist=${VRELMONT_WINDOWS_DIST_DIR:-$root/dist-windows}
export VRELMONT_WINDOWS_DIST_DIR=$dist

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
for target in i686 x86_64; do
    qt_prefix=${VRELMONT_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vrelmont}/qt-${qt_version%%+*}-win32-g++-$target
    if [ -z "$qt_version" ] || [ ! -f "$qt_prefix/.complete" ]; then
        echo "The Windows window was not tested: Qt for Windows is not in $qt_prefix" \
            "(build it with scripts/build-qt-windows.sh $target, about half an hour)."
        exit 0
    fi
done

. "$root/scripts/lib/debian.sh"
install_missing_packages wine64 fonts-wine xvfb xauth xdotool imagemagick
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=${wine%/*}/wineserver

./scripts/build-windows.sh >/dev/null
./scripts/package-windows.sh
linux_build=${VRELMONT_BUILD_DIR:-$root/build}
[ -f "$linux_build/CMakeCache.txt" ] || cmake -S . -B "$linux_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$linux_build" -j"${VRELMONT_JOBS:-$(nproc)}" --target vrelmont-cli >/dev/null
linux_cli=$linux_build/vrelmont-cli

started=$(date +%s)
work=$(mktemp -d "${TMPDIR:-/tmp}/vrelmont-wine-window.XXXXXX")
shots=$build/window-test-screenshots
rm -rf "$shots"
mkdir -p "$shots"
xvfb_pid=
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    chattr -i "$work/prefix/drive_c/Program Files/Vrelmont/x64" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display of our own; Xvfb names a free one.
exec 5> >(cat >"$work/display")
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 5>&-
for _ in $(seq 1 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 LC_ALL=C.UTF-8
"$wine" wineboot --init >/dev/null 2>&1
"$wineserver" -w 2>/dev/null || true
windows_path() { "$wine" winepath -w "$1" 2>/dev/null; }

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The first visible window whose title is exactly $1; waits up to $2 seconds (30).
wait_window() {
    local deadline=$(($(date +%s) + ${2:-30})) id
    while [ "$(date +%s)" -le "$deadline" ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.3
    done
    return 1
}
# Waits until no visible window has the title $1; up to $2 seconds (30).
wait_gone() {
    local deadline=$(($(date +%s) + ${2:-30}))
    while [ "$(date +%s)" -le "$deadline" ]; do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.3
    done
    return 1
}
# The program's top-level X windows at least $1 pixels wide, one id a line. Wine gives a main window
# and the save dialog no map state that xdotool calls visible, so they are found by their size.
program_windows() {
    local w width
    for w in $(xdotool search --class 'vrelmont\.exe' 2>/dev/null); do
        width=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
        [ -n "$width" ] && [ "$width" -ge "$1" ] && echo "$w"
    done | sort
}
# The first window at least $2 pixels wide that is not among the windows $1 (from program_windows).
new_window() { comm -13 <(echo "$1") <(program_windows "$2") | head -1; }
screenshot() { import -window root "$shots/$1.png"; }
# Clicks at the point ($2, $3) of the window $1's client area.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.3
}
press() {
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key --clearmodifiers "$2"
}

# The DATA folder as the host system's setup names it: Program Files (the 32-bit view of the
# registry) holds CIGLER SOFTWARE\Common Files\setup.ini, which names the folder of mons3.ini.
"$linux_cli" demo "$work/DATA" >/dev/null
mkdir -p "$work/ProgramFiles/CIGLER SOFTWARE/Common Files" "$work/Money"
printf '[InstParams]\r\nLocalPath=%s\r\n' "$(windows_path "$work/Money")" \
    >"$work/ProgramFiles/CIGLER SOFTWARE/Common Files/setup.ini"
printf '[Directory]\r\nDataRoot=%s\r\n' "$(windows_path "$work/DATA")" >"$work/Money/mons3.ini"
"$wine" reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir /t REG_SZ \
    /d "$(windows_path "$work/ProgramFiles")" /reg:32 /f >/dev/null 2>&1
"$wine" regsvr32 /s "$(windows_path "$build/vrelmont-test-engine.dll")" || { echo "regsvr32 failed" >&2; exit 1; }
engine_log=$work/engine.log
export VRELMONT_TEST_ENGINE_LOG
VRELMONT_TEST_ENGINE_LOG=$(windows_path "$engine_log")

# Runs the window of $1 in the background to the main window: Další on the data directory window
# and OK on the agenda window. Screenshots are named after $2.
run_to_main_window() {
    "$wine" "$1" >"$work/window.out" 2>&1 &
    window_pid=$!
    local id
    id=$(wait_window "Nastavení cesty k Money" 60) || { fail "$2: no data directory window"; return 1; }
    sleep 1
    screenshot "$2-1-data-directory"
    if [ "$2" = portable ]; then
        # "<>" unlocks the path; the same button, now "...", opens the directory dialog, closed unused.
        local before dialog
        before=$(program_windows 100)
        click "$id" 372 74
        click "$id" 372 74
        sleep 1
        dialog=$(new_window "$before" 100)
        if [ -n "$dialog" ]; then
            sleep 1
            screenshot "$2-1-directory-dialog"
            click "$dialog" 205 52 # Zpět
            local waited
            for waited in $(seq 1 20); do
                [ -z "$(new_window "$before" 100)" ] && break
                sleep 0.5
            done
            [ "$waited" -lt 20 ] || fail "$2: Zpět left the directory dialog open"
            sleep 1
        else
            fail "$2: no directory dialog on \"...\""
        fi
        # The focus stays on "...": Další is clicked.
        click "$id" 349 124
    else
        press "$id" Return
    fi
    id=$(wait_window "Výběr agendy") || { fail "$2: no agenda window after Další"; screenshot "$2-failed"; return 1; }
    sleep 1
    screenshot "$2-2-agenda"
    # No agenda is chosen at first: the first one is clicked, then OK.
    click "$id" 60 40
    press "$id" Return
    main_window=
    local deadline=$(($(date +%s) + 30)) w
    while [ -z "$main_window" ] && [ "$(date +%s)" -le "$deadline" ]; do
        for w in $(xdotool search --name '^Vrelmont$' 2>/dev/null); do
            [ "$(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')" -gt 400 ] && main_window=$w
        done
        [ -n "$main_window" ] || sleep 0.3
    done
    [ -n "$main_window" ] || { fail "$2: no main window after OK"; screenshot "$2-failed"; return 1; }
    sleep 1
}
# Ends the window's program without asking it, after a failure.
stop_program() { kill "$window_pid" 2>/dev/null || true; "$wineserver" -k 2>/dev/null || true; sleep 1; }
# Konec on the main window; the program must end.
end_program() {
    click "$main_window" 488 452
    local deadline=$(($(date +%s) + 30))
    while kill -0 "$window_pid" 2>/dev/null && [ "$(date +%s)" -le "$deadline" ]; do sleep 0.3; done
    kill -0 "$window_pid" 2>/dev/null && { fail "$1: the program did not end on Konec"; return 1; }
    return 0
}

echo "== The portable folder"
portable=$work/Vrelmont
cp -r "$dist/Vrelmont" "$portable"
# All fifteen checks, and no data path: the registry finds it.
{
    printf '[SETTING]\r\n'
    for n in $(seq -w 1 15); do printf 'Check%s=1\r\n' "$n"; done
} >"$portable/x64/Vrelmont.ini"
if run_to_main_window "$portable/x64/vrelmont.exe" portable; then
    screenshot portable-3-main
    click "$main_window" 56 452 # Start
    # Uložit protokol is disabled while the checks run: it answers once they have ended.
    protocol=$work/protokol.txt
    deadline=$(($(date +%s) + 120))
    dialog=
    before=$(program_windows 300)
    sleep 2
    screenshot portable-4-finished
    while [ -z "$dialog" ] && [ "$(date +%s)" -le "$deadline" ]; do
        click "$main_window" 248 452
        sleep 1
        dialog=$(new_window "$before" 300)
    done
    if [ -z "$dialog" ]; then
        fail "portable: no save dialog on Uložit protokol"
        stop_program
    else
        screenshot portable-5-save-dialog
        xdotool windowfocus --sync "$dialog" 2>/dev/null || true
        xdotool type --delay 20 "$(windows_path "$protocol")"
        xdotool key Return
        for _ in $(seq 1 50); do [ -s "$protocol" ] && break; sleep 0.2; done
        sleep 1
        screenshot portable-6-saved
        before=$(program_windows 100)
        click "$main_window" 413 452 # Info
        sleep 1
        info=$(new_window "$before" 100)
        if [ -n "$info" ]; then
            screenshot portable-7-info
            press "$info" Return
            sleep 1
        else
            fail "portable: no information window on Info"
        fi
        end_program portable || stop_program
    fi
    agenda_name=$(sed -n '3s/^Agenda: //p' "$protocol" 2>/dev/null | tr -d '\r')
    reference=
    for agenda in "$work"/DATA/AGENDA.*; do
        "$linux_cli" check "$agenda" --checks all --output "$work/reference.txt" >/dev/null
        [ "$(sed -n '3s/^Agenda: //p' "$work/reference.txt" | tr -d '\r')" = "$agenda_name" ] && { reference=$work/reference.txt; break; }
    done
    if [ ! -s "$protocol" ]; then
        fail "portable: no protocol saved"
    elif [ -z "$reference" ]; then
        fail "portable: the protocol names no demo agenda (\"$agenda_name\")"
    elif cmp -s <(grep -av '^Datum: ' "$reference") <(grep -av '^Datum: ' "$protocol"); then
        echo "portable: the protocol of \"$(iconv -f CP1250 -t UTF-8 <<<"$agenda_name")\" equals the Linux CLI's" \
            "($(wc -l <"$protocol") lines); $(grep -ac '^OpenTable' "$engine_log" 2>/dev/null) tables opened through COM"
    else
        fail "portable: the protocol differs from the Linux CLI's"
        diff <(grep -av '^Datum: ' "$reference") <(grep -av '^Datum: ' "$protocol") | head -20 >&2 || true
    fi
    keys=$(grep -acE '^(MoneyDataRoot|Check(0[1-9]|1[0-5]))=' "$portable/x64/Vrelmont.ini" || true)
    [ "$keys" -eq 16 ] || fail "portable: Vrelmont.ini holds $keys of the sixteen keys"
    grep -aqF "MoneyDataRoot=$(windows_path "$work/DATA")" "$portable/x64/Vrelmont.ini" ||
        fail "portable: Vrelmont.ini does not name the DATA folder: $(cat "$portable/x64/Vrelmont.ini")"
    grep -aq "^OpenTable .*SKSEZZAS" "$engine_log" 2>/dev/null ||
        fail "portable: the window did not read through the COM test engine"
else
    stop_program
fi

echo "== The installer"
installer=$(ls "$dist"/Vrelmont-*-setup.exe)
"$wine" "$installer" /S
timeout 120 "$wineserver" -w 2>/dev/null || true
installed="$work/prefix/drive_c/Program Files/Vrelmont"
# The 64-bit programs too: the test engine is registered for 64-bit programs.
for file in vrelmont.exe vrelmont-cli.exe Qt6Widgets.dll platforms/qwindows.dll Vrelmont.html Odinstalovat.exe \
    x64/vrelmont.exe x64/Qt6Widgets.dll x64/platforms/qwindows.dll; do
    [ -f "$installed/$file" ] || fail "installer: no $file in Program Files"
done
[ -f "$work/prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vrelmont.lnk" ] ||
    fail "installer: no Start-menu shortcut"
# Program Files closed to the user, as on Windows: root needs the immutable flag, others the mode.
closed=
if [ "$(id -u)" -eq 0 ]; then
    chattr +i "$installed/x64" 2>/dev/null && closed=1
else
    chmod a-w "$installed/x64" && closed=1
fi
if run_to_main_window "$installed/x64/vrelmont.exe" installed; then
    screenshot installed-3-main
    end_program installed || stop_program
    roaming=$work/prefix/drive_c/users/$(id -un)/AppData/Roaming
    [ -d "$roaming" ] || roaming=$(ls -d "$work"/prefix/drive_c/users/*/AppData/Roaming | head -1)
    if [ -n "$closed" ]; then
        [ -f "$roaming/Vrelmont/Vrelmont.ini" ] && [ ! -e "$installed/x64/Vrelmont.ini" ] ||
            fail "installed: the settings are not in %APPDATA%\\Vrelmont"
        echo "installed: the settings went to %APPDATA%\\Vrelmont\\Vrelmont.ini"
    else
        echo "installed: Program Files could not be closed here; the settings beside the program"
        [ -f "$installed/x64/Vrelmont.ini" ] || fail "installed: no Vrelmont.ini beside the program"
    fi
else
    stop_program
fi
[ "$(id -u)" -eq 0 ] && chattr -i "$installed/x64" 2>/dev/null || chmod u+w "$installed/x64"

echo "== The uninstaller"
# A user's own files in the program's folder stay.
printf '[PATH]\r\n' >"$installed/Vrelmont.ini"
printf 'protokol\r\n' >"$installed/protokol.txt"
"$wine" "$installed/Odinstalovat.exe" /S
timeout 120 "$wineserver" -w 2>/dev/null || true
left=$(cd "$installed" && find . -type f | sort | tr '\n' ' ')
[ "$left" = "./Vrelmont.ini ./protokol.txt " ] || fail "uninstaller: left in Program Files: $left"
[ -e "$work/prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vrelmont.lnk" ] &&
    fail "uninstaller: the Start-menu shortcut stays"
"$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vrelmont' >/dev/null 2>&1 &&
    fail "uninstaller: the uninstall entry stays"

echo "Screenshots: $shots"
echo "The window test under Wine took $(($(date +%s) - started)) s"
if [ "$failures" -gt 0 ]; then
    echo "$failures window test(s) under Wine failed" >&2
    exit 1
fi
echo "All window tests under Wine passed"
