# shellcheck shell=bash
# Shared by the Windows test scripts (sourced, not run): runs 32-bit Windows programs under the 32-bit
# Wine of a private i386 Debian root that scripts/setup-wine32.sh makes. The host's own package
# architectures stay untouched: its amd64 libraries may come from updates that the i386 side of the
# mirror lacks, and apt then cannot install wine32 beside them.
#
# Each run is a bubblewrap sandbox over that root, as the invoking user (so files the program writes
# stay the user's), with the host's /tmp, $TMPDIR, $HOME, the current folder, the program's folder,
# $WINEPREFIX and the folders in VRELMONT_WINE32_BINDS (colon-separated) at their own paths. The
# environment reaches the program unchanged. WINEPREFIX must name a prefix of its own: Wine cannot use
# a 64-bit prefix from 32-bit Wine. Without root and without unprivileged user namespaces the sandbox
# is made through sudo, which may ask for a password.

# The folder of the i386 root.
wine32_root() {
    echo "${VRELMONT_WINE32_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/vrelmont/wine32-root}"
}

# Written last by the setup, so that a root left half-made by a cut-off setup is not used.
wine32_ready_mark() {
    echo "$(wine32_root)/.vrelmont-wine32-ready"
}

# How a sandbox is entered: "direct" when bwrap runs as we are (as root, or as a user through
# unprivileged user namespaces), "sudo" when only root may make it; empty when it cannot be made.
_wine32_entry() {
    if [ -z "${_wine32_entry_mode+set}" ]; then
        _wine32_entry_mode=
        if ! command -v bwrap >/dev/null 2>&1; then
            :
        elif bwrap --ro-bind / / true 2>/dev/null; then
            # Tried, not assumed: root in a container without the right to make namespaces cannot.
            _wine32_entry_mode=direct
        elif [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null 2>&1; then
            _wine32_entry_mode=sudo
        fi
    fi
    echo "$_wine32_entry_mode"
}

# Succeeds when 32-bit programs can be run here (the setup finished and a sandbox can be made).
wine32_available() {
    [ -f "$(wine32_ready_mark)" ] && [ -n "$(_wine32_entry)" ]
}

# The host folders that hold the given paths, as top-level folders (/tmp, /home, /work...) so that
# every run in a prefix sees the same tree; a path under a folder that the root itself provides
# (/usr, /var...) is bound alone.
_wine32_binds() {
    local path top
    for path in "$@"; do
        [ -d "$path" ] || continue
        path=$(cd "$path" && pwd)
        top=${path#/}
        top=/${top%%/*}
        case $top in
        /) ;;
        /usr | /etc | /var | /bin | /sbin | /lib* | /proc | /dev | /sys | /run | /boot) echo "$path" ;;
        *) echo "$top" ;;
        esac
    done | sort -u
}

# wine32_run DIR EXE [ARGS...]: runs EXE from the build folder DIR (its DLLs beside it) in $WINEPREFIX
# and returns its exit status. An EXE that DIR does not hold (reg, regsvr32, winepath, cmd...) is one
# of Wine's own programs; DIR may then be empty. Runs in one prefix take turns.
wine32_run() {
    local dir=$1 exe=$2
    shift 2
    if ! wine32_available; then
        echo "32-bit Wine is not set up: run scripts/setup-wine32.sh" >&2
        return 125
    fi
    if [ -z "${WINEPREFIX:-}" ]; then
        echo "wine32_run: set WINEPREFIX to the folder of a 32-bit prefix" >&2
        return 125
    fi
    mkdir -p "$WINEPREFIX"
    local prefix
    prefix=$(cd "$WINEPREFIX" && pwd)
    if grep -qs '^#arch=win64' "$prefix/system.reg"; then
        echo "wine32_run: $prefix is a 64-bit prefix; 32-bit Wine needs one of its own" >&2
        return 125
    fi
    local program=$exe
    if [ -n "$dir" ] && [ -f "$dir/$exe" ]; then
        dir=$(cd "$dir" && pwd)
        program=$dir/$exe
    fi

    local root binds=() path
    root=$(wine32_root)
    local sandbox=(--ro-bind "$root/usr" /usr --ro-bind "$root/etc" /etc --ro-bind "$root/var" /var
                   --symlink usr/bin /bin --symlink usr/lib /lib --symlink usr/sbin /sbin
                   --dev /dev --ro-bind /proc /proc --ro-bind-try /sys /sys)
    local IFS=:
    # shellcheck disable=SC2086 # the colon-separated lists are split on purpose
    mapfile -t binds < <(_wine32_binds /tmp ${TMPDIR:-} ${HOME:-} "$PWD" ${dir:-} "$prefix" ${VRELMONT_WINE32_BINDS:-})
    unset IFS
    for path in "${binds[@]}"; do
        sandbox+=(--bind "$(cd "$path" && pwd -P)" "$path")
    done
    sandbox+=(--chdir "$PWD")

    # Wine's server opens files for its programs and outlives them by a few seconds, so a run may be
    # served by the server of the run before; that is only right when both saw the same folders. The
    # folders of the last run are kept in the prefix, and a run that sees others first waits for the
    # old server to end.
    local view="${binds[*]}"
    # shellcheck disable=SC2016 # expanded by the shell inside the sandbox
    local inner='view=$1; shift
if [ "$(cat "$WINEPREFIX/.vrelmont-wine32-view" 2>/dev/null)" != "$view" ]; then
    /usr/lib/wine/wineserver32 -w
    echo "$view" >"$WINEPREFIX/.vrelmont-wine32-view"
fi
exec /usr/lib/wine/wine "$@"'
    _wine32_enter "$prefix" "${sandbox[@]}" -- /bin/sh -c "$inner" wine32 "$view" "$program" "$@"
}

# Waits until the programs of $WINEPREFIX have ended, its services too (as after wineboot --init,
# before the next program needs them).
wine32_wait() {
    wine32_available && [ -d "${WINEPREFIX:-}" ] || return 0
    local prefix root
    prefix=$(cd "$WINEPREFIX" && pwd)
    root=$(wine32_root)
    _wine32_enter "$prefix" --ro-bind "$root/usr" /usr --symlink usr/lib /lib --dev /dev --bind /tmp /tmp \
        --bind "$prefix" "$prefix" -- /usr/lib/wine/wineserver32 -w
}

# _wine32_enter PREFIX BWRAP_ARGS... -- COMMAND...: runs COMMAND in a sandbox made by bwrap with
# BWRAP_ARGS, in the environment of this shell with WINEPREFIX=PREFIX, while holding the lock of that
# prefix. The lock stays with flock alone (-o), not with a server that outlives the run.
_wine32_enter() {
    local prefix=$1 sandbox=(bwrap)
    shift
    while [ "$1" != -- ]; do
        sandbox+=("$1")
        shift
    done
    shift
    if [ "$(_wine32_entry)" = sudo ]; then
        # sudo forgets the environment and the user: the one is handed over in the command line, the
        # other taken back inside the sandbox before anything runs there.
        local variables=() variable
        while IFS= read -r -d '' variable; do variables+=("$variable"); done < <(env -0)
        sudo -- env -i "${variables[@]}" WINEPREFIX="$prefix" flock -o "$prefix" "${sandbox[@]}" \
            setpriv --reuid="$(id -u)" --regid="$(id -g)" --clear-groups "$@"
    else
        WINEPREFIX=$prefix flock -o "$prefix" "${sandbox[@]}" "$@"
    fi
}
