#!/usr/bin/env bash
# run.sh: Dorvik's benchmarks, each against its floor, measured side by side.
#
# Usage: bash bench/run.sh [status-run|startup|loader|fleet|all]   (default all)
# From a clean clone with the project's dependencies (scripts/install-deps.sh):
# builds the release tools and the windows build's benchmark programs,
# provisions the winxp-complete machine as a Wine prefix the way the
# end-to-end tests do (for the status run and start-up), and prints ratios:
# several samples each, their median and spread. Nothing passes or fails on
# a time; see bench/README.md for the goals and the figures.
#
# Generated registry exports (about 500 MB) are kept in DORVIK_BENCH_DIR
# (default /tmp/dorvik-bench) for the next run; Wine prefixes live below
# DORVIK_WINE_ROOT, as in the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
what=${1:-all}
bench_dir=${DORVIK_BENCH_DIR:-/tmp/dorvik-bench}
case $what in
  all | status-run | startup | loader | fleet) ;;
  *) echo "usage: bash bench/run.sh [status-run|startup|loader|fleet|all]" >&2 && exit 2 ;;
esac

# The support program's fleet mode has no floor: time and memory at two sizes.
if [ "$what" = all ] || [ "$what" = fleet ]; then
  bash bench/fleet.sh
  [ "$what" = fleet ] && exit 0
  echo
fi

echo "== builds: the release tools, and the windows build's benchmark programs"
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target dorvik-sim dorvik-provision >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target Dorvik status_run_bench bare_dialog startup_bench \
  >/dev/null
windows_build=$root/build/windows
# shellcheck disable=SC2034  # provision.sh runs it
DORVIK_PROVISION=$root/build/release/tools/dorvik-provision/dorvik-provision
echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg), $(wine --version)"

if [ "$what" = all ] || [ "$what" = loader ]; then
  echo
  python3 bench/loader_bench.py "$root/build/release/tools/dorvik-sim/dorvik-sim" "$bench_dir"
fi

[ "$what" = loader ] && exit 0
# shellcheck source=tools/dorvik-provision/wine/provision.sh
source "$root/tools/dorvik-provision/wine/provision.sh"
start_xvfb
work="$DORVIK_WINE_ROOT/bench.$$"
finish() {
  cd /
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  [ -n "${WINEPREFIX:-}" ] && rm -rf "$WINEPREFIX"
  rm -rf "$work"
  stop_xvfb
}
trap finish EXIT
provision_machine "$root/machines/winxp-complete" "$work"
# Both programs in Dorvik's own folder on the machine, as a user starts it.
program_dir=$(dirname "$DORVIK_PROGRAM_UNIX")
program_win=${DORVIK_PROGRAM%\\*}
cp "$windows_build/Dorvik.exe" "$windows_build/bare_dialog.exe" \
  "$windows_build/status_run_bench.exe" "$program_dir/"
cd "$WINEPREFIX"

if [ "$what" = all ] || [ "$what" = status-run ]; then
  echo
  TZ=$DORVIK_TZ wine "$program_win\\status_run_bench.exe" 20 7 | tr -d '\r'
fi
if [ "$what" = all ] || [ "$what" = startup ]; then
  echo
  TZ=$DORVIK_TZ wine "$windows_build/startup_bench.exe" 8 7 "$program_win\\Dorvik.exe" \
    "$program_win\\bare_dialog.exe" | tr -d '\r'
fi
