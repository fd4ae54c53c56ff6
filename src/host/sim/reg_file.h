// reg_file.h: registry files, as regedit exports them, into a simulated machine.
//
// Reads the two formats that regedit writes: "REGEDIT4" (text in the
// machine's ANSI code page) and "Windows Registry Editor Version 5.00"
// (UTF-16LE with a byte-order mark, or plain text in the code page). Keys
// under HKEY_LOCAL_MACHINE are applied to the machine; keys under the other
// root keys are checked only for the file's structure and then skipped, since
// nothing that Dorvik reads lives there. Values: "strings" with \\ and \"
// escapes, whose line breaks (raw, as regedit writes them) are part of the
// text; dword:, hex: (binary), hex(N): for any other type, with line
// continuations; "name"=- and [-key] delete, as an import does. A DOS
// end-of-file byte (0x1A) ends the file. Texts of a Unicode file, and the
// text types (1, 2 and 7) given as hex in one, are converted to the
// machine's code page as RegQueryValueExA converts them: a character that
// the code page lacks becomes what Windows gives, never a fault.
#pragma once

#include <string>
#include <vector>

#include "host/sim/sim_machine.h"

// Applies the file's entries to `machine` in file order, later values
// replacing earlier ones. On a fault returns false with `*error` as
// "SOURCE:LINE: what is wrong, expected what: the line" (at most its first
// 80 characters); the machine may then hold part of the file,
// so callers load into a machine they can throw away.
//
// With `keys_kept`, only those keys below HKEY_LOCAL_MACHINE (and only
// their values) go into the machine; every other one is read and checked
// as before and then dropped. A whole-registry export holds hundreds of
// thousands of keys, of which the checks open a handful.
bool apply_reg_file(const std::string& source, const std::string& bytes, SimMachine* machine,
                    std::string* error, const std::vector<std::string>* keys_kept = nullptr);
