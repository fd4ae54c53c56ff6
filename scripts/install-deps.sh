#!/usr/bin/env bash
# Installs what Dorvik's build, demo and tests need on Debian 12, as root.
# Safe to run again: apt-get only adds what is missing.
set -euo pipefail

packages=(
  cmake make g++ libgtest-dev libtomlplusplus-dev      # native core, simulator, unit tests
  clang libclang-rt-14-dev                             # fuzz targets (libFuzzer)
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686     # Dorvik.exe
  wine wine32:i386 xvfb x11-utils imagemagick          # running Dorvik.exe
  python3                                              # end-to-end comparisons
  chromium                                             # dorvik-support's pages, headless
  mount util-linux e2fsprogs                           # full and read-only temporary directories
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
