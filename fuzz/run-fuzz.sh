#!/usr/bin/env bash
# run-fuzz.sh -- one timed libFuzzer run: BINARY WORKDIR SECONDS MAXLEN COMMITTED_SEEDS RESOURCE_SEEDS [FUZZER FLAGS]
# The corpus starts from the committed seeds and copies of the generated assets; new inputs and any crash
# (crash-*, leak-*, timeout-*) land in WORKDIR. The status is the fuzzer's: nonzero when it found a fault.
# OMNIVEX_FUZZ_SECONDS in the environment overrides SECONDS.
set -euo pipefail
binary="$1" work="$2" seconds="${OMNIVEX_FUZZ_SECONDS:-$3}" maxlen="$4" seeds="$5" resources="$6"
shift 6
rm -rf "$work/corpus"
mkdir -p "$work/corpus" "$work/generated"
if [ -n "$resources" ] && [ -d "$resources" ]; then
  find "$resources" -type f -size -400k -exec cp {} "$work/generated/" \;
fi
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/tests/hardening/lsan-suppressions.txt"
exec "$binary" -max_total_time="$seconds" -max_len="$maxlen" -timeout=20 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$work/" "$@" "$work/corpus" "$seeds" "$work/generated"
