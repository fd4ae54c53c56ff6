#!/usr/bin/env bash
# run_profile.sh: one machine profile, end to end: the demo (scripts/demo.sh,
# without a display) runs Dorvik.exe under Wine on the machine the profile
# describes, the way a person does ("Run w/Log", its box, "Exit"), and keeps
# what it saw.
#
# The log must be, byte for byte, the simulated run (dorvik-provision
# as-provisioned) on the machine the prefix really is, at a second between
# the driver's clock readings before and after the run; the list must hold
# the log's lines and the icons the profile's. That machine, at the profile's
# own clock, must give the profile's expected report (with Wine's Windows
# directory) and icons: the prefix is the profile's machine. A machine that
# start-up refuses must show its expected-refusal.txt, as the simulated run
# does, and end with exit code -1.
#
# Usage: run_profile.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR PROFILE_DIR
# Exit status: 0 passed, 1 failed, 77 the machine cannot be produced under
# Wine (the reasons are printed; the simulator covers it).
set -uo pipefail

profile=$(cd "$3" && pwd)
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh" "$1" "$2" "$(basename "$profile")"

# The simulated run on the machine as provisioned, with the driver's facts $1
# (their local time is its clock), into $work/$2.log and $work/$2.txt.
simulate() {
  "$DORVIK_PROVISION" as-provisioned "$profile" "$1" "$DORVIK_PROGRAM" "$work/$2.log" --icons \
    >"$work/$2.txt"
}

# The profile's expected report with Wine's Windows directory for its own.
expected_log() {
  local dir=$DORVIK_WINDOWS_DIR
  if [ "${dir,,}" = 'c:\windows' ]; then cat "$profile/expected.log"; return; fi
  sed "s/$(sed 's/[]\/$*.^[]/\\&/g' <<<"$dir")\\\\/C:\\\\windows\\\\/I" "$profile/expected.log"
}

differs() {
  fail "$1"
  diff <(sed 's/\r$//' "$2") <(sed 's/\r$//' "$3") | head -n 20
}

mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
rc=0
env -u DISPLAY bash "$here/../../scripts/demo.sh" --builds "$1" "$2" --keep "$work" "$profile" \
  >"$work/demo.txt" 2>&1 || rc=$?
[ "$rc" -ne 77 ] || { sed '/^== its report/q' "$work/demo.txt"; exit 77; }
[ "$rc" -eq 0 ] || { cat "$work/demo.txt"; echo "FAIL: the demo ended with status $rc"; exit 1; }
# shellcheck source=/dev/null
source "$work/settings.sh"
exit_code=$(cat "$work/exit-code")
seen=driver.txt

if [ -f "$profile/expected-refusal.txt" ]; then
  shown="$(values $seen msgbox-caption | head -n1): $(values $seen msgbox-text | head -n1)"
  [ "$shown" = "$(cat "$profile/expected-refusal.txt")" ] || fail "the refusal box: \"$shown\""
  [ "$exit_code" = 255 ] || fail "exit code $exit_code after the refusal, expected -1 (255)"
  simulate "$work/$seen" sim
  { [ $? = 255 ] && cmp -s "$work/sim.txt" "$profile/expected-refusal.txt"; } ||
    fail "the simulated run on the provisioned machine was not refused the same way"
  end_session "$(basename "$profile")"
  exit
fi

[ "$exit_code" = 0 ] || fail "exit code $exit_code after Exit, expected 0"
[ "$(box $seen)" = "$DORVIK_LOG_WRITTEN" ] || fail "the box after Run w/Log: $(box $seen)"
log="$work/log.txt"
[ "$(values $seen list)" = "$(sed 's/\r$//' "$log")" ] || fail "the status list differs from the log"
values $seen icon | sed -e 's/ enabled check$/ AOK/' -e 's/ enabled x$/ ERR/' \
  -e 's/ enabled question$/ ?/' -e 's/ disabled none$/ n\/r/' >"$work/icons"
sed -E 's/^([0-9]+) .*: /\1 /' "$profile/expected-icons.txt" >"$work/expected-icons"
cmp -s "$work/expected-icons" "$work/icons" ||
  differs "the icons differ from expected-icons.txt" "$work/expected-icons" "$work/icons"

grep -v '^local-time: ' "$work/$seen" >"$work/at-profile-clock"
simulate "$work/at-profile-clock" profile-clock || fail "the simulated run failed"
expected_log >"$work/expected.log"
cmp -s "$work/expected.log" "$work/profile-clock.log" ||
  differs "the machine as provisioned does not give expected.log" "$work/expected.log" \
    "$work/profile-clock.log"
sed '1,/^$/d' "$work/profile-clock.txt" | cmp -s - "$profile/expected-icons.txt" ||
  fail "the machine as provisioned does not give expected-icons.txt"

from=$(date -d "$(values $seen local-time | head -n1)" +%s)
to=$(date -d "$(values $seen local-time | tail -n1)" +%s)
same=no
for ((t = from; t <= to && t < from + 60; t++)); do
  sed "s/^local-time: .*/local-time: $(date -d "@$t" '+%F %T')/" "$work/$seen" >"$work/at-$t"
  simulate "$work/at-$t" sim && cmp -s "$log" "$work/sim.log" && { same=yes; break; }
done
[ "$same" = yes ] || differs "the log is not the simulated run at any second of the run" \
  "$work/sim.log" "$log"

[ "$failures" -eq 0 ] || cat "$work/demo.txt"
end_session "$(basename "$profile")"
