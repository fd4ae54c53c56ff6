#!/usr/bin/env bash
# Dorvik's demo, from a fresh Debian 12 machine (as root): installs what is
# missing, builds, and diagnoses the default machine, printing its report.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target dorvik-sim
build/native/tools/dorvik-sim/dorvik-sim machines/winxp-complete --icons
