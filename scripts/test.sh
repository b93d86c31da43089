#!/usr/bin/env bash
# Installs what is missing, checks the format, builds everything with warnings as errors (gcc, and
# the core, the command-line tool and their tests also with clang) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs=$(nproc)

# Every tracked C++ file as .clang-format says.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
# What differs between systems stays in the platform folders.
if git grep -nE '^\s*#\s*(if|ifdef|ifndef|elif).*(_WIN32|Q_OS_)' -- 'src/*.cpp' 'src/*.h' ':!src/*/platform/*'; then
    echo "test.sh: the lines above test the platform outside src/core/platform and src/ui/platform" >&2
    exit 1
fi

build=${VRELMONT_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRELMONT_BUILD_TESTS=ON -DVRELMONT_WERROR=ON >/dev/null
cmake --build "$build" -j"$jobs"

# The Qt-free part with the other compiler: its warnings differ (sign conversions above all). The
# soak beside a live host runs once, in the build above: it is about the host, not the compiler.
clang_build=${VRELMONT_CLANG_BUILD_DIR:-$build-clang}
cmake -S . -B "$clang_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVRELMONT_BUILD_GUI=OFF -DVRELMONT_BUILD_TESTS=ON -DVRELMONT_WERROR=ON -DVRELMONT_SOAK_TEST=OFF >/dev/null
cmake --build "$clang_build" -j"$jobs"

(cd "$clang_build" && ctest --output-on-failure --no-tests=error -j"$jobs" --timeout 300)
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error -j"$jobs" --timeout 300
