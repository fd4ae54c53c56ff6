#!/usr/bin/env bash
# check_console_imports.sh: a console tool for Windows needs no DLL beyond Windows' own.
#
# Usage: check_console_imports.sh EXE
# Reads the import table and the PE header with mingw-w64's objdump and fails
# on a DLL that Windows does not ship (a C++ runtime, libgcc, winpthread: a
# program linked without -static) and on a subsystem other than the console.
set -euo pipefail

headers=$("${OBJDUMP:-i686-w64-mingw32-objdump}" -p "$1")
dlls=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers" | sort -u)
failures=0
[ -n "$dlls" ] || { echo "FAIL: no import table found in $1" >&2; failures=1; }
for dll in $dlls; do
  case $dll in
    kernel32.dll | msvcrt.dll | advapi32.dll | user32.dll) ;;
    *) echo "FAIL: imports from $dll, which Windows does not ship" >&2; failures=$((failures + 1)) ;;
  esac
done
if ! grep -qE '^Subsystem[[:space:]]+00000003' <<<"$headers"; then
  echo "FAIL: not a Windows console program" >&2
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] || exit 1
echo "import check: only $(echo "$dlls" | tr '\n' ' ')"
