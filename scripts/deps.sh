# Shared set-up for scripts/run, scripts/test and scripts/bench: installs whatever Debian
# packages are missing (by name, with apt-get) and configures and builds the project.
# Sourced, not run: it leaves VELOZOR_ROOT and VELOZOR_BUILD set for the caller.
set -euo pipefail

VELOZOR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VELOZOR_BUILD="${VELOZOR_BUILD:-$VELOZOR_ROOT/build}"

# Everything the build, the tests, the benchmarks and the packages need, from Debian 12.
VELOZOR_PACKAGES=(
    cmake g++ make pkg-config
    libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libpulse-dev
    libfontconfig-dev fonts-dejavu-core
    libespeak-ng-dev espeak-ng-data libmp3lame-dev libmpg123-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils imagemagick
    # The player's dialog (zenity), and what its test reads it through: a session bus with the
    # accessibility bus, and the accessibility tree from Python (/usr/bin/python3).
    zenity dbus-daemon at-spi2-core python3-pyatspi
    pulseaudio pulseaudio-utils
    libx11-dev libxtst-dev
    libpng-dev librsvg2-bin
    dpkg-dev file lintian desktop-file-utils appstream man-db
    # The Windows build (googletest: the sources its own tests build from) and its tests under
    # Wine; GStreamer's base and good plugins are what Wine's DirectShow needs to decode the
    # MP3 music (decodebin, mpegaudioparse, mpg123audiodec); locales' definitions, from which
    # the tests make the Spanish and English locales Wine takes its language from.
    g++-mingw-w64-x86-64-posix googletest wine wine64 libasound2-plugins locales
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    clang-14 libclang-rt-14-dev
    # The web page: Debian's emscripten (its system libraries come built, nothing is fetched),
    # flac for the page's sound folder, and headless Chromium driven by Selenium for its tests.
    emscripten flac chromium chromium-driver python3-selenium
)
# Commands whose Debian package is installed only when the command is missing: a Node.js
# installed from its vendor brings its own npm and conflicts with Debian's package, which apt
# would then refuse. npm installs the browser test's accessibility checker (tests/web).
VELOZOR_COMMANDS=(npm)
# The benchmarks alone (scripts/bench) also start a PipeWire server of their own: the daemon,
# its session manager on a private D-Bus session, and its PulseAudio layer.
if [ "${VELOZOR_WITH_BENCH_PACKAGES:-0}" = 1 ]; then
    VELOZOR_PACKAGES+=(pipewire pipewire-bin pipewire-pulse wireplumber libspa-0.2-modules dbus-daemon)
fi

velozor_install_packages() {
    local missing=()
    local package
    for package in "${VELOZOR_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    for package in "${VELOZOR_COMMANDS[@]}"; do
        command -v "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "velozor: installing missing Debian packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "velozor: need root (or sudo) to install: ${missing[*]}" >&2
            exit 1
        fi
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

velozor_build() {
    cmake -S "$VELOZOR_ROOT" -B "$VELOZOR_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$VELOZOR_BUILD" --parallel "$(nproc)"
}

# velozor.exe, cross-built beside the host build with the host's icon tool and sound folder.
velozor_build_windows() {
    VELOZOR_BUILD_WINDOWS="${VELOZOR_BUILD_WINDOWS:-$VELOZOR_ROOT/build-windows}"
    cmake -S "$VELOZOR_ROOT" -B "$VELOZOR_BUILD_WINDOWS" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$VELOZOR_ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DVELOZOR_HOST_TOOLS="$VELOZOR_BUILD" >/dev/null
    cmake --build "$VELOZOR_BUILD_WINDOWS" --parallel "$(nproc)"
}

# The web page, built with emscripten beside the host build (whose icon tool and sound folder it
# takes) and laid out in build-web/site. Leaves VELOZOR_BUILD_WEB set.
velozor_build_web() {
    VELOZOR_BUILD_WEB="${VELOZOR_BUILD_WEB:-$VELOZOR_ROOT/build-web}"
    # emscripten's JavaScript tools need Debian's Node.js modules (acorn), which a Node.js
    # installed from elsewhere does not look for.
    export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
    emcmake cmake -S "$VELOZOR_ROOT" -B "$VELOZOR_BUILD_WEB" -DCMAKE_BUILD_TYPE=Release \
        -DVELOZOR_HOST_TOOLS="$VELOZOR_BUILD" >/dev/null
    cmake --build "$VELOZOR_BUILD_WEB" --parallel "$(nproc)"
}

# The sanitizer build, in its own folder: clang with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer, plus the libFuzzer harnesses. Leaves VELOZOR_SANITIZE_BUILD set.
VELOZOR_SANITIZE_BUILD="${VELOZOR_SANITIZE_BUILD:-$VELOZOR_ROOT/build-sanitize}"
velozor_build_sanitized() {
    CC=clang-14 CXX=clang++-14 cmake -S "$VELOZOR_ROOT" -B "$VELOZOR_SANITIZE_BUILD" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELOZOR_SANITIZE=ON >/dev/null
    cmake --build "$VELOZOR_SANITIZE_BUILD" --parallel "$(nproc)"
}

# How the sanitizers report: every finding ends the run, with a stack; leaks of the system's
# own libraries (not ours) are suppressed by library in the file named here.
velozor_sanitizer_environment() {
    export ASAN_OPTIONS="detect_leaks=1"
    export LSAN_OPTIONS="suppressions=$VELOZOR_ROOT/tests/sanitize/lsan-suppressions.txt:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    # Without a session bus, libdbus "autolaunches" one from inside SDL's video start: it forks,
    # and the child allocates before it execs. clang 14's AddressSanitizer allocator is not
    # fork-safe while another thread allocates (the program looks up its font on one meanwhile),
    # so that child could hang for ever and the program with it. glibc's own allocator is, so
    # the game itself is not affected. An address that cannot connect fails at once, no fork.
    export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-unix:path=/nonexistent/velozor-tests}"
}

velozor_install_packages
if [ "${VELOZOR_DEFAULT_BUILD:-1}" = 1 ]; then
    velozor_build
fi
