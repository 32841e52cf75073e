# Shared by scripts/run, scripts/test and scripts/bench: installs the Debian packages the
# project needs (only those missing), then configures and builds into build/.
# Sourced, not run.

VEXA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VEXA_BUILD="$VEXA_ROOT/build"
VEXA_CMAKE_ARGS=()
# VEXA_SANITIZE=1 builds with AddressSanitizer and UBSan into build-asan/.
if [ "${VEXA_SANITIZE:-0}" = 1 ]; then
    VEXA_BUILD="$VEXA_ROOT/build-asan"
    VEXA_CMAKE_ARGS+=(-DVEXA_SANITIZE=ON)
fi
# VEXA_QT=6 builds against Qt 6 into build-qt6/ (build-qt6-asan/ with VEXA_SANITIZE=1); the
# default is Qt 5.15 in build/.
VEXA_QT="${VEXA_QT:-5}"
case "$VEXA_QT" in
5) ;;
6)
    VEXA_BUILD="${VEXA_BUILD/%build/build-qt6}"
    VEXA_BUILD="${VEXA_BUILD/%build-asan/build-qt6-asan}"
    ;;
*)
    echo "error: VEXA_QT must be 5 or 6, not '$VEXA_QT'" >&2
    return 1
    ;;
esac
VEXA_CMAKE_ARGS+=(-DVEXA_QT="$VEXA_QT")

VEXA_PACKAGES=(
    build-essential cmake pkg-config
    qtbase5-dev qtbase5-private-dev qttools5-dev qttools5-dev-tools
    libqt5serialport5-dev libqt5svg5-dev libqt5sql5-sqlite libqt5sql5-psql
    zlib1g-dev libudev-dev libarchive-dev libsodium-dev qttranslations5-l10n sqlite3 python3 python3-pyftpdlib fonts-paratype groff-base
    xvfb xauth
)
# Only the tests need a PostgreSQL server: they make and start a throwaway cluster of their own
# for the shared device journal (the package's main cluster is neither needed nor touched).
# scripts/test adds these; the program and the demo do without.
VEXA_TEST_PACKAGES=(postgresql)

# The Qt 6 build needs the Qt 6 counterparts instead of every Qt 5 package above; QTextCodec
# (the Windows console's IBM866) is in its 5compat module.
if [ "$VEXA_QT" = 6 ]; then
    qt6_packages=(
        qt6-base-dev qt6-5compat-dev qt6-svg-dev qt6-serialport-dev
        qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qmake6 qt6-translations-l10n
        libqt6sql6-sqlite libqt6sql6-psql libqt6svg6
    )
    for p in "${VEXA_PACKAGES[@]}"; do
        case "$p" in
        *qt5* | qt*5-*) ;;
        *) qt6_packages+=("$p") ;;
        esac
    done
    VEXA_PACKAGES=("${qt6_packages[@]}")
    unset qt6_packages p
fi

vexa_install_deps() {
    local missing=()
    local p
    for p in "${VEXA_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "error: packages missing and neither root nor sudo: ${missing[*]}" >&2
            return 1
        fi
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

vexa_build() {
    cmake -S "$VEXA_ROOT" -B "$VEXA_BUILD" -DCMAKE_BUILD_TYPE="${VEXA_BUILD_TYPE:-RelWithDebInfo}" \
        "${VEXA_CMAKE_ARGS[@]}" >/dev/null
    cmake --build "$VEXA_BUILD" -j"$(nproc)"
}
