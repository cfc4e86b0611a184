#!/usr/bin/env bash
# Sets up, builds and runs the main job: the module loaded in the test host
# on its built-in default panel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
if [ -x build/release/bin/morvane-preview ]; then
  exec build/release/bin/morvane-preview "$@"
fi
exec build/release/bin/morvane-host "$@"
