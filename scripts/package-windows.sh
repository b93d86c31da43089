#!/usr/bin/env bash
# Makes the Windows distribution from the Windows builds (scripts/build-windows.sh with Qt for Windows
# from scripts/build-qt-windows.sh, for both targets):
#   dist-windows/Vrelmont/                      the portable folder: runs from any folder or USB stick
#     vrelmont.exe, vrelmont-cli.exe, ...       the 32-bit programs: the host's engine is usually 32-bit
#     x64/                                      the 64-bit programs, for a 64-bit engine
#   dist-windows/Vrelmont-<version>-windows.zip that folder zipped
#   dist-windows/Vrelmont-<version>-setup.exe   the installer (NSIS)
# Every DLL that a shipped program or plugin imports is either shipped or part of Windows itself;
# the script stops when one is neither. Works as root or as a user with sudo; installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
windows_builds=${VRELMONT_WINDOWS_BUILD_DIR:-$root/build-windows}
out=${VRELMONT_WINDOWS_DIST_DIR:-$root/dist-windows}

. "$root/scripts/lib/debian.sh"
install_missing_packages nsis zip binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 qt6-translations-l10n

for target in i686 x86_64; do
    [ -f "$windows_builds/$target/vrelmont.exe" ] && [ -f "$windows_builds/$target/vrelmont-cli.exe" ] || {
        echo "No vrelmont.exe in $windows_builds/$target: build Qt for Windows (scripts/build-qt-windows.sh $target)," \
            "then scripts/build-windows.sh" >&2
        exit 1
    }
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows_builds/i686/CMakeCache.txt")

# The DLLs that Windows itself has; everything else a program imports must be shipped.
windows_dll() {
    case "${1,,}" in
        api-ms-win-*.dll | advapi32.dll | comctl32.dll | comdlg32.dll | d3d9.dll | d3d11.dll | d3d12.dll | \
            dwmapi.dll | dwrite.dll | dxgi.dll | gdi32.dll | imm32.dll | kernel32.dll | msvcrt.dll | \
            netapi32.dll | ole32.dll | oleaut32.dll | setupapi.dll | shell32.dll | shlwapi.dll | user32.dll | \
            userenv.dll | uxtheme.dll | version.dll | winmm.dll | ws2_32.dll | wtsapi32.dll | mpr.dll | \
            authz.dll | ntdll.dll | shcore.dll | crypt32.dll | bcrypt.dll | secur32.dll | uuid.dll | \
            d2d1.dll | dcomp.dll) return 0 ;;
    esac
    return 1
}

# Puts the programs of the build for $1 (i686, x86_64) with the Qt and runtime DLLs they need into the
# folder $2, which then runs on its own.
assemble_programs() {
    local target=$1 folder=$2
    local build=$windows_builds/$target mingw=$target-w64-mingw32
    local qt_prefix
    qt_prefix=$(sed -n 's/^Qt6_DIR:[A-Z]*=\(.*\)\/lib\/cmake\/Qt6$/\1/p' "$build/CMakeCache.txt")
    [ -d "$qt_prefix/bin" ] || { echo "The Qt of $build is not found (Qt6_DIR in its CMakeCache.txt)" >&2; exit 1; }
    mkdir -p "$folder/platforms" "$folder/styles" "$folder/translations"
    strip_into() { "$mingw-strip" --strip-unneeded -o "$2" "$1"; }

    strip_into "$build/vrelmont.exe" "$folder/vrelmont.exe"
    strip_into "$build/vrelmont-cli.exe" "$folder/vrelmont-cli.exe"
    for module in Core Gui Widgets; do strip_into "$qt_prefix/bin/Qt6$module.dll" "$folder/Qt6$module.dll"; done
    strip_into "$qt_prefix/plugins/platforms/qwindows.dll" "$folder/platforms/qwindows.dll"
    strip_into "$qt_prefix/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/qwindowsvistastyle.dll"
    # Qt's own dialogs (the save dialog above all) in Czech; the .qm files are the same on every platform.
    cp /usr/share/qt6/translations/qtbase_cs.qm "$folder/translations/"
    # Qt looks for its plugins and translations beside the program, not in a prefix above it.
    printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$folder/qt.conf"
    cp "$build/Vrelmont.html" "$folder/"

    local runtime_dirs=("$(dirname "$("$mingw-g++-posix" -print-file-name=libstdc++-6.dll)")"
                        "$(dirname "$("$mingw-g++-posix" -print-file-name=libwinpthread-1.dll)")")
    # Follows the imports of every shipped binary; the runtime DLLs it finds are copied and followed too.
    local pending=("$folder"/*.exe "$folder"/*.dll "$folder"/platforms/*.dll "$folder"/styles/*.dll)
    local binary dll dir found
    while [ ${#pending[@]} -gt 0 ]; do
        binary=${pending[0]}
        pending=("${pending[@]:1}")
        while read -r dll; do
            [ -e "$folder/$dll" ] && continue
            windows_dll "$dll" && continue
            found=
            for dir in "${runtime_dirs[@]}"; do
                if [ -f "$dir/$dll" ]; then
                    strip_into "$dir/$dll" "$folder/$dll"
                    pending+=("$folder/$dll")
                    found=1
                    break
                fi
            done
            [ -n "$found" ] ||
                { echo "$(basename "$binary") ($target) needs $dll, which is neither shipped nor part of Windows" >&2; exit 1; }
        done < <("$mingw-objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
    done
}

folder=$out/Vrelmont
rm -rf "$folder"
mkdir -p "$folder/licenses"
assemble_programs i686 "$folder"
assemble_programs x86_64 "$folder/x64"
qt_prefix=$(sed -n 's/^Qt6_DIR:[A-Z]*=\(.*\)\/lib\/cmake\/Qt6$/\1/p' "$windows_builds/i686/CMakeCache.txt")

# The licences of everything shipped.
cp "$root/dist/windows/LICENCE.txt" "$folder/"
cp -r "$qt_prefix/licenses" "$folder/licenses/Qt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$folder/licenses/GCC-runtime.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$folder/licenses/mingw-w64.txt"
sqlite_copyright=/usr/share/doc/libsqlite3-0/copyright
[ -f "$sqlite_copyright" ] || sqlite_copyright=/usr/share/doc/libsqlite3-dev/copyright
cp "$sqlite_copyright" "$folder/licenses/SQLite.txt"

rm -f "$out"/Vrelmont-*.zip "$out"/Vrelmont-*-setup.exe
zip_file=$out/Vrelmont-$version-windows.zip
(cd "$out" && zip -qr9 "$zip_file" Vrelmont)

# The installer's file lists (the 32-bit programs with the licences; the 64-bit ones apart, installed
# when chosen) and the uninstaller's: every file of both, folders deepest first.
lists=$(mktemp -d)
trap 'rm -rf "$lists"' EXIT
(
    cd "$folder"
    # SetOutPath for each folder, then its files.
    list_files() {
        local dir windows_dir file
        while read -r dir; do
            windows_dir=${dir#.}
            echo "SetOutPath \"\$INSTDIR${windows_dir//\//\\}\""
            find "$dir" -maxdepth 1 -type f | sort | while read -r file; do echo "File \"$folder/${file#./}\""; done
        done
    }
    find . -path ./x64 -prune -o -type d -print | sort | list_files >"$lists/install-files.nsh"
    find ./x64 -type d | sort | list_files >"$lists/install-files-x64.nsh"
    find . -type f | sort | while read -r file; do
        file=${file#./}
        echo "Delete \"\$INSTDIR\\${file//\//\\}\""
    done >"$lists/uninstall-files.nsh"
    find . -mindepth 1 -type d | sort -r | while read -r dir; do
        dir=${dir#./}
        echo "RMDir \"\$INSTDIR\\${dir//\//\\}\""
    done >>"$lists/uninstall-files.nsh"
)
installer=$out/Vrelmont-$version-setup.exe
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSOURCE_DIR="$folder" -DOUT_FILE="$installer" \
    -DICON_FILE="$root/dist/icons/vrelmont.ico" -DFILE_LIST="$lists/install-files.nsh" \
    -DFILE_LIST_X64="$lists/install-files-x64.nsh" -DREMOVE_LIST="$lists/uninstall-files.nsh" "$root/dist/windows/installer.nsi"

echo "Portable folder: $folder ($(du -sh "$folder" | cut -f1))"
echo "Zip:             $zip_file ($(du -h "$zip_file" | cut -f1))"
echo "Installer:       $installer ($(du -h "$installer" | cut -f1))"
