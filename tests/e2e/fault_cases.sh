#!/usr/bin/env bash
# fault_cases.sh: Dorvik.exe's "Run w/Log" under Wine on the provisioned
# default machine (winxp-complete) when the machine refuses the log:
#   - the temporary directory read-only (a read-only mount): only the warning
#     "Log File could not be opened for O/P:", and the list and the icons keep
#     what the run before showed;
#   - the temporary directory full (a small tmpfs, filled up), and with one
#     block of 1 KiB left (a small loop-mounted ext2: the log fails part
#     way): the warning "Log File could not be written to:" with a warning
#     icon, never the information box, and the list and the icons show the
#     run;
#   - the log linked to /dev/full: the same warning.
# The mounts need root and a kernel that lets this machine mount; where
# mounting is refused, the read-only and full cases are skipped with the
# reason (as is the part-way case without loop devices), and the /dev/full
# case still runs.
#
# Usage: fault_cases.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR MACHINES_DIR
set -uo pipefail

# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh" "$1" "$2" faults
profile=$(cd "$3/winxp-complete" && pwd)

RUN=3003
RUN_WITH_LOG=3004
EXIT=3005

unmount_temp() {
  if [ -n "${DORVIK_TEMP_UNIX:-}" ] && mountpoint -q "$DORVIK_TEMP_UNIX"; then
    umount "$DORVIK_TEMP_UNIX" || umount -l "$DORVIK_TEMP_UNIX"
  fi
}
# A mount over the temporary directory goes at exit, once the server is gone.
session_cleanup() { unmount_temp; }

# The list without its clock line, which every run sets anew.
list_of_run() { values "$1" list | grep -v '^System Date / Time: '; }

# A plain "Run" whose list and icons the cases compare with.
reference_run() {
  drive "$1" wait-window "$TITLE" press "$RUN" list icons
  [ "$(values "$1" list-count)" -gt 60 ] || fail "$1: the run filled no list"
}

# logged_run_warning NAME TEXT: "Run w/Log" shows exactly one box, the
# warning TEXT followed by the log's path, with the caption "Dorvik Error".
logged_run_warning() {
  local name=$1 text=$2
  drive "$name" wait-window "$TITLE" press "$RUN_WITH_LOG" msgbox msgbox-icon dismiss \
    sleep 300 list icons
  [ "$(values "$name" msgbox-caption)" = "Dorvik Error" ] ||
    fail "$name: the box's caption is \"$(values "$name" msgbox-caption)\", not \"Dorvik Error\""
  [ "$(values "$name" msgbox-text)" = "$text
$LOG_PATH" ] || fail "$name: the box says \"$(values "$name" msgbox-text)\", expected \"$text\" and the log's path"
  [ "$(values "$name" msgbox-icon)" = warning ] ||
    fail "$name: the box shows the $(values "$name" msgbox-icon) icon, not the warning"
  [ "$(values "$name" pressed | tail -n1)" = "done" ] || fail "$name: a second message box followed"
}

# The list and the icons of NAME show a whole run, as REFERENCE's did.
shows_the_run() {
  [ "$(list_of_run "$1")" = "$(list_of_run "$2")" ] || fail "$1: the list does not show the run"
  [ "$(values "$1" icon)" = "$(values "$2" icon)" ] || fail "$1: the icons do not show the run"
}

# A tmpfs over the temporary directory, filled up to the last byte.
mount_full_temp() {
  unmount_temp
  mount -t tmpfs -o size=64k,mode=0777 dorvik-full "$DORVIK_TEMP_UNIX" || return 1
  dd if=/dev/zero of="$DORVIK_TEMP_UNIX/filler" bs=4096 status=none 2>/dev/null
  return 0
}

# A small ext2 file system of 1 KiB blocks over the temporary directory,
# full but for one block: smaller than the log, which tmpfs's pages are not.
mount_nearly_full_temp() {
  unmount_temp
  truncate -s 256k "$work/small.img"
  mkfs.ext2 -q -F -b 1024 -m 0 "$work/small.img" &&
    mount -o loop "$work/small.img" "$DORVIK_TEMP_UNIX" || return 1
  dd if=/dev/zero of="$DORVIK_TEMP_UNIX/filler" bs=1024 status=none 2>/dev/null
  truncate -s -1024 "$DORVIK_TEMP_UNIX/filler"
  [ "$(stat -f -c %a "$DORVIK_TEMP_UNIX")" = 1 ]
}

begin_session "$profile"
start_program "$windows_build/Dorvik.exe"
log="$DORVIK_TEMP_UNIX/Dorvik.txt"

# The log's path as the program shows it, from a "Run w/Log" that works.
drive written wait-window "$TITLE" 20 press "$RUN_WITH_LOG" msgbox msgbox-icon dismiss list icons
LOG_PATH=$(values written msgbox-text | tail -n1)
{ [ "$(values written msgbox-caption)" = "Dorvik Information" ] && [ -s "$log" ]; } ||
  fail "Run w/Log on a sound machine did not write and announce the log"
[ "$(values written msgbox-icon)" = information ] ||
  fail "the announcement shows the $(values written msgbox-icon) icon, not the information icon"

can_mount=yes
probe="$work/mount-probe"
mkdir -p "$probe"
if mount -t tmpfs -o size=4k dorvik-probe "$probe" 2>"$work/mount-error"; then
  umount "$probe"
else
  can_mount=no
fi

if [ "$can_mount" = yes ]; then
  echo "-- the temporary directory read-only: only the warning, list and icons unchanged"
  reference_run before-read-only
  rm -f "$log"
  mount -t tmpfs -o ro,size=64k dorvik-read-only "$DORVIK_TEMP_UNIX"
  logged_run_warning read-only "Log File could not be opened for O/P:"
  [ "$(values read-only list)" = "$(values before-read-only list)" ] ||
    fail "read-only: the list changed"
  [ "$(values read-only icon)" = "$(values before-read-only icon)" ] ||
    fail "read-only: the icons changed"
  unmount_temp

  echo "-- the temporary directory full: the write warning, the list and icons show the run"
  mount_full_temp
  reference_run before-full  # from a list that a run with log fills anew
  logged_run_warning full "Log File could not be written to:"
  shows_the_run full before-full
  [ -f "$log" ] || fail "full: the log was not even created"

  echo "-- one block left in the temporary directory: the log fails part way"
  if mount_nearly_full_temp 2>"$work/loop-error"; then
    logged_run_warning part-way "Log File could not be written to:"
    shows_the_run part-way before-full
    size=$(stat -c %s "$log" 2>/dev/null || echo 0)
    [ "$size" -le 1024 ] || fail "part-way: the log holds $size bytes, more than the block left"
  else
    echo "SKIPPED: no loop-mounted file system here ($(head -n1 "$work/loop-error"))"
  fi
  unmount_temp
else
  echo "SKIPPED: the read-only and full temporary directory cases: this sandbox cannot mount"
  echo "  ($(cat "$work/mount-error"))"
fi

echo "-- the log linked to /dev/full: the write warning"
rm -rf "$log"
ln -s /dev/full "$log"
logged_run_warning dev-full "Log File could not be written to:"
shows_the_run dev-full written
rm -f "$log"

echo "-- after all that, Run w/Log works again and Exit ends with exit code 0"
drive again wait-window "$TITLE" press "$RUN_WITH_LOG" msgbox dismiss press "$EXIT" wait-gone
{ [ "$(values again msgbox-caption)" = "Dorvik Information" ] && [ -s "$log" ]; } ||
  fail "Run w/Log did not write the log once the machine allowed it"
rc=0
wait "$program_pid" || rc=$?
[ "$rc" = 0 ] || fail "exit code $rc after Exit, expected 0"

end_session "fault cases"
