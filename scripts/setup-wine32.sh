#!/usr/bin/env bash
# Makes 32-bit Wine ready for scripts/lib/wine32.sh: a minimal i386 Debian root of this machine's
# release with wine32 in it, in the user's cache folder. The host's packages and architectures stay as
# they are. Works as root or as a user with sudo; installs what is missing. A second run only checks.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/debian.sh
. scripts/lib/wine32.sh

root=$(wine32_root)
if wine32_available; then
    echo "32-bit Wine is ready in $root"
    exit 0
fi

install_missing_packages debootstrap bubblewrap
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
mirror=http://deb.debian.org/debian

# Runs a command inside the root, in a mount namespace of its own so that nothing stays mounted.
in_root() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    "${as_root[@]}" unshare --mount --propagation private -- sh -c '
        root=$1; shift
        mount --rbind /proc "$root/proc" && mount --rbind /dev "$root/dev" &&
            exec chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 "$@"' in_root "$root" "$@"
}

# debootstrap removes its own folder in the root when it has finished; a root that still has it was
# cut off and is made anew.
if [ -d "$root/debootstrap" ] || [ ! -x "$root/usr/bin/apt-get" ]; then
    echo "Making an i386 Debian $codename root in $root"
    "${as_root[@]}" rm -rf --one-file-system "$root"
    mkdir -p "$(dirname "$root")"
    "${as_root[@]}" unshare --mount --propagation private -- \
        debootstrap --arch=i386 --variant=minbase "$codename" "$root" "$mirror" >"$(dirname "$root")/debootstrap.log" 2>&1 || {
        echo "debootstrap failed; see $(dirname "$root")/debootstrap.log" >&2
        tail -5 "$(dirname "$root")/debootstrap.log" >&2
        exit 1
    }
fi

# The security archive is used when the mirror has it whole for i386; the root only runs tests.
write_sources() {
    local suites=("$@") suite
    for suite in "${suites[@]}"; do
        case $suite in
        *-security) echo "deb http://deb.debian.org/debian-security $suite main" ;;
        *) echo "deb $mirror $suite main" ;;
        esac
    done | "${as_root[@]}" tee "$root/etc/apt/sources.list" >/dev/null
}
write_sources "$codename" "$codename-updates" "$codename-security"
if ! in_root apt-get update -qq; then
    echo "The mirror's $codename-security index for i386 cannot be read; the root goes without it" >&2
    write_sources "$codename" "$codename-updates"
    in_root apt-get update -qq || { echo "apt-get update failed in $root" >&2; exit 1; }
fi
in_root apt-get install -y -qq --no-install-recommends wine wine32 >/dev/null ||
    { echo "Installing wine32 in $root failed" >&2; exit 1; }
in_root apt-get clean

# The kernel must run i386 programs (a kernel booted with ia32_emulation=0 does not).
version=$(in_root /usr/lib/wine/wine --version) ||
    { echo "The i386 Wine in $root does not start: does this kernel run 32-bit programs?" >&2; exit 1; }
echo "$version" | "${as_root[@]}" tee "$(wine32_ready_mark)" >/dev/null
unset _wine32_entry_mode
if ! wine32_available; then
    echo "32-bit Wine is installed in $root, but no sandbox can be made here: bubblewrap needs root," \
        "sudo or unprivileged user namespaces" >&2
    exit 1
fi
echo "32-bit Wine ($version) is ready in $root"
