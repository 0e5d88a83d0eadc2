#!/usr/bin/env bash
# build-setup-test.sh -- the set-up shared by scripts/play and scripts/test, on a tiny project of its own:
# a build with work to do names its stage and shows its progress, one with nothing to do is silent, a broken
# one shows the compiler's message, a changed option configures again; the quiet build says nothing unless it
# fails.
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

# The same options again: nothing is configured anew (the cache keeps its time to the nanosecond).
before="$(stat -c %.9Y "$build/CMakeCache.txt")"
omnivex_quiet_build "$build" Release -DPROBE_WORD=first > /dev/null 2>&1 || fail "an unchanged build failed"
[ "$(stat -c %.9Y "$build/CMakeCache.txt")" = "$before" ] || fail "unchanged options configured again"

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

# The build with progress, as scripts/play and scripts/test run it. A first build says which stage runs,
# configures, shows Ninja's steps and how long it took; every line of it is one of those.
printf '#include <cstdio>\nint main() { std::puts(PROBE_WORD); }\n' > "$OMNIVEX_ROOT/main.cpp"
for n in 1 2 3 4 5 6 7 8 9 10 11 12; do printf 'int part%s() { return %s; }\n' "$n" "$n" > "$OMNIVEX_ROOT/part$n.cpp"; done
# A glob checked at every build, as the game's own: CMake's check before the build is no step of it.
sed -i 's/add_executable(probe main.cpp)/file(GLOB parts CONFIGURE_DEPENDS part*.cpp)\nadd_executable(probe main.cpp ${parts})/' \
  "$OMNIVEX_ROOT/CMakeLists.txt"
progress="$work/progress"
out="$(omnivex_build_with_progress "Probe" "$progress" Release -DPROBE_WORD=third 2>&1)" ||
  fail "a working build with progress failed: $out"
[ "$("$progress/probe")" = third ] || fail "the build with progress did not build"
first="$(head -n 1 <<< "$out")"
[ "$first" = "== Probe: configuring $progress" ] || fail "the first line does not name the stage: $first"
steps="$(sed -n -E 's/^== Probe: building in .*progress \(([0-9]+) steps\)$/\1/p' <<< "$out")"
[ -n "$steps" ] || fail "no building line: $out"
grep -q -E "^\[$steps/$steps\] Linking CXX executable probe$" <<< "$out" || fail "the steps are not the build's: $out"
grep -q -E '^\[[0-9]+/[0-9]+\] Building CXX object' <<< "$out" || fail "no step shown: $out"
[ "$(grep -c -E '^\[[0-9]+/[0-9]+\] ' <<< "$out")" -le 11 ] || fail "more than a line a tenth of the steps: $out"
grep -q -E '^== Probe: built in [0-9]+ s$' <<< "$out" || fail "no closing line: $out"
[ -z "$(grep -v -E '^(== Probe: |\[[0-9]+/[0-9]+\] )' <<< "$out")" ] || fail "other lines in a working build: $out"
# Nothing to do: nothing said.
out="$(omnivex_build_with_progress "Probe" "$progress" Release -DPROBE_WORD=third 2>&1)" ||
  fail "an unchanged build with progress failed"
[ -z "$out" ] || fail "a build with nothing to do printed: $out"
# A broken source: the steps so far, then the compiler's message and the stage that failed.
printf 'int part7() { return undeclaredProbeName; }\n' > "$OMNIVEX_ROOT/part7.cpp"
if out="$(omnivex_build_with_progress "Probe" "$progress" Release -DPROBE_WORD=third 2>&1)"; then
  fail "a broken build with progress reported success"
fi
grep -q "undeclaredProbeName" <<< "$out" || fail "the compiler's error was not shown with progress: $out"
grep -q "error:" <<< "$out" || fail "no error line with progress in: $out"
grep -q "^== Probe: the build failed" <<< "$out" || fail "the failed stage is not named: $out"

if [ "$failures" -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "build set-up: all checks passed"
