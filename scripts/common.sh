# common.sh -- shared set-up for scripts/play and scripts/test: Debian packages, configure, build.
# Sourced, not run. Every step is skipped when there is nothing to do.

OMNIVEX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages to build and run the game.
OMNIVEX_PACKAGES=(build-essential cmake pkg-config ninja-build libglfw3-dev libepoxy-dev libglm-dev
  libassimp-dev libsdl2-dev libsdl2-mixer-dev libmp3lame-dev libstb-dev fonts-dejavu-core libgtest-dev
  libbenchmark-dev libgl1-mesa-dri)
# Extra packages for the tests: a virtual X server, X input and screenshots, the fuzzing compiler, and the
# checkers of the desktop entry, the metainfo and the Debian package.
OMNIVEX_TEST_PACKAGES=(libx11-dev xvfb xauth xdotool x11-apps x11-utils imagemagick clang libclang-rt-14-dev
  desktop-file-utils appstream lintian)

omnivex_install_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  if ! $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

# omnivex_configure BUILD_DIR BUILD_TYPE [cmake options...] -- once; later runs keep the folder's settings.
omnivex_configure() {
  local dir="$1" type="$2"
  shift 2
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$OMNIVEX_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
  fi
}

# omnivex_build BUILD_DIR BUILD_TYPE [cmake options...]
omnivex_build() {
  omnivex_configure "$@"
  cmake --build "$1" -j "$(nproc)"
}

# Sanitizer runs: leaks are reported except inside the media and graphics libraries listed in the file.
omnivex_sanitizer_environment() {
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=1"
  export LSAN_OPTIONS="suppressions=$OMNIVEX_ROOT/tests/hardening/lsan-suppressions.txt:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
}
