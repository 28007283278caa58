# Installs the Debian packages named in "$@" that are missing: as root with apt-get, otherwise
# prints the one command that would install them and stops. Sourced by the other scripts.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages. Install them with:" >&2
        echo "  sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >&2 || exit 1
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2 || exit 1
}

# What building and playing need.
play_packages=(g++ cmake make libx11-dev libxrender-dev xfonts-base)
# What the tests need besides: a virtual X server, synthetic clicks, a window manager for the
# desktop scenarios, the test frameworks.
test_packages=("${play_packages[@]}" libxtst-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb
    xauth x11-xserver-utils openbox strace)
# What checking the installation and building the Debian package need besides building: manual
# page rendering and indexing, the desktop entry and AppStream validators, dpkg-shlibdeps, and
# ImageMagick to compare the installed icon with the window's icon bits; lintian checks the package.
install_check_packages=(man-db groff-base desktop-file-utils appstream dpkg-dev file imagemagick
    lintian)
