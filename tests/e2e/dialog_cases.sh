#!/usr/bin/env bash
# dialog_cases.sh: Dorvik.exe's start-up and dialog under Wine, on the
# provisioned default machine, the way a person uses them:
#   - before the first run the list is empty and every icon an empty frame;
#   - a second copy, and a copy under another file name, are refused with
#     their own caption and exit code -1, while the first runs on;
#   - Escape does nothing;
#   - two runs in a row replace the list instead of adding to it;
#   - "Run" after "Run w/Log" leaves the log alone;
#   - "Run w/Log" when the log cannot be opened shows only the warning and
#     leaves the list and the icons as they were;
#   - "Exit" ends the program with exit code 0.
# (The refusal of an unsupported Windows version is the win2003 profiles'
# end-to-end test.)
#
# Usage: dialog_cases.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR PROFILE_DIR
set -uo pipefail

# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh" "$1" "$2" dialog

# A copy started while the first runs, as the file $1: refused.
expect_refused_copy() {
  local program="${DORVIK_PROGRAM%\\*}\\$1" copy pid rc=0 DORVIK_REFUSAL_CAPTION
  copy="$(dirname "$DORVIK_PROGRAM_UNIX")/$1"
  # Never over the running program's own file: its image is mapped from it.
  [ -e "$copy" ] || cp "$windows_build/Dorvik.exe" "$copy"
  (cd "$WINEPREFIX" && TZ=$DORVIK_TZ exec wine "$program") &
  pid=$!
  eval "$("$DORVIK_PROVISION" names "$profile" "$program" | grep '^DORVIK_REFUSAL_CAPTION=')"
  drive "refused-$1" wait-msgbox "$DORVIK_REFUSAL_CAPTION" 20 dismiss
  [ "$(values "refused-$1" msgbox-text)" = "$DORVIK_SECOND_COPY" ] ||
    fail "$1: no \"$DORVIK_SECOND_COPY\" box titled \"$DORVIK_REFUSAL_CAPTION\""
  wait "$pid" || rc=$?
  [ "$rc" = 255 ] || fail "$1: exit code $rc, expected -1 (255)"
}

profile=$(cd "$3" && pwd)
begin_session "$profile"
start_program "$windows_build/Dorvik.exe"
log="$DORVIK_TEMP_UNIX/$DORVIK_LOG_NAME"

echo "-- before the first run: an empty list, empty frames"
drive fresh wait-window "$DORVIK_TITLE" 20 list icons
[ "$(values fresh list-count)" = 0 ] || fail "the list is not empty before the first run"
[ "$(values fresh icon | grep -vc ' enabled none$')" = 0 ] || fail "an icon is set before the first run"

echo "-- a second copy, and a copy under another file name, are refused"
expect_refused_copy "${DORVIK_PROGRAM##*\\}"
expect_refused_copy DORVIK2.EXE
drive still-there wait-window "$DORVIK_TITLE" 5 title

echo "-- Escape does nothing"
drive escape wait-window "$DORVIK_TITLE" key 27 sleep 500 wait-window "$DORVIK_TITLE" 1 list
[ "$(values escape list-count)" = 0 ] || fail "Escape changed the list"

echo "-- two runs in a row replace the list"
drive runs wait-window "$DORVIK_TITLE" press "$DORVIK_RUN" list press "$DORVIK_RUN" list
count=$(values runs list-count | sort -u)
{ [ "$(wc -l <<<"$count")" = 1 ] && [ "$count" -gt 60 ]; } ||
  fail "the second run did not replace the list (line counts: $(values runs list-count | tr '\n' ' '))"

echo "-- Run after Run w/Log leaves the log alone"
drive logged wait-window "$DORVIK_TITLE" press "$DORVIK_RUN_WITH_LOG" msgbox dismiss list icons
cp -p "$log" "$work/after-logged.txt" || fail "Run w/Log wrote no log"
drive plain wait-window "$DORVIK_TITLE" sleep 1100 press "$DORVIK_RUN" list
{ cmp -s "$log" "$work/after-logged.txt" && [ ! "$log" -nt "$work/after-logged.txt" ]; } ||
  fail "Run changed the log"

echo "-- Run w/Log with an unwritable log shows only the warning"
rm -f "$log"
mkdir "$log"  # the log's name taken by a directory: the log cannot be opened
drive unwritable wait-window "$DORVIK_TITLE" press "$DORVIK_RUN_WITH_LOG" msgbox msgbox-icon \
  dismiss sleep 300 list icons
[ "$(box unwritable)" = "$DORVIK_LOG_NOT_OPENED" ] || fail "the box: $(box unwritable)"
[ "$(values unwritable pressed | tail -n1)" = "done" ] || fail "a second message box followed"
[ "$(values unwritable list)" = "$(values plain list)" ] || fail "the list changed"
[ "$(values unwritable icon)" = "$(values logged icon)" ] || fail "the icons changed"

echo "-- Exit ends with exit code 0"
drive exit wait-window "$DORVIK_TITLE" press "$DORVIK_EXIT" wait-gone
expect_exit Exit 0

end_session "dialog cases"
