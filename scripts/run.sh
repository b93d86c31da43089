#!/usr/bin/env bash
# Installs what is missing, builds the program, prepares the demo DATA directory and starts Vrelmont.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=${VRELMONT_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
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
Vrelmont is built, but there is no graphical display here (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run it on a desktop, or in a virtual display:
    xvfb-run -a -s "-screen 0 1024x768x24" ./scripts/run.sh
The checks also run without a display:
    $build/vrelmont-cli check "$demo/AGENDA.001" --checks all
MSG
    exit 1
fi
exec "$build/vrelmont"
