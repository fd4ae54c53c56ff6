#!/usr/bin/env bash
# Every test of Dorvik, from a fresh Debian 12 machine, as root or as an
# ordinary user: installs what is missing (with sudo when not root), builds
# both presets, runs the unit tests on Linux and the tests of Dorvik.exe under
# Wine, all as the user who started it. The cases that mount over the
# temporary directory need root: an ordinary user sees them skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { echo "== [$((SECONDS / 60)):$(printf %02d $((SECONDS % 60)))] $*"; }

bash scripts/install-deps.sh

step "native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)"
ctest --preset native -j"$(nproc)" -LE browser

# dorvik-support's pages in headless Chromium: the fleet table holds the
# CSV's rows; texts from logs (markup, scripts, quotes) are shown, never run.
# A few seconds, the two at once.
step "support pages in Chromium"
ctest --preset native -L browser -j2

# libFuzzer under ASan/UBSan, from the seeds in tests/fuzz/corpus: machines
# of any shape through start-up and whole status runs, arbitrary bytes
# through the machine profile parsers, and logs of any bytes through the
# support program's reader. Only the fuzz targets are built here; they run
# (one minute each, all at once) while the Wine tests below wait on Wine.
step "fuzz targets: build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" --target dorvik_fuzz_status_run dorvik_fuzz_profile \
  dorvik_fuzz_support_log

step "windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"

step "Dorvik.exe: import table and PE header"
ctest --preset windows -L imports

step "fuzz targets, one minute each, beside the Wine tests"
bash tests/fuzz/run.sh 60 >build/fuzz/run.log 2>&1 &
fuzz=$!
trap 'kill "$fuzz" 2>/dev/null || true' EXIT

# The demo (scripts/demo.sh, under Xvfb) on every machine profile of
# machines/, each provisioned as its own prefix (three at a time: they
# mostly wait on Wine; the first boots a cached Wine prefix template, about
# 10 s, kept in /tmp): the log and icons against the expected ones and against the simulated run on the
# machine as provisioned; then the start-up and dialog cases. A profile Wine
# cannot produce is reported as skipped, with the reason.
step "Dorvik.exe under Wine, end to end: the demo on every machine profile"
ctest --preset windows -L e2e -j3

# Faults of the machine under Wine, on the provisioned default machine: the
# temporary directory read-only or with one block left (mounted over it;
# skipped with the reason where mounting is not allowed) and the log on
# /dev/full; twenty copies started at once; and a whole session recorded
# around, to show that the prefix changes only by the log. Two at a time.
step "Dorvik.exe under Wine: faults of the machine, and nothing written"
ctest --preset windows -L wine-faults -j2

step "fuzz targets: results"
fuzz_status=0
wait "$fuzz" || fuzz_status=$?
trap - EXIT
cat build/fuzz/run.log
[ "$fuzz_status" = 0 ] || exit "$fuzz_status"
step "every test passed"
