#!/usr/bin/env bash
# dialog_cases.sh: Dorvik.exe's start-up and dialog under Wine, on the
# provisioned default machine (winxp-complete), the way a person uses them:
#   - before the first run the list is empty and every icon an empty frame;
#   - a second copy, and a copy under another file name, are refused with
#     "Only one instance of this program allowed!" and exit code -1, while
#     the first runs on;
#   - Escape does nothing;
#   - two runs in a row replace the list instead of adding to it;
#   - "Run" after "Run w/Log" leaves the log alone;
#   - "Run w/Log" when the log cannot be opened shows only the warning and
#     leaves the list and the icons as they were;
#   - "Exit" ends the program with exit code 0.
# (The refusal of an unsupported Windows version is the win2003 profiles'
# end-to-end test.)
#
# Usage: dialog_cases.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR MACHINES_DIR
set -uo pipefail

# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh" "$1" "$2" dialog
profile=$(cd "$3/winxp-complete" && pwd)

REFUSED_TEXT='Only one instance of this program allowed!'

# A copy started while the first runs: refused, exit code -1.
expect_refused_copy() {
  local exe_name=$1 pid rc=0
  local copy
  copy="$(dirname "$DORVIK_PROGRAM_UNIX")/$exe_name"
  # Never over the running program's own file: its image is mapped from it.
  [ -e "$copy" ] || cp "$windows_build/Dorvik.exe" "$copy"
  (cd "$WINEPREFIX" && TZ=$DORVIK_TZ wine "${DORVIK_PROGRAM%\\*}\\$exe_name") &
  pid=$!
  local caption
  caption="${exe_name:0:1}$(tr 'A-Z' 'a-z' <<<"${exe_name:1}") Error Information"
  drive "refused-$exe_name" wait-msgbox "$caption" 20 dismiss
  [ "$(values "refused-$exe_name" msgbox-text)" = "$REFUSED_TEXT" ] ||
    fail "$exe_name: no \"$REFUSED_TEXT\" box titled \"$caption\""
  wait "$pid" || rc=$?
  [ "$rc" = 255 ] || fail "$exe_name: exit code $rc, expected -1 (255)"
}

begin_session "$profile"
start_program "$windows_build/Dorvik.exe"
log="$DORVIK_TEMP_UNIX/Dorvik.txt"

echo "-- before the first run: an empty list, empty frames"
drive fresh wait-window "$TITLE" 20 list icons
[ "$(values fresh list-count)" = 0 ] || fail "the list is not empty before the first run"
[ "$(values fresh icon | grep -vc ' enabled none$')" = 0 ] || fail "an icon is set before the first run"

echo "-- a second copy, and a copy under another file name, are refused"
expect_refused_copy Dorvik.exe
expect_refused_copy DORVIK2.EXE
drive still-there wait-window "$TITLE" 5 title

echo "-- Escape does nothing"
drive escape wait-window "$TITLE" key 27 sleep 500 wait-window "$TITLE" 1 list
[ "$(values escape list-count)" = 0 ] || fail "Escape changed the list"

echo "-- two runs in a row replace the list"
drive runs wait-window "$TITLE" press 3003 list icons press 3003 list icons
count=$(values runs list-count | sort -u)
[ "$(wc -l <<<"$count")" = 1 ] && [ "$count" -gt 60 ] ||
  fail "the second run did not replace the list (line counts: $(values runs list-count | tr '\n' ' '))"

echo "-- Run after Run w/Log leaves the log alone"
drive logged wait-window "$TITLE" press 3004 msgbox dismiss list icons
[ -f "$log" ] || fail "Run w/Log wrote no log"
cp -p "$log" "$work/after-logged.txt"
drive plain wait-window "$TITLE" sleep 1100 press 3003 list
cmp -s "$log" "$work/after-logged.txt" && [ ! "$log" -nt "$work/after-logged.txt" ] ||
  fail "Run changed the log"

echo "-- Run w/Log with an unwritable log shows only the warning"
rm -f "$log"
mkdir "$log"  # the log's name taken by a directory: the log cannot be opened
drive unwritable wait-window "$TITLE" press 3004 msgbox dismiss sleep 300 list icons
[ "$(values unwritable msgbox-caption)" = "Dorvik Error" ] &&
  [ "$(values unwritable msgbox-text)" = "Log File could not be opened for O/P:
$(values logged msgbox-text | tail -n1)" ] || fail "no \"Log File could not be opened\" warning"
[ "$(values unwritable pressed | tail -n1)" = "done" ] || fail "a second message box followed"
[ "$(values unwritable list)" = "$(values plain list)" ] || fail "the list changed"
[ "$(values unwritable icon)" = "$(values logged icon)" ] || fail "the icons changed"

echo "-- Exit ends with exit code 0"
drive exit wait-window "$TITLE" press 3005 wait-gone
rc=0
wait "$program_pid" || rc=$?
[ "$rc" = 0 ] || fail "exit code $rc after Exit, expected 0"

end_session "dialog cases"
