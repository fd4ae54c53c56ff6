#!/usr/bin/env bash
# Runs the fuzz targets side by side for SECONDS each, starting from the
# committed seeds, and prints each target's executions and speed. Fails when
# a target finds a fault; its input is kept for the reproduction.
#
#   tests/fuzz/run.sh SECONDS [WORK_DIR]
#
# Needs the "fuzz" preset built. The seeds are copied into WORK_DIR (default:
# a fresh directory in /tmp), so that what a run adds stays out of the
# repository; give the same WORK_DIR again to go on from an earlier run.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:?usage: tests/fuzz/run.sh SECONDS [WORK_DIR]}
if [ -n "${2:-}" ]; then
  work=$2
else
  work=$(mktemp -d /tmp/dorvik-fuzz-XXXXXX)
  keep_work=0
fi
bin=build/fuzz/tests/fuzz
targets=(status_run profile support_log)

pids=()
for target in "${targets[@]}"; do
  mkdir -p "$work/$target/corpus" "$work/$target/finds"
  cp -n tests/fuzz/corpus/"$target"/* "$work/$target/corpus/" 2>/dev/null || true
  (cd "$work/$target" && exec "$OLDPWD/$bin/dorvik_fuzz_$target" -max_total_time="$seconds" \
     -print_final_stats=1 -artifact_prefix=finds/ corpus >log.txt 2>&1) &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  if wait "${pids[$i]}"; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target/log.txt")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$target/log.txt")
    echo "fuzz $target: $runs executions in ${seconds} s ($speed/s), no finding"
  else
    failed=1
    echo "fuzz $target: FOUND A FAULT (log: $work/$target/log.txt)"
    grep -E -A20 "ERROR|runtime error|invariant violated" "$work/$target/log.txt" | head -40 || true
    ls "$work/$target/finds"
  fi
done
# A directory of its own is removed after a clean run; one with a finding stays.
if [ "$failed" = 0 ] && [ "${keep_work:-1}" = 0 ]; then rm -rf "$work"; fi
exit $failed
