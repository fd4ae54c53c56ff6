// prefix_files.h: the driver files of a machine, placed in a Wine prefix.
//
// Each file of the machine becomes one line of a manifest that the
// provisioning script carries out: where the file goes in the prefix (a Unix
// path, with the directories Wine already has found whatever their letter
// case), its size and last-write time, and what it holds: nothing, a small
// PE file with the machine's version resource, or the stand-in TMEX library
// (an IBFS32.DLL that does not load is the stand-in with an import from a
// library the prefix lacks).
// Version resources are written as resource scripts for windres.
#pragma once

#include <string>

#include "host/sim/sim_machine.h"

// Writes `work_dir`/files.tsv and one resource script per file with a version
// resource (`work_dir`/rc/N.rc). Lines of files.tsv, tab-separated:
//   dir    UNIX_PATH  -     MTIME  -
//   plain  UNIX_PATH  SIZE  MTIME  -
//   pe     UNIX_PATH  SIZE  MTIME  RC_FILE
//   tmex   UNIX_PATH  SIZE  MTIME  RC_FILE_OR_-  ANSWER_DEFINES  with|without|missing-import
// MTIME is seconds since 1970 (UTC) with a fraction. Returns false with
// `*error` when a file cannot be written.
bool write_prefix_files(const SimMachine& machine, const std::string& prefix,
                        const std::string& work_dir, std::string* error);

// The Unix path in `prefix` (UTF-8, as Wine names files) of a Windows path
// on a drive in `code_page` (C: maps to drive_c, other letters to drive_x),
// found case-insensitively where it exists already.
std::string prefix_unix_path(const std::string& prefix, const std::string& windows_path,
                             int code_page);

// The resource script of a version resource.
std::string version_resource_script(const SimVersionInfo& version);
