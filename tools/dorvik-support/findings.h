// findings.h: what made each driver group what it is, from the program's own rules.
//
// A group's members are found by asking the program's group rules
// (compute_groups) on the running class which slot or check result turns
// the group to ERR; each member that is not in order on the machine read is
// a finding, judged against the program's own tables: the accepted size and
// date pairs of a driver file on that class, the expected value of a
// registry rule, the state the UserPort check accepts.
#pragma once

#include <string>
#include <vector>

#include "log_reader.h"

// The kinds of finding the program's checks tell apart; the plain-words
// causes and remedies are kept by kind (causes.h).
enum FindingKind {
  FINDING_FILE_MISSING,         // a required driver file is not there
  FINDING_FILE_OTHER_RELEASE,   // its size is none of the accepted sizes
  FINDING_FILE_DATE_CHANGED,    // an accepted size with another date
  FINDING_KEY_MISSING,          // a registry key is not there
  FINDING_VALUE_MISSING,        // a registry value is not there or cannot be read
  FINDING_VALUE_OTHER,          // a registry value holds another value
  FINDING_NUMBER_AS_TEXT,       // a number stored as a text
  FINDING_VDD_ENTRY_MISSING,    // the VDD list does not name DOWNTVDD.DLL
  FINDING_SERVICE_MISSING,      // the UserPort service is not installed
  FINDING_SERVICE_NOT_RUNNING,  // installed, but not running
  FINDING_SERVICE_DENIED,       // the user may not ask the service manager
  FINDING_SERVICE_UNKNOWN,      // the state could not be learnt
  FINDING_TMEX_NOT_ANSWERING,   // the TMEX library is missing or does not report a port driver
  FINDING_KIND_COUNT
};

struct Finding {
  FindingKind kind;
  int line;              // the log's line number
  std::string subject;   // the file, registry entry or service
  std::string shown;     // the report's line
  std::string accepted;  // what the class accepts
};

struct GroupFindings {
  std::string title;  // the group line's text after its status
  DriverStatus status;
  int line;
  std::vector<Finding> findings;  // for a group that is ERR or unsure
};

struct Note {
  int line;
  std::string text;
};

struct Explanation {
  GroupFindings groups[GROUP_COUNT];
  std::vector<Note> notes;  // facts no group uses that a technician cares about
  int exit_code;            // 0 all AOK, 1 an ERR, 2 unsure, 3 not a readable report
};

// For a reading whose report is the program's own (LOG_EXACT).
Explanation explain_reading(const LogReading& reading);
