#!/usr/bin/env bash
# Runs each libFuzzer harness of the sanitize build for a bounded time
# (FUZZ_SECONDS, 60 by default) from a scratch copy of its corpus, so the
# committed corpus stays as it is. Fails when a harness finds a crash.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
build=build/sanitize/fuzz
if [ ! -d "$build" ]; then
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize -j "$(nproc)"
fi

status=0
found=0
for harness in fuzz/*_fuzz.cpp; do
  name=$(basename "$harness" .cpp)
  binary="$build/$name"
  if [ ! -x "$binary" ]; then
    echo "fuzz-ci: $binary was not built" >&2
    status=1
    continue
  fi
  found=1
  scratch=$(mktemp -d)
  if [ -d "fuzz/corpus/$name" ]; then cp -r "fuzz/corpus/$name/." "$scratch/"; fi
  log="$scratch.log"
  echo "=== fuzz $name for ${seconds}s"
  if "$binary" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
       -artifact_prefix="$scratch/" "$scratch" >"$log" 2>&1; then
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$log" | tail -2 || true
  else
    echo "fuzz-ci: $name failed; its log:" >&2
    tail -40 "$log" >&2
    echo "fuzz-ci: the inputs it found are kept in $scratch" >&2
    status=1
    continue
  fi
  rm -rf "$scratch" "$log"
done
if [ $found -eq 0 ]; then echo "fuzz-ci: no fuzz harness built"; fi
exit $status
