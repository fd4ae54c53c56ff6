#!/usr/bin/env bash
# no_writes.sh: a whole session of Dorvik.exe under Wine changes nothing in
# the machine but its log.
#
# On the provisioned default machine, at rest (its server
# ended, so the registry files hold everything), the prefix is recorded
# (tests/e2e/prefix_snapshot.py: every file's path, size, mtime and content
# hash, and the registry files' keys and values) around three sessions, each
# a fresh wineserver that ends on its own (wineserver -w):
#   1. the idle program (tests/win32/idle_program.cpp: one message box),
#      dismissed by the dialog driver;
#   2. Dorvik.exe: "Run", "Run w/Log" and its box, another "Run", "Exit";
#   3. the idle program again.
# Wine writes into the prefix at every session, whatever the program: it
# sets up its devices anew (the display's driver date, device keys written
# again with the same values, so only their time stamps move), the time zone
# key on the first start, the timestamps of HKCU\Software\Wine, and
# dosdevices' mtime. The test fails unless everything that differs across
# Dorvik's session is either
#   - the log: the file added (or rewritten) in the temporary directory, and
#     that directory's mtime, or
#   - also seen, the same way, across an idle session (Wine's own writes);
# and unless the log is there. Each difference is printed with its origin.
# The first line of defence is the import table: Dorvik.exe imports nothing
# that writes the registry or deletes, moves or creates files
# (tests/win32/check_imports.sh); the log is written through the C runtime.
#
# Usage: no_writes.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR PROFILE_DIR
set -uo pipefail

# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh" "$1" "$2" no-writes

snapshot() { python3 "$here/prefix_snapshot.py" snapshot "$WINEPREFIX" "$work/$1.json"; }
differences() { python3 "$here/prefix_snapshot.py" diff "$work/$1.json" "$work/$2.json"; }

# A session of PROGRAM (a Windows path, or a Unix one outside the prefix)
# with driver STEPS; it ends when the program and the server have ended.
session() {
  local name=$1 program=$2 rc=0
  shift 2
  (cd "$WINEPREFIX" && TZ=$DORVIK_TZ exec wine "$program") &
  local pid=$!
  drive "$name" "$@"
  wait "$pid" || rc=$?
  [ "$rc" = 0 ] || fail "$name: exit code $rc, expected 0"
  wineserver -w
}

begin_session "$3"
cp "$windows_build/Dorvik.exe" "$DORVIK_PROGRAM_UNIX"
# The machine at rest: the provisioning's server writes the registry files
# as it ends.
wineserver -k
wineserver -w

snapshot before-idle
session idle "$windows_build/idle_program.exe" wait-msgbox "Idle Program" 20 dismiss
snapshot before-dorvik
session dorvik "$DORVIK_PROGRAM" wait-window "$DORVIK_TITLE" 20 press "$DORVIK_RUN" \
  press "$DORVIK_RUN_WITH_LOG" msgbox dismiss press "$DORVIK_RUN" press "$DORVIK_EXIT" wait-gone
snapshot after-dorvik
session idle-again "$windows_build/idle_program.exe" wait-msgbox "Idle Program" 20 dismiss
snapshot after-idle

differences before-idle before-dorvik >"$work/idle.diff"
differences before-dorvik after-dorvik >"$work/dorvik.diff"
differences after-dorvik after-idle >"$work/idle-again.diff"
sort -u "$work/idle.diff" "$work/idle-again.diff" >"$work/wine.diff"

temp_rel=${DORVIK_TEMP_UNIX#"$WINEPREFIX"/}
temp_rel=${temp_rel%/}
log="$temp_rel/$DORVIK_LOG_NAME"
log_lines=$(printf '%s\n' "added file $log" "changed file $log (mtime,sha256)" \
  "changed file $log (mtime)" "changed file $log (mtime,sha256,size)" "changed dir $temp_rel (mtime)")

grep -qxF "added file $log" "$work/dorvik.diff" || fail "the session wrote no log"
grep -qF "$DORVIK_LOG_NAME" "$work/idle.diff" "$work/idle-again.diff" && fail "an idle session touched the log"

echo "-- differences across Dorvik's session ($(wc -l <"$work/dorvik.diff")):"
while IFS= read -r line; do
  if grep -qxF -- "$line" <<<"$log_lines"; then
    echo "  log:  $line"
  elif grep -qxF -- "$line" "$work/wine.diff"; then
    echo "  wine: $line"
  else
    echo "  DORVIK: $line"
    fail "a difference that is neither the log nor Wine's own: $line"
  fi
done <"$work/dorvik.diff"
echo "-- Wine's own, across the idle sessions and not across Dorvik's:"
grep -vxF -f "$work/dorvik.diff" "$work/wine.diff" | sed 's/^/  /'

end_session "no writes"
