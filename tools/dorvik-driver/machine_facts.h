// machine_facts.h: what the machine offers Dorvik, read by Dorvik's own code.
//
// Runs Dorvik's start-up and its status run (into a list in memory, without
// a log) against the Win32 host, and prints what they were answered, as
// "fact-..." lines and the registry values read, in regedit's REGEDIT4 form
// as "reg: ..." lines:
//   fact-version: PLATFORM MAJOR MINOR BUILD   or "unreadable"
//   fact-windows-dir: / fact-temp-path:         the directories start-up uses
//   fact-locale: LCTYPE TEXT                    (LCTYPE alone when unreadable)
//   fact-utc-offset: MINUTES                    the local time's offset now
//   fact-service: state N | query-fails | open-error E | manager-error E
//   fact-tmex: absent | no-function E | answers TYPE=ANSWER ...
// The service and TMEX lines, and the registry, are there only when the
// status run asked (a machine that start-up refuses has no status run).
#pragma once

void print_machine_facts();
