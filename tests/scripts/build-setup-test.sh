#!/usr/bin/env bash
# build-setup-test.sh -- the set-up shared by scripts/play and scripts/test, on a tiny project of its own:
# a working build is silent, a broken one shows the compiler's message, a changed option configures again.
set -uo pipefail
source "$(dirname "$0")/../../scripts/common.sh"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
OMNIVEX_ROOT="$work/project"
mkdir -p "$OMNIVEX_ROOT"
cat > "$OMNIVEX_ROOT/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(SetupProbe CXX)
set(PROBE_WORD "none" CACHE STRING "a word the build is configured with")
add_executable(probe main.cpp)
target_compile_definitions(probe PRIVATE PROBE_WORD="${PROBE_WORD}")
CMAKE
printf '#include <cstdio>\nint main() { std::puts(PROBE_WORD); }\n' > "$OMNIVEX_ROOT/main.cpp"
build="$work/build"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

out="$(omnivex_quiet_build "$build" Release -DPROBE_WORD=first 2>&1)" || fail "a working build failed: $out"
[ -z "$out" ] || fail "a working build printed: $out"
[ "$("$build/probe")" = first ] || fail "the build does not hold its option"

# The same options again: nothing is configured anew.
before="$(stat -c %Y "$build/CMakeCache.txt")"
sleep 1
omnivex_quiet_build "$build" Release -DPROBE_WORD=first > /dev/null 2>&1 || fail "an unchanged build failed"
[ "$(stat -c %Y "$build/CMakeCache.txt")" = "$before" ] || fail "unchanged options configured again"

# A changed option reaches the build.
omnivex_quiet_build "$build" Release -DPROBE_WORD=second > /dev/null 2>&1 || fail "a reconfigured build failed"
[ "$("$build/probe")" = second ] || fail "a changed option was ignored"
# An option left out falls back to its default instead of staying as it was.
omnivex_quiet_build "$build" Release > /dev/null 2>&1 || fail "a build without the option failed"
[ "$("$build/probe")" = none ] || fail "an option left out was kept from before"

# A broken source: the compiler's own message is shown, and the status says it failed.
printf 'int main() { return undeclaredProbeName; }\n' > "$OMNIVEX_ROOT/main.cpp"
if out="$(omnivex_quiet_build "$build" Release 2>&1)"; then
  fail "a broken build reported success"
fi
grep -q "undeclaredProbeName" <<< "$out" || fail "the compiler's error was not shown: $out"
grep -q "error" <<< "$out" || fail "no error line in: $out"

if [ "$failures" -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "build set-up: all checks passed"
