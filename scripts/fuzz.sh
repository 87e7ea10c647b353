#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for SECONDS seconds, starting
# from its seed corpus in fuzz/corpus/<name>/. Exits non-zero on the first
# finding; the crashing input is kept as fuzz-findings/<name>/crash-*.
#   scripts/fuzz.sh SECONDS
# FUZZ_BUILD_DIR chooses the build folder (default build-fuzz); a folder
# configured with QUILLET_FUZZ=ON by someone else is reused as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: scripts/fuzz.sh SECONDS}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"

if ! grep -q '^QUILLET_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_FUZZ=ON >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target quillet_fuzzers

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:allocator_may_return_null=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen
status=0
for src in fuzz/*_fuzz.cpp; do
  name="$(basename "$src" .cpp)"
  short="${name%_fuzz}"
  seeds="fuzz/corpus/$short"
  work="$build/fuzz-corpus/$short"   # what the run adds stays out of the tree
  findings="fuzz-findings/$short"
  mkdir -p "$work" "$findings"
  [[ -d "$seeds" ]] || seeds=""
  echo "== $name: ${seconds}s"
  if ! "$build/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$work" $seeds; then
    echo "FINDING in $name: see $findings/" >&2
    status=1
  fi
done
exit $status
