#!/usr/bin/env bash
# Installs what is missing, builds the program, prepares the demo DATA directory and starts Vrelmont.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --run
build=${VRELMONT_BUILD_DIR:-build}
# Running needs no test framework; scripts/test.sh switches the tests on again.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRELMONT_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target vrelmont vrelmont-cli

demo="$PWD/demo-data"
if [ ! -d "$demo" ]; then
    "$build/vrelmont-cli" demo "$demo"
    echo "Demo DATA directory created: $demo"
fi
# A first start finds the demo data already filled in; an existing settings file is left alone.
settings="$build/Vrelmont.ini"
if [ ! -f "$settings" ]; then
    printf '[PATH]\r\nMoneyDataRoot=%s/\r\n' "$demo" >"$settings"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<MSG
Vrelmont is built, but there is no graphical display here (neither DISPLAY nor WAYLAND_DISPLAY is set),
so its windows cannot be shown. To work with it, start it on a desktop (or over ssh -X).
The checks themselves run without a display:
    $build/vrelmont-cli check "$demo/AGENDA.001" --checks all
A virtual display (xvfb-run -a ./scripts/run.sh) starts the program where nobody can see it: good only
for automated checks and screenshots, not for working with it.
MSG
    exit 1
fi
exec "$build/vrelmont"
