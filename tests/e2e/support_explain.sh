#!/usr/bin/env bash
# support_explain.sh: dorvik-support.exe under Wine explains a log that
# Dorvik.exe has just written there, on a provisioned machine with a fault
# (winxp-dword-as-text): a whole report (read as Windows-1252 with CR LF line
# ends), exit code 1 for its ERR groups, and the same explanation, word for
# word, as the Linux build gives for that log.
#
# Usage: support_explain.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR PROFILE_DIR
set -uo pipefail

# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh" "$1" "$2" support
native_support="$(cd "$2" && pwd)/tools/dorvik-support/dorvik-support"

profile=$(cd "$3" && pwd)
begin_session "$profile"
start_program "$windows_build/Dorvik.exe"
drive run wait-window "$DORVIK_TITLE" 20 press "$DORVIK_RUN_WITH_LOG" msgbox dismiss \
  press "$DORVIK_EXIT" wait-gone
expect_exit "Exit" 0

# Both builds read the log from the work folder by the same relative name.
cp "$DORVIK_TEMP_UNIX/$DORVIK_LOG_NAME" "$work/dorvik.log" || fail "Dorvik.exe wrote no log"
cd "$work" || exit 1
rc=0
wine "$windows_build/dorvik-support.exe" explain dorvik.log --html explain.html >windows.txt || rc=$?
[ "$rc" = 1 ] || fail "exit code $rc, expected 1 (a group ERR)"
grep -q "whole Dorvik report.*Windows-1252, CR LF" windows.txt || fail "not read as a whole report"
"$native_support" explain dorvik.log >linux.txt
sed 's/\r$//' windows.txt | cmp -s - linux.txt ||
  { fail "the explanation differs from the Linux build's"; diff <(sed 's/\r$//' windows.txt) linux.txt | head -n 20; }
[ -s explain.html ] || fail "no page written"
end_session support-explain
