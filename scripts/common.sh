# common.sh -- shared set-up for scripts/play and scripts/test: Debian packages, configure, build.
# Sourced, not run. Every step is skipped when there is nothing to do.

OMNIVEX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages to build and run the game (the asset generators need the MP3 encoder, stb and the font).
OMNIVEX_PACKAGES=(build-essential cmake pkg-config ninja-build libglfw3-dev libepoxy-dev libglm-dev
  libassimp-dev libsdl2-dev libsdl2-mixer-dev libmp3lame-dev libstb-dev fonts-dejavu-core libgl1-mesa-dri)
# Extra packages for the tests and the benchmark: the test and benchmark libraries, a virtual X server,
# X input and screenshots, the fuzzing compiler, and the checkers of the desktop entry, the metainfo and the
# Debian package.
OMNIVEX_TEST_PACKAGES=(libgtest-dev libbenchmark-dev libx11-dev xvfb xauth xdotool x11-apps x11-utils imagemagick
  clang libclang-rt-14-dev desktop-file-utils appstream lintian)

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

# omnivex_configure BUILD_DIR BUILD_TYPE [cmake options...] -- when the folder is new or was configured with other
# options (or another compiler); otherwise the folder is kept as it is.
omnivex_configure() {
  local dir="$1" type="$2"
  shift 2
  local wanted stamp="$dir/omnivex-configure-options"
  wanted="$(printf '%s\n' "source=$OMNIVEX_ROOT" "CC=${CC:-}" "CXX=${CXX:-}" "-DCMAKE_BUILD_TYPE=$type" "$@")"
  if [ -f "$dir/build.ninja" ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
    return 0
  fi
  # A fresh cache, so that an option left out now is not kept from before.
  rm -f "$dir/CMakeCache.txt"
  cmake -S "$OMNIVEX_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" || return 1
  printf '%s\n' "$wanted" > "$stamp"
}

# omnivex_build BUILD_DIR BUILD_TYPE [cmake options...]
omnivex_build() {
  omnivex_configure "$@" || return 1
  cmake --build "$1" -j "$(nproc)"
}

# omnivex_quiet_build BUILD_DIR BUILD_TYPE [cmake options...] -- as omnivex_build, silent when it works; when it
# fails, everything CMake and the compiler said is shown (Ninja prints the errors on standard output).
omnivex_quiet_build() {
  local log
  log="$(mktemp)"
  if omnivex_build "$@" > "$log" 2>&1; then
    rm -f "$log"
    return 0
  fi
  cat "$log" >&2
  rm -f "$log"
  echo "The build failed; the messages above say why." >&2
  return 1
}

# Sanitizer runs: leaks are reported except inside the media and graphics libraries listed in the file.
omnivex_sanitizer_environment() {
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=1"
  export LSAN_OPTIONS="suppressions=$OMNIVEX_ROOT/tests/hardening/lsan-suppressions.txt:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
}
