#!/usr/bin/env bash
# Every test of Dorvik, from a fresh Debian 12 machine (as root): installs
# what is missing, builds both presets, runs the unit tests on Linux and the
# tests of Dorvik.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)"
ctest --preset native -j"$(nproc)" -LE browser

# dorvik-support's pages in headless Chromium: the fleet table holds the
# CSV's rows; texts from logs (markup, scripts, quotes) are shown, never run.
# A few seconds, the two at once.
echo "== support pages in Chromium"
ctest --preset native -L browser -j2

# libFuzzer under ASan/UBSan, from the seeds in tests/fuzz/corpus: machines
# of any shape through start-up and whole status runs, and arbitrary bytes
# through the machine profile parsers. One minute per target, both at once.
echo "== fuzz targets: one minute each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
bash tests/fuzz/run.sh 60

echo "== windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"

echo "== Dorvik.exe: import table and PE header"
ctest --test-dir build/windows -L imports --output-on-failure

# Boots a cached Wine prefix template once (about 10 s, kept in /tmp), then
# starts Dorvik.exe under Xvfb as Windows XP.
echo "== Dorvik.exe under Wine: smoke test"
# (-L takes a pattern: anchored, so that it leaves out the label wine-faults.)
ctest --test-dir build/windows -L '^wine$' --output-on-failure

# Every machine profile of machines/ that Wine can produce, provisioned as
# its own prefix (two at a time) and run through Dorvik.exe's dialog: the log
# and icons against the expected ones and against dorvik-sim on the machine
# as provisioned; then the start-up and dialog cases. About a minute and a
# half; a profile Wine cannot produce is reported as skipped, with the reason.
echo "== Dorvik.exe under Wine, end to end: every machine profile"
ctest --test-dir build/windows -L e2e -j2 --output-on-failure

# Faults of the machine under Wine, on the provisioned default machine: the
# temporary directory read-only or full (mounted over it; skipped with the
# reason where mounting is not allowed) and the log on /dev/full; twenty
# copies started at once; and a whole session recorded around, to show that
# the prefix changes only by the log. About half a minute, two at a time.
echo "== Dorvik.exe under Wine: faults of the machine, and nothing written"
ctest --test-dir build/windows -L wine-faults -j2 --output-on-failure
