// causes.cpp: plain words for each kind of finding.

#include "causes.h"

namespace {

const Cause CAUSES[FINDING_KIND_COUNT] = {
    // FINDING_FILE_MISSING
    {"the driver is not installed, or an uninstaller or a clean-up tool removed the file",
     "install the key's driver package for this Windows version again"},
    // FINDING_FILE_OTHER_RELEASE
    {"a file from another driver release (older, newer, or another product's copy with the "
     "same name)",
     "remove the other release and install the supported driver package"},
    // FINDING_FILE_DATE_CHANGED
    {"the right size with another date: usually a file copied by hand or restored from a "
     "backup that set a new date, or a time zone that puts its time on another day",
     "install the driver package rather than copying the file; if the date is only a day "
     "off, check the machine's time zone"},
    // FINDING_KEY_MISSING
    {"the driver's set-up did not run to its end, or its registry entry was removed",
     "run the driver package's set-up again (as an administrator)"},
    // FINDING_VALUE_MISSING
    {"a value of the entry is missing or unreadable: a partial set-up or a lack of rights",
     "run the driver package's set-up again as an administrator"},
    // FINDING_VALUE_OTHER
    {"a value set by hand, or left by another release of the driver",
     "set the value to the expected one (see above), or reinstall the driver package"},
    // FINDING_NUMBER_AS_TEXT
    {"a number entered by hand as a text (regedit's \"String Value\" in place of \"DWORD "
     "Value\")",
     "delete the value and create it again as a DWORD with the expected number"},
    // FINDING_VDD_ENTRY_MISSING
    {"the 16-bit iButton driver was not registered among the virtual device drivers",
     "reinstall the 16-bit iButton support, or add the entry to the VDD list and restart"},
    // FINDING_SERVICE_MISSING
    {"the UserPort service was never installed, or it was removed",
     "install UserPort (Userport.exe and Userport.sys) and start its service"},
    // FINDING_SERVICE_NOT_RUNNING
    {"the service is installed but stopped, paused or hanging in a start or stop",
     "start the UserPort service (Userport.exe, \"Start\") and set it to start with Windows"},
    // FINDING_SERVICE_DENIED
    {"the user who ran the report may not ask the service manager",
     "run the report again as an administrator"},
    // FINDING_SERVICE_UNKNOWN
    {"the service manager did not tell the service's state",
     "run the report again as an administrator; restart the machine if it stays so"},
    // FINDING_TMEX_NOT_ANSWERING
    {"the TMEX main library is missing, damaged, or does not find its port drivers",
     "reinstall the iButton TMEX run-time package"},
};

}  // namespace

const Cause& cause_of(FindingKind kind) { return CAUSES[kind]; }
