#!/usr/bin/env bash
# fault_cases.sh: Dorvik.exe's "Run w/Log" under Wine on the provisioned
# default machine when the machine refuses the log:
#   - the temporary directory read-only (a read-only mount): only the warning
#     "could not be opened", and the list and the icons keep what the run
#     before showed;
#   - the log fails part way (a small loop-mounted ext2 with one block of
#     1 KiB left), and the log linked to /dev/full (the first write fails):
#     the warning "could not be written", never the information box, and
#     the list and the icons show the run.
# Mounting needs root and a kernel that lets this machine mount: otherwise
# the mounted cases are skipped with the reason, and the /dev/full case still
# runs. (A full tmpfs would repeat the /dev/full case: the log opens and its
# first write fails.)
#
# Usage: fault_cases.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR PROFILE_DIR
set -uo pipefail

# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh" "$1" "$2" faults

unmount_temp() {
  if [ -n "${DORVIK_TEMP_UNIX:-}" ] && mountpoint -q "$DORVIK_TEMP_UNIX"; then
    umount "$DORVIK_TEMP_UNIX" || umount -l "$DORVIK_TEMP_UNIX"
  fi
}
session_cleanup() { unmount_temp; }

# The list without its clock line, the one line in which two runs a second
# apart differ.
list_of_run() { values "$1" list | sed "${clock_line}d"; }

# logged_run NAME BOX: "Run w/Log" shows exactly one box, BOX.
logged_run() {
  drive "$1" wait-window "$DORVIK_TITLE" press "$DORVIK_RUN_WITH_LOG" msgbox msgbox-icon dismiss \
    sleep 300 list icons
  [ "$(box "$1")" = "$2" ] || fail "$1: the box: $(box "$1")"
  [ "$(values "$1" pressed | tail -n1)" = "done" ] || fail "$1: a second message box followed"
}

# The list and the icons of NAME are those of the run REFERENCE.
shows() {
  [ "$(list_of_run "$1")" = "$(list_of_run "$2")" ] || fail "$1: the list is not $2's"
  [ "$(values "$1" icon)" = "$(values "$2" icon)" ] || fail "$1: the icons are not $2's"
}

# A small ext2 file system of 1 KiB blocks over the temporary directory,
# full but for one block: smaller than the log, which tmpfs's pages are not.
mount_nearly_full_temp() {
  truncate -s 256k "$work/small.img"
  mkfs.ext2 -q -F -b 1024 -m 0 "$work/small.img" &&
    mount -o loop "$work/small.img" "$DORVIK_TEMP_UNIX" || return 1
  dd if=/dev/zero of="$DORVIK_TEMP_UNIX/filler" bs=1024 status=none 2>/dev/null
  truncate -s -1024 "$DORVIK_TEMP_UNIX/filler"
  [ "$(stat -f -c %a "$DORVIK_TEMP_UNIX")" = 1 ]
}

begin_session "$3"
start_program "$windows_build/Dorvik.exe"
log="$DORVIK_TEMP_UNIX/$DORVIK_LOG_NAME"
logged_run written "$DORVIK_LOG_WRITTEN"
[ -s "$log" ] || fail "Run w/Log on a sound machine wrote no log"
sleep 1  # the next runs' clock lines differ from this one's
logged_run again "$DORVIK_LOG_WRITTEN"
clock_line=$(diff <(values written list) <(values again list) | sed -n 's/^\([0-9]*\)c\1$/\1/p')
[ -n "$clock_line" ] || fail "two runs a second apart do not differ in one line"

if [ "$(id -u)" != 0 ]; then
  echo "SKIPPED: the read-only and part-way cases mount over the temporary directory: root only"
elif ! mount -t tmpfs -o ro,size=64k dorvik-read-only "$DORVIK_TEMP_UNIX" 2>"$work/mount-error"; then
  echo "SKIPPED: the read-only and part-way cases: this machine cannot mount ($(cat "$work/mount-error"))"
else
  echo "-- the temporary directory read-only: only the warning, list and icons unchanged"
  drive before-read-only wait-window "$DORVIK_TITLE" press "$DORVIK_RUN" list icons
  logged_run read-only "$DORVIK_LOG_NOT_OPENED"
  [ "$(values read-only list)" = "$(values before-read-only list)" ] || fail "read-only: the list changed"
  [ "$(values read-only icon)" = "$(values before-read-only icon)" ] || fail "read-only: the icons changed"
  unmount_temp

  echo "-- one block left in the temporary directory: the log fails part way"
  if mount_nearly_full_temp 2>"$work/loop-error"; then
    logged_run part-way "$DORVIK_LOG_NOT_WRITTEN"
    shows part-way written
    size=$(stat -c %s "$log" 2>/dev/null || echo 0)
    [ "$size" -le 1024 ] || fail "part-way: the log holds $size bytes, more than the block left"
  else
    echo "SKIPPED: no loop-mounted file system here ($(head -n1 "$work/loop-error"))"
  fi
  unmount_temp
fi

echo "-- the log linked to /dev/full: the write warning"
rm -rf "$log"
ln -s /dev/full "$log"
logged_run dev-full "$DORVIK_LOG_NOT_WRITTEN"
shows dev-full written
rm -f "$log"

echo "-- after all that, Run w/Log works again and Exit ends with exit code 0"
logged_run last "$DORVIK_LOG_WRITTEN"
[ -s "$log" ] || fail "Run w/Log did not write the log once the machine allowed it"
drive exit wait-window "$DORVIK_TITLE" press "$DORVIK_EXIT" wait-gone
expect_exit Exit 0

end_session "fault cases"
