#!/usr/bin/env bash
# check_imports.sh: Dorvik.exe loads on Windows 95 to XP and only reads the machine.
#
# Usage: check_imports.sh DORVIK_EXE
# Reads the import table and the PE header with mingw-w64's objdump and fails
#  - on a DLL outside those that Windows 95 and NT 4 ship,
#  - on an imported function missing from import_allowlist.txt,
#  - on a KERNEL32 import that Windows 95's kernel32 does not export,
#  - on any import, or any function name in the file (a run-time lookup),
#    that writes or changes the machine,
#  - on a subsystem or OS version above 4.0, or a subsystem other than GUI.
set -euo pipefail

exe=$1
here=$(cd "$(dirname "$0")" && pwd)
allowlist="$here/import_allowlist.txt"
win95_kernel32="$here/win95-kernel32-exports.txt"
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

headers=$("$objdump" -p "$exe")
imports=$(awk '
  /^The Import Tables/ { on = 1 }
  /^The Export Tables|^PE File Base Relocations|^The Function Table/ { on = 0 }
  on && /DLL Name:/ { dll = tolower($3) }
  on && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }
' <<<"$headers")
[ -n "$imports" ] || fail "no import table found in $exe"

# DLLs that ship with both Windows 95 and NT 4.
for dll in $(awk '{ print $1 }' <<<"$imports" | sort -u); do
  case "$dll" in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | version.dll | msvcrt.dll) ;;
    *) fail "imports from $dll, which Windows 95 or NT 4 does not ship" ;;
  esac
done

# Every import is listed, with its reason when it is only a stub on Windows 95.
allowed=$(sed -e 's/#.*//' "$allowlist" | awk 'NF >= 2 { print tolower($1), $2 }')
while read -r dll function; do
  grep -qxF "$dll $function" <<<"$allowed" || fail "$dll $function is not in the allow-list"
  if [ "$dll" = kernel32.dll ] && ! grep -qxF "$function" "$win95_kernel32"; then
    fail "KERNEL32 $function is not exported by Windows 95"
  fi
done <<<"$imports"

# Nothing that writes or changes the machine: not imported, and not named
# anywhere in the file for a lookup at run time. The log is written through
# the C runtime's fopen, so no Win32 file-creation call is needed.
writers='^(Reg[A-Za-z]*(Set|Create|Delete|Save|Restore|Replace|Load|Unload|Flush|Connect)[A-Za-z]*'
writers+='|(Start|Create|Delete|Control)Service[A-Za-z]*|ChangeServiceConfig[A-Za-z0-9]*'
writers+='|SetServiceStatus|LockServiceDatabase'
writers+='|(Delete|Move|Copy|Replace)File[A-Za-z]*|(Create|Remove)Directory[A-Za-z]*|CreateFile[A-Za-z]*'
writers+='|WriteFile[A-Za-z]*|SetFile[A-Za-z]*|SetEndOfFile|Write(Private)?Profile[A-Za-z]*'
writers+='|SetSystemTime|SetLocalTime|SetComputerName[A-Za-z]*|ExitWindows[A-Za-z]*'
writers+='|InitiateSystemShutdown[A-Za-z]*|SetEnvironmentVariable[A-Za-z]*'
writers+='|_?unlink|_?rmdir|_?mkdir|remove|rename|system|_spawn[a-z]*|_exec[a-z]*)$'
while read -r dll function; do
  if grep -qE "$writers" <<<"$function"; then fail "$dll $function writes or changes the machine"; fi
done <<<"$imports"
for name in $(grep -aoE '[A-Z][A-Za-z]{5,}' "$exe" | sort -u); do
  if grep -qE "$writers" <<<"$name"; then fail "the file names $name, which writes or changes the machine"; fi
done

# Windows 95 and NT 4 load only images whose versions do not exceed 4.0.
version_field() { awk -v key="$1" '$1 == key { print $2 }' <<<"$headers"; }
subsystem_version="$(version_field MajorSubsystemVersion).$(version_field MinorSubsystemVersion)"
os_version="$(version_field MajorOSystemVersion).$(version_field MinorOSystemVersion)"
[ "$subsystem_version" = 4.0 ] || fail "subsystem version $subsystem_version, expected 4.0"
[ "$os_version" = 4.0 ] || fail "OS version $os_version, expected 4.0"
grep -qE '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not a Windows GUI program"

if [ "$failures" -ne 0 ]; then
  echo "import check: $failures failure(s)" >&2
  exit 1
fi
echo "import check: $(wc -l <<<"$imports") imports from $(awk '{ print $1 }' <<<"$imports" | sort -u | wc -l) DLLs, all allowed"
