#!/usr/bin/env bash
# The main job: installs what the previewer needs (scripts/install-deps.sh
# --for main: the toolchain and the previewer's, video's and live panel's
# libraries, nothing of the tests), builds the previewer in the release
# build and runs it with the options given (--help lists them).
#
# A package that cannot be installed is named by install-deps.sh and the
# build goes on: it gets as far as the packages that are there allow.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --for main
deps=$?
case $deps in
  0) ;;
  3) echo "run-panel: some packages could not be installed (named above); building with what is there" >&2 ;;
  *) exit "$deps" ;;
esac

set -e
# Only the previewer: the tests and benchmarks are the test command's.
cmake --preset release -DMORVANE_TESTS=OFF -DMORVANE_BENCH=OFF >/dev/null
cmake --build --preset release -j "$(nproc)" --target gaugehost_preview
exec build/release/bin/morvane-preview "$@"
