#!/usr/bin/env bash
# run_profile.sh: one machine profile, end to end: Dorvik.exe under Wine on
# the machine the profile describes.
#
# Provisions a prefix from the profile, starts Dorvik.exe, performs "Run
# w/Log" through the dialog the way a person does, and ends it with "Exit".
# The log, the status list and the icons must match the profile's expected
# report and icons (lines that Wine decides are compared with what Wine
# gives; see compare_run.py) and, byte for byte, the simulated run on the
# machine as provisioned. A machine that start-up refuses must show its
# expected-refusal.txt in a message box and end with exit code -1.
#
# Usage: run_profile.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR PROFILE_DIR
# Exit status: 0 passed, 1 failed, 77 the machine cannot be produced under
# Wine (the reasons are printed; the simulator covers it).
set -uo pipefail

profile=$(cd "$3" && pwd)
name=$(basename "$profile")
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh" "$1" "$2" "$name"

# Here every step's output is kept together in one file, for the comparison.
drive() {
  TZ=$DORVIK_TZ wine "$windows_build/dorvik_driver.exe" "$@" >>"$work/driver.txt"
}

# The program's exit code into $program_rc, as Wine hands it on (8 bits:
# -1 is 255). Not in a subshell: only this shell can wait for the program.
program_exit() {
  program_rc=0
  wait "$program_pid" || program_rc=$?
}

run_refused() {
  local expected caption
  expected=$(cat "$profile/expected-refusal.txt")
  caption=${expected%%: *}
  drive facts
  drive wait-msgbox "$caption" 20 dismiss || fail "no refusal box titled \"$caption\""
  local shown
  shown="$(sed -n 's/^msgbox-caption: //p' "$work/driver.txt"): $(sed -n 's/^msgbox-text: //p' "$work/driver.txt")"
  [ "$shown" = "$expected" ] || fail "refusal shows \"$shown\", expected \"$expected\""
  program_exit
  [ "$program_rc" = 255 ] || fail "exit code $program_rc after the refusal, expected -1 (255)"
  local simulated=0
  "$DORVIK_PROVISION" as-provisioned "$profile" "$work/driver.txt" "$DORVIK_PROGRAM" \
    "$work/sim.log" >"$work/sim.txt" || simulated=$?
  [ "$simulated" = 255 ] && [ "$(cat "$work/sim.txt")" = "$expected" ] ||
    fail "the simulated run on the provisioned machine was not refused the same way"
}

# The program's names, as start-up derives them from its file name: the
# first letter upper case, the rest lower case; the log is named after it
# less its last four characters.
program_names() {
  local file=${DORVIK_PROGRAM##*\\}
  program_file="$(tr 'a-z' 'A-Z' <<<"${file:0:1}")$(tr 'A-Z' 'a-z' <<<"${file:1}")"
  log_name="${program_file:0:${#program_file}-4}.txt"
  TITLE=" Show Korvane Device Drivers Status ($program_file v5.01.015)"
}

# Wine opens log paths of MAX_PATH (260) characters and more, which Windows
# cannot: the log of a machine with such a path is written and compared.
compare() {
  "$DORVIK_PROVISION" as-provisioned "$profile" "$work/driver.txt" "$DORVIK_PROGRAM" \
    "$work/sim.log" --icons >"$work/sim.txt" || fail "the simulated run failed"
  python3 "$here/compare_run.py" --profile "$profile" --driver "$work/driver.txt" \
    --log-name "$log_name" --sim-log "$work/sim.log" --sim-output "$work/sim.txt" "$@" ||
    failures=$((failures + 1))
}

run_logged() {
  drive wait-window "$TITLE" 20 facts local-time press 3004 msgbox dismiss local-time list icons \
    press 3005 wait-gone || fail "driver: $(grep '^error: ' "$work/driver.txt")"
  program_exit
  [ "$program_rc" = 0 ] || fail "exit code $program_rc after Exit, expected 0"
  if cp "$DORVIK_TEMP_UNIX/$log_name" "$work/real.log" 2>/dev/null; then
    compare --log "$work/real.log"
  else
    fail "no log $log_name in the temporary directory"
  fi
}


begin_session
rc=0
provision_machine "$profile" "$work" || rc=$?
if [ "$rc" -eq 77 ]; then
  cat "$work/plan.txt"
  exit 77
fi
[ "$rc" -eq 0 ] || { echo "FAIL: provisioning $name"; exit 1; }

program_names
start_program "$windows_build/Dorvik.exe"
if [ -f "$profile/expected-refusal.txt" ]; then
  run_refused
else
  run_logged
fi

if [ "$failures" -ne 0 ]; then
  echo "--- driver output"
  grep -v '^reg: ' "$work/driver.txt"
  echo "$name: $failures failure(s)"
  exit 1
fi
echo "$name: passed"
