#!/usr/bin/env bash
# Runs the fuzz targets side by side for SECONDS each, starting from the
# committed seeds, and prints each target's executions and speed. Fails when
# a target finds a fault; its input is kept for the reproduction.
#
#   tests/fuzz/run.sh SECONDS [WORK_DIR]
#
# Needs the "fuzz" preset built. The seeds are copied into WORK_DIR (default:
# a fresh directory in /tmp, removed after a clean run), so that what a run
# adds stays out of the repository; give the same WORK_DIR again to go on
# from an earlier run.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:?usage: tests/fuzz/run.sh SECONDS [WORK_DIR]}
work=${2:-$(mktemp -d /tmp/dorvik-fuzz-XXXXXX)}
targets=(status_run profile support_log)

pids=()
for target in "${targets[@]}"; do
  mkdir -p "$work/$target/corpus" "$work/$target/finds"
  cp -n tests/fuzz/corpus/"$target"/* "$work/$target/corpus/" 2>/dev/null || true
  (cd "$work/$target" && exec "$OLDPWD/build/fuzz/tests/fuzz/dorvik_fuzz_$target" \
     -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix=finds/ corpus >log.txt 2>&1) &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  log=$work/${targets[$i]}/log.txt
  if wait "${pids[$i]}"; then
    echo "fuzz ${targets[$i]}: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") executions" \
      "in ${seconds} s ($(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")/s), no finding"
  else
    failed=1
    echo "fuzz ${targets[$i]}: FOUND A FAULT (log: $log)"
    grep -E -A20 "ERROR|runtime error|invariant violated" "$log" | head -40 || true
    ls "$work/${targets[$i]}/finds"
  fi
done
if [ "$failed" = 0 ] && [ -z "${2:-}" ]; then rm -rf "$work"; fi
exit $failed
