#!/usr/bin/env bash
# Installs the Debian packages Vrelmont needs. Works as root or as a user with sudo; does nothing
# when everything is there.
#   install-deps.sh              building, testing and running (what scripts/test.sh needs)
#   install-deps.sh --run        building and running only (what scripts/run.sh needs)
#   install-deps.sh --bench      building and the benchmarks in bench/
#   install-deps.sh --gui-tools  building and testing, and the tools for screenshots
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libsqlite3-dev libxlsxwriter-dev libcli11-dev
  fonts-dejavu-core fonts-dejavu-extra
)
# The tests also build with clang and check the format.
# The findings' schema is checked with Debian's JSON Schema validator.
testing=(libgtest-dev nlohmann-json3-dev xvfb xauth clang clang-format git python3 python3-jsonschema python3-openpyxl
  python3-pyatspi at-spi2-core dbus-daemon dbus-bin)
case "${1:-}" in
  --run) ;;
  --bench) packages+=(xvfb xauth sqlite3 bc time) ;;
  --gui-tools) packages+=("${testing[@]}" imagemagick x11-utils) ;;
  "") packages+=("${testing[@]}") ;;
  *) echo "usage: $0 [--run|--bench|--gui-tools]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run this script as root or install sudo." >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
