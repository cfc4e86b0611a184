#!/usr/bin/env bash
# Installs every Debian package the builds, tests and tools need, when it is
# missing. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  gcc-multilib g++-multilib              # the 32-bit Linux build
  g++-mingw-w64-i686 binutils-mingw-w64-i686  # the Windows deliverables
  qemu-user                              # runs the 32-bit tests
  googletest libbenchmark-dev
  clang libclang-rt-14-dev               # sanitizers and libFuzzer
  libpng-dev libfreetype-dev fonts-dejavu-core  # the previewer's images and text
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev  # the previewer's --video
  libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev  # the live panel's tests' HTTP client
  libboost-dev                           # the live panel's server (Boost.Beast over Boost.Asio)
  nlohmann-json3-dev                     # the live panel's JSON answers and messages
  libqrencode-dev                        # the live panel's access URL as a terminal QR code
  chromium                               # the live panel's browser test
  espeak-ng sox                          # regenerating the call-out recordings
  valgrind
  wine wine32:i386                       # runs the real .gau files (32-bit Windows)
  libexpat1-dev                          # the FlightGear link's test reads the protocol file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
  # Wine's 32-bit half comes from the i386 architecture.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The browser test drives Chromium with playwright-core (no browser download).
if command -v npm >/dev/null 2>&1 && [ ! -d tests/web/node_modules/playwright-core ]; then
  (cd "$(dirname "$0")/../tests/web" && npm ci --no-audit --no-fund --silent) || echo "note: npm ci failed; the browser test is skipped"
fi
