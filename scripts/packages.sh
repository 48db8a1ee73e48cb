# Debian packages the project needs, sourced by the scripts.
# shellcheck shell=bash
CORVANE_BUILD_PACKAGES=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-serialport-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools
    qt6-l10n-tools qt6-translations-l10n libmbedtls-dev
    libbenchmark-dev python3 python3-cryptography libzxcvbn-dev
    dbus-daemon xvfb xauth
)
# Qt's SVG plug-ins (the window icon and the About box's icon are SVG files) are part of libqt6svg6 up to
# Debian 12 and a package of their own from Debian 13 on.
# (A package that merely names it in its dependencies makes the name known to apt: only a candidate counts.)
corvane_debian_major=$(. /etc/os-release 2>/dev/null && echo "${VERSION_ID%%.*}")
corvane_svg_plugins_candidate=$(apt-cache policy qt6-svg-plugins 2>/dev/null | sed -n 's/^ *Candidate: *//p')
if [ "${corvane_debian_major:-0}" -ge 13 ] 2>/dev/null ||
    { [ -n "$corvane_svg_plugins_candidate" ] && [ "$corvane_svg_plugins_candidate" != "(none)" ]; }; then
    CORVANE_BUILD_PACKAGES+=(qt6-svg-plugins)
fi
CORVANE_FUZZ_PACKAGES=(clang libclang-rt-dev)
# The formatting check of CI (scripts/check-format); the repository's .clang-format is tuned to this version.
CORVANE_FORMAT_PACKAGES=(clang-format)
CORVANE_DISPLAY_PACKAGES=(xvfb xauth openbox imagemagick)
# The reference scores of the password rating (scripts/update-password-rating-reference): the original
# zxcvbn from the npm registry, run by Node.js. Never needed to build or test.
CORVANE_RATING_REFERENCE_PACKAGES=(nodejs npm)

# The Windows build and its tests under Wine (scripts/test-windows, inside a Debian 13 root): the MinGW-w64
# cross compiler, the build machine's Qt tools (moc, rcc, uic, lrelease), Debian's source packages of Qt
# and Mbed TLS (dpkg-dev unpacks them), Wine, the installer maker and the libraries of the simulator, which
# runs natively beside the Windows programs.
CORVANE_WINDOWS_PACKAGES=(
    ccache cmake ninja-build make g++ pkg-config dpkg-dev ca-certificates procps
    g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    qt6-translations-l10n qt6-serialport-dev libmbedtls-dev libzxcvbn-dev python3
    wine wine64 nsis zip unzip xvfb xauth openbox imagemagick x11-utils
)
# The package test of CI (scripts/package-test): checks of the desktop entry, AppStream metadata and the
# package (lintian), the package's library dependencies, and driving the installed application on a
# virtual display.
CORVANE_PACKAGING_PACKAGES=(desktop-file-utils appstream dpkg-dev lintian x11-utils xdotool)

# Installs the given packages that are not installed yet; a second run does nothing.
corvane_install_missing_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
