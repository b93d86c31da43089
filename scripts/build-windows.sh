#!/usr/bin/env bash
# Cross-builds the Qt-free core, vrelmont-cli.exe, the core tests and the test engine for Windows with
# Debian's mingw-w64 compilers, for each target named (i686, x86_64; both when none is named), into
# build-windows/<target>/. The host's engine is an in-process COM server, which only a program of its
# own bitness can load, so both are built. SQLite is built from Debian's own sqlite3 source package and
# GoogleTest from the source that libgtest-dev ships. When Qt for Windows of a target is in its cache
# folder (scripts/build-qt-windows.sh), the window vrelmont.exe is built for it too.
# Works as root or as a user with sudo; installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
windows_builds=${VRELMONT_WINDOWS_BUILD_DIR:-$root/build-windows}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(i686 x86_64)
for target in "${targets[@]}"; do
    case $target in
        i686 | x86_64) ;;
        *) echo "Unknown Windows target \"$target\": i686 or x86_64" >&2; exit 2 ;;
    esac
done

. "$root/scripts/lib/debian.sh"
compiler_packages=()
for target in "${targets[@]}"; do compiler_packages+=("g++-mingw-w64-${target//_/-}-posix"); done
install_missing_packages "${compiler_packages[@]}" cmake make gcc tcl dpkg-dev libgtest-dev nlohmann-json3-dev libcli11-dev ccache

# SQLite from Debian's source package, one amalgamation for both targets.
sqlite_dir=$windows_builds/sqlite
if [ ! -f "$sqlite_dir/amalgamation/sqlite3.c" ]; then
    rm -rf "$sqlite_dir"
    # The version of the library installed here, so that both builds use the same SQLite.
    version=$(dpkg-query -W -f='${Version}' libsqlite3-0 2>/dev/null || true)
    download_debian_source "sqlite3${version:+=$version}" "$sqlite_dir" || download_debian_source sqlite3 "$sqlite_dir"
    (cd "$sqlite_dir" && dpkg-source --no-check -x ./sqlite3_*.dsc source >/dev/null)
    # The source tree makes the single-file amalgamation with a native build of its tools.
    mkdir -p "$sqlite_dir/native"
    (cd "$sqlite_dir/native" && ../source/configure --disable-tcl >configure.log 2>&1 && make sqlite3.c >make.log 2>&1)
    mkdir -p "$sqlite_dir/amalgamation"
    cp "$sqlite_dir/native/sqlite3.c" "$sqlite_dir/native/sqlite3.h" "$sqlite_dir/amalgamation/"
    rm -rf "$sqlite_dir/native" "$sqlite_dir/source"
fi

# The header-only libraries, each copied on its own: the host's /usr/include is no Windows include
# folder. The tests' JSON parser, and CLI11, which parses vrelmont-cli's options.
mkdir -p "$windows_builds/json-include" "$windows_builds/cli11-include"
cp -r /usr/include/nlohmann "$windows_builds/json-include/"
cp -r /usr/include/CLI "$windows_builds/cli11-include/"

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

for target in "${targets[@]}"; do
    build=$windows_builds/$target
    # Qt for Windows from the cache of scripts/build-qt-windows.sh, of the version installed here.
    qt_prefix=
    if [ -n "$qt_version" ]; then
        candidate=${VRELMONT_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vrelmont}/qt-${qt_version%%+*}-win32-g++-$target
        [ -f "$candidate/.complete" ] && qt_prefix=$candidate
    fi
    toolchain=$root/cmake/mingw-w64-$target.cmake
    gui=(-DVRELMONT_BUILD_GUI=OFF)
    build_targets=(vrelmont-cli vrelmont_core_tests vrelmont_cli_tests vrelmont-test-engine)
    if [ -n "$qt_prefix" ]; then
        # Qt's toolchain file finds Qt and its own dependencies, then hands over to ours.
        toolchain=$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake
        gui=(-DVRELMONT_BUILD_GUI=ON -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$target.cmake")
        build_targets+=(vrelmont)
    fi
    # CMake keeps the toolchain of the first configuration: start afresh when Qt came or went.
    if [ -f "$build/CMakeCache.txt" ] && ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" "$build/CMakeCache.txt" &&
        ! grep -qxF "CMAKE_TOOLCHAIN_FILE:UNINITIALIZED=$toolchain" "$build/CMakeCache.txt"; then
        rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
    fi
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${gui[@]}" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVRELMONT_SQLITE_AMALGAMATION="$sqlite_dir/amalgamation" -DVRELMONT_GTEST_SOURCE=/usr/src/googletest \
        -DVRELMONT_JSON_INCLUDE="$windows_builds/json-include" \
        -DVRELMONT_CLI11_INCLUDE="$windows_builds/cli11-include" \
        "${launcher[@]}" >/dev/null
    cmake --build "$build" -j"${VRELMONT_JOBS:-$(nproc)}" --target "${build_targets[@]}"
    if [ -n "$qt_prefix" ]; then
        echo "Windows build ($target) ready in $build (the window with Qt from $qt_prefix)"
    else
        echo "Windows build ($target) ready in $build (no window: Qt for Windows is not built; see scripts/build-qt-windows.sh $target)"
    fi
done
