#!/usr/bin/env bash
# The whole test suite across the builds: native 64-bit, 32-bit Linux under
# qemu-i386, the Windows modules (binary checks, and the real .gau files
# flown under Wine against the Linux trace), and clang with ASan/UBSan
# (with the fuzz harnesses' corpora and a bounded fuzzing run).
#
# It installs what the tests need first (scripts/install-deps.sh --for
# test); a package that cannot be installed is named there and the run goes
# on. A test whose tool is missing reports skipped with the reason; a build
# whose compiler or emulator is missing is not tried, and says why. It ends
# with one table (per build: passed, failed, skipped, and each skip's
# reason) and the line "N passed, N failed, N skipped". Exit status: 1 when
# a test, a build or the fuzz run failed; skips alone do not fail the run.
#
# usage: scripts/test-all.sh [--no-install] [--presets "native mingw-i686 ..."]
#   --no-install   do not install packages (use what this machine has)
#   --presets P    only these builds (default: native i686-linux mingw-i686
#                  sanitize; the fuzz run comes with sanitize)
set -uo pipefail
cd "$(dirname "$0")/.."

install=1
presets="native i686-linux mingw-i686 sanitize"
while (($#)); do
  case "$1" in
    --no-install) install=0; shift ;;
    --presets) presets="${2:-}"; shift 2 || { echo "test-all: --presets needs a list" >&2; exit 2; } ;;
    *) echo "test-all: unknown option '$1'" >&2; exit 2 ;;
  esac
done
for preset in $presets; do
  case "$preset" in
    native|i686-linux|mingw-i686|sanitize) ;;
    *) echo "test-all: --presets: unknown build '$preset' (native, i686-linux, mingw-i686, sanitize)" >&2; exit 2 ;;
  esac
done

if ((install)); then
  scripts/install-deps.sh --for test
  deps=$?
  case $deps in
    0) ;;
    3) echo "test-all: some packages could not be installed (named above); the tests that need them report skipped" ;;
    *) exit "$deps" ;;
  esac
fi

jobs=$(nproc)
out=build/test-all
mkdir -p "$out"
results="$out/results.tsv"
: >"$results"

# What a build needs before it can be tried: an empty answer when all is
# there, otherwise the reason.
missing_for() {
  local -a why=()
  case "$1" in
    i686-linux)
      command -v qemu-i386 >/dev/null || why+=("qemu-i386 not found on PATH (Debian package qemu-user)")
      if ! printf 'int main(){return 0;}\n' | c++ -m32 -x c++ - -o "$out/m32-check" >/dev/null 2>&1; then
        why+=("the compiler cannot build for -m32 (Debian packages gcc-multilib, g++-multilib)")
      fi
      rm -f "$out/m32-check" ;;
    mingw-i686)
      command -v i686-w64-mingw32-g++ >/dev/null ||
        why+=("i686-w64-mingw32-g++ not found on PATH (Debian package g++-mingw-w64-i686)") ;;
    sanitize)
      command -v clang++ >/dev/null || why+=("clang++ not found on PATH (Debian package clang)") ;;
  esac
  ((${#why[@]})) && printf '%s; ' "${why[@]}" | sed 's/; $//'
  return 0
}

for preset in $presets; do
  echo "=== $preset"
  reason=$(missing_for "$preset")
  if [ -n "$reason" ]; then
    echo "test-all: $preset not tried: $reason"
    printf '%s\tnotrun\t%s\n' "$preset" "$reason" >>"$results"
    continue
  fi
  if ! cmake --preset "$preset" >"$out/$preset.configure.log" 2>&1; then
    tail -20 "$out/$preset.configure.log"
    printf '%s\tfailed\tconfigure failed (%s)\n' "$preset" "$out/$preset.configure.log" >>"$results"
    continue
  fi
  if ! cmake --build --preset "$preset" -j "$jobs"; then
    printf '%s\tfailed\tbuild failed\n' "$preset" >>"$results"
    continue
  fi
  rm -f "$out/$preset.xml"
  # The junit file is relative to the build folder unless absolute.
  ctest --preset "$preset" -j "$jobs" --output-junit "$PWD/$out/$preset.xml"
  printf '%s\tjunit\t%s\n' "$preset" "$out/$preset.xml" >>"$results"
done

if grep -q $'^sanitize\tjunit' "$results"; then
  export FUZZ_SECONDS=${FUZZ_SECONDS:-30}  # bounded, so the whole run fits CI
  echo "=== fuzz (${FUZZ_SECONDS} s a harness)"
  if scripts/fuzz-ci.sh; then
    printf 'fuzz\tpassed\t%s s a harness\n' "$FUZZ_SECONDS" >>"$results"
  else
    printf 'fuzz\tfailed\ta harness found a crash or was not built (above)\n' >>"$results"
  fi
elif [[ " $presets " == *" sanitize "* ]]; then
  printf 'fuzz\tnotrun\tthe sanitize build was not built\n' >>"$results"
fi

scripts/test-summary.sh "$results"
