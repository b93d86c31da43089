#!/bin/sh
# Compiles the window's sources for Windows with mingw-w64, syntax only. The package registries
# have no Qt for Windows, so Debian's Qt 6 headers stand in for it: this catches code that does not
# build for Windows (a missing header, a POSIX call), not a difference between Qt's two builds.
set -eu
cd "$(dirname "$0")/.."
# Debian's Qt headers come with the Linux dependencies, the compiler with the Windows build.
./scripts/install-deps.sh --run >/dev/null
command -v x86_64-w64-mingw32-g++-posix >/dev/null || {
    echo "check-windows-ui: no mingw-w64 compiler; run ./scripts/build-windows.sh first" >&2
    exit 1
}
qt=$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)
status=0
for source in src/ui/*/*.cpp; do
    if ! x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra -Wsign-conversion -Werror \
        -Wno-attributes -DUNICODE -D_UNICODE -Isrc/core -Isrc/ui \
        -isystem "$qt" -isystem "$qt/QtWidgets" -isystem "$qt/QtGui" -isystem "$qt/QtCore" "$source"; then
        echo "check-windows-ui: $source does not compile for Windows" >&2
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "The window's sources compile for Windows (syntax only)."
exit "$status"
