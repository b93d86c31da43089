#!/usr/bin/env bash
# Builds Qt 6 for Windows (Core, Gui, Widgets, Test; shared DLLs) from Debian's own qt6-base source
# package with the mingw-w64 compilers, and installs it into a cache folder outside the checkout:
#   ~/.cache/vrelmont/qt-<version>-win32-g++-<target>
# The version is that of the Linux Qt installed here, whose tools (moc, rcc, uic) the Windows build uses.
# A second run finds the cache and returns at once. Takes about half an hour on 2 idle cores.
#   build-qt-windows.sh [x86_64|i686]      (default x86_64)
# Works as root or as a user with sudo; installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-x86_64}
case "$target" in
  x86_64) mingw_package=g++-mingw-w64-x86-64-posix ;;
  i686) mingw_package=g++-mingw-w64-i686-posix ;;
  *) echo "usage: $0 [x86_64|i686]" >&2; exit 2 ;;
esac
mingw=$target-w64-mingw32
cache=${VRELMONT_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vrelmont}

. "$PWD/scripts/lib/debian.sh"
install_missing_packages "$mingw_package" cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev dpkg-dev xz-utils

# The Windows Qt must match the host's tools: build the version installed here.
package_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${package_version%%+*}
prefix=$cache/qt-$qt_version-win32-g++-$target
if [ -f "$prefix/.complete" ]; then
  echo "Qt $qt_version for Windows ($target) is ready in $prefix"
  exit 0
fi

# Qt's own licence texts and, for each third-party library in its source, that library's.
copy_licences() {
  local source=$1 into=$2 dir
  mkdir -p "$into/3rdparty"
  cp "$source"/LICENSES/*.txt "$into/"
  for dir in "$source"/src/3rdparty/*/; do
    local name
    name=$(basename "$dir")
    find "$dir" -maxdepth 2 \( -iname 'LICENSE*' -o -iname 'COPYING*' -o -name 'FTL.TXT' -o -name qt_attribution.json \) \
      -type f | while read -r file; do
      mkdir -p "$into/3rdparty/$name"
      cp "$file" "$into/3rdparty/$name/"
    done
  done
}

work=$cache/qt-$qt_version-$target-work
mkdir -p "$work"
started=$(date +%s)

# The source from Debian's archive.
source_tree=$work/qtbase-everywhere-src-$qt_version
if [ ! -f "$source_tree/CMakeLists.txt" ]; then
  download_debian_source "qt6-base=$package_version" "$work"
  # The upstream tarball alone: Debian's patches are for Linux packaging.
  rm -rf "$source_tree"
  tar -xJf "$work"/qt6-base_*.orig.tar.xz -C "$work"
  [ -f "$source_tree/CMakeLists.txt" ] || { echo "No Qt source in $work" >&2; exit 1; }
fi

# Qt's DLLs share one C++ runtime (libstdc++-6.dll and friends), so no static runtime here.
cat >"$work/toolchain.cmake" <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR $target)
set(CMAKE_C_COMPILER $mingw-gcc-posix)
set(CMAKE_CXX_COMPILER $mingw-g++-posix)
set(CMAKE_RC_COMPILER $mingw-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$mingw)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN

# Modules the program does not use are left out. Two features do not build from Debian's source:
# tablet support needs src/3rdparty/wintab, which Debian removes for its licence; dynamic GL is
# switched on for Windows even with OpenGL off, and then the platform plugin does not compile.
rm -rf "$work/build"
cmake -S "$source_tree" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF \
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF \
  -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DINPUT_openssl=no \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_libpng=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_libjpeg=OFF \
  -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF >"$work/configure.log" 2>&1 ||
  { tail -40 "$work/configure.log" >&2; echo "Configuring Qt failed; see $work/configure.log" >&2; exit 1; }
cmake --build "$work/build" -j"${VRELMONT_JOBS:-$(nproc)}" >"$work/build.log" 2>&1 ||
  { tail -40 "$work/build.log" >&2; echo "Building Qt failed; see $work/build.log" >&2; exit 1; }
rm -rf "$prefix"
cmake --install "$work/build" >"$work/install.log" 2>&1 ||
  { tail -20 "$work/install.log" >&2; echo "Installing Qt failed; see $work/install.log" >&2; exit 1; }
# Qt's licence texts, and those of the libraries bundled into its DLLs, go with the DLLs.
copy_licences "$source_tree" "$prefix/licenses"
touch "$prefix/.complete"
rm -rf "$work"
echo "Qt $qt_version for Windows ($target) built in $(( ($(date +%s) - started) / 60 )) min into $prefix"
