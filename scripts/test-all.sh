#!/usr/bin/env bash
# The whole test suite across the builds: native 64-bit, 32-bit Linux under
# qemu-i386, the Windows modules (binary checks, and the real .gau files
# flown under Wine against the Linux trace), and clang with ASan/UBSan
# (with the fuzz harnesses' corpora and a bounded fuzzing run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
status=0
for preset in native i686-linux mingw-i686 sanitize; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs" || status=1
done
if [ -x scripts/fuzz-ci.sh ]; then
  export FUZZ_SECONDS=${FUZZ_SECONDS:-30}  # bounded, so the whole run fits CI
  scripts/fuzz-ci.sh || status=1
fi
exit $status
