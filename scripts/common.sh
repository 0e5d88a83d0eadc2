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

# omnivex_configured BUILD_DIR BUILD_TYPE [cmake options...] -- true when the folder was configured with exactly
# these options (and compiler) and can be kept as it is.
omnivex_configured() {
  local dir="$1" type="$2"
  shift 2
  local stamp="$dir/omnivex-configure-options"
  [ -f "$dir/build.ninja" ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(omnivex_configure_options "$type" "$@")" ]
}

omnivex_configure_options() {
  local type="$1"
  shift
  printf '%s\n' "source=$OMNIVEX_ROOT" "CC=${CC:-}" "CXX=${CXX:-}" "-DCMAKE_BUILD_TYPE=$type" "$@"
}

# omnivex_configure BUILD_DIR BUILD_TYPE [cmake options...] -- when the folder is new or was configured with other
# options (or another compiler); otherwise the folder is kept as it is.
omnivex_configure() {
  local dir="$1" type="$2"
  omnivex_configured "$@" && return 0
  shift 2
  # A fresh cache, so that an option left out now is not kept from before.
  rm -f "$dir/CMakeCache.txt"
  cmake -S "$OMNIVEX_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" || return 1
  omnivex_configure_options "$type" "$@" > "$dir/omnivex-configure-options"
}

# omnivex_build BUILD_DIR BUILD_TYPE [cmake options...]
omnivex_build() {
  omnivex_configure "$@" || return 1
  cmake --build "$1" -j "$(nproc)"
}

# omnivex_quiet_build BUILD_DIR BUILD_TYPE [cmake options...] -- as omnivex_build, silent when it works; when it
# fails, everything CMake and the compiler said is shown (Ninja prints the errors on standard output).
omnivex_quiet_build() {
  omnivex_logged "The build failed; the messages above say why." omnivex_build "$@"
}

# omnivex_logged FAILURE_LINE COMMAND... -- runs the command with its output kept aside: nothing is shown when it
# works; when it fails, all it said goes to standard error, then FAILURE_LINE. The command's status is kept.
omnivex_logged() {
  local failure="$1" log status=0
  shift
  log="$(mktemp)"
  "$@" > "$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    cat "$log" >&2
    echo "$failure" >&2
  fi
  rm -f "$log"
  return "$status"
}

# omnivex_show_configure STAGE BUILD_DIR BUILD_TYPE [cmake options...] -- omnivex_configure, saying so when it runs
# ("== STAGE: configuring build/x") and otherwise silent; when it fails, everything CMake said is shown.
omnivex_show_configure() {
  local stage="$1" dir="$2"
  shift
  omnivex_configured "$@" && return 0
  echo "== $stage: configuring ${dir#"$OMNIVEX_ROOT"/}"
  omnivex_logged "== $stage: configuring ${dir#"$OMNIVEX_ROOT"/} failed; the messages above say why." \
    omnivex_configure "$@"
}

# True for a step that says what it does in words of its own, as the asset generators do ("Synthesizing the
# sounds"), rather than naming a file it compiles, links or copies.
omnivex_step_in_words() {
  [[ ! "$1" =~ ^(Building|Linking)\  ]] && [[ "$1" =~ ^[^\ ]+\ [^\ ]+\ [^\ ]+ ]]
}

# omnivex_show_build STAGE BUILD_DIR [cmake --build options...] -- builds, showing Ninja's progress while it runs:
# on a terminal one line that is rewritten, otherwise a line at each tenth of the steps and one for each step
# that says what it does in words (the asset generators, which take the longest). Silent when there is nothing to build. When it fails, the compiler's messages are shown.
omnivex_show_build() {
  local stage="$1" dir="$2"
  shift 2
  local log started=$SECONDS shown=0 tenth=-1 status=1 line done total what terminal=0 width
  log="$(mktemp)"
  [ -t 1 ] && terminal=1
  width="$(tput cols 2>/dev/null || echo 100)"
  # Ninja writes a "[done/total] what" line for each step when its output is not a terminal, and the
  # compiler's messages below the step that failed. The last line read is the build's status.
  while IFS= read -r line; do
    if [[ "$line" =~ ^omnivex-build-status:([0-9]+)$ ]]; then
      status="${BASH_REMATCH[1]}"
    elif [[ "$line" =~ ^\[[0-9]+/[0-9]+\]\ Re-(checking\ globbed\ directories|running\ CMake) ]]; then
      continue  # CMake's own checks before the build, which then starts counting anew
    elif [[ "$line" =~ ^\[([0-9]+)/([0-9]+)\]\ (.*)$ ]]; then
      done="${BASH_REMATCH[1]}" total="${BASH_REMATCH[2]}" what="${BASH_REMATCH[3]}"
      if [ "$shown" = 0 ]; then
        echo "== $stage: building in ${dir#"$OMNIVEX_ROOT"/} ($total steps)"
        shown=1
      fi
      if [ "$terminal" = 1 ]; then
        line="[$done/$total] $what"
        printf '\r\033[K%s' "${line:0:$((width - 1))}"
      elif [ $((done * 10 / total)) -gt "$tenth" ] || omnivex_step_in_words "$what"; then
        tenth=$((done * 10 / total))
        echo "[$done/$total] $what"
      fi
    else
      printf '%s\n' "$line" >> "$log"
    fi
  done < <(cmake --build "$dir" -j "$(nproc)" "$@" 2>&1; echo "omnivex-build-status:$?")
  [ "$terminal" = 1 ] && [ "$shown" = 1 ] && printf '\r\033[K'
  if [ "$status" = 0 ]; then
    [ "$shown" = 1 ] && echo "== $stage: built in $((SECONDS - started)) s"
    rm -f "$log"
    return 0
  fi
  cat "$log" >&2
  rm -f "$log"
  echo "== $stage: the build failed; the messages above say why." >&2
  return 1
}

# omnivex_build_with_progress STAGE BUILD_DIR BUILD_TYPE [cmake options...] -- configures when needed and builds
# everything, saying which stage runs and showing the progress; silent when there is nothing to do.
omnivex_build_with_progress() {
  omnivex_show_configure "$@" || return 1
  omnivex_show_build "$1" "$2"
}

# Sanitizer runs: leaks are reported except inside the media and graphics libraries listed in the file.
omnivex_sanitizer_environment() {
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=1"
  export LSAN_OPTIONS="suppressions=$OMNIVEX_ROOT/tests/hardening/lsan-suppressions.txt:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
}
