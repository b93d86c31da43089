# Shared by the build scripts (sourced, not run): Debian packages and source packages.

# Installs those of the given Debian packages that are missing, as root or through sudo. Another
# installation may hold the dpkg lock for a while: apt is then tried again.
install_missing_packages() {
    local missing=() package as_root=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null 2>&1 || { echo "Missing packages: ${missing[*]}; run as root or install sudo." >&2; return 1; }
        as_root=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    local attempt
    for attempt in $(seq 1 30); do
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
            "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
                "${missing[@]}" && return 0
        [ "$attempt" -eq 30 ] && return 1
        echo "apt is busy; retrying in 20 s" >&2
        sleep 20
    done
}

# Downloads the source package $1 (a version may follow: "name=version") into the folder $2 through
# a private apt configuration with deb-src lines for the release this machine runs, so that the
# system's own apt sources stay untouched and no root is needed.
download_debian_source() {
    local request=$1 into=$2
    mkdir -p "$into/apt/lists/partial" "$into/apt/cache/archives/partial"
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    cat >"$into/apt/sources.list" <<LIST
deb-src http://deb.debian.org/debian $codename main
deb-src http://deb.debian.org/debian $codename-updates main
deb-src http://deb.debian.org/debian-security $codename-security main
LIST
    local apt_opts=(-o "Dir::Etc::SourceList=$into/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
                    -o "Dir::State::Lists=$into/apt/lists" -o "Dir::Cache=$into/apt/cache"
                    -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)")
    apt-get "${apt_opts[@]}" -qq update
    (cd "$into" && apt-get "${apt_opts[@]}" -qq source --download-only "$request")
}
