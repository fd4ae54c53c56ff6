// reg_file.h: registry files, as regedit exports them, into a simulated machine.
//
// Reads the two formats that regedit writes: "REGEDIT4" (ANSI text) and
// "Windows Registry Editor Version 5.00" (UTF-16LE with a byte-order mark, or
// plain text). Keys under HKEY_LOCAL_MACHINE are applied to the machine; keys
// under the other root keys are checked and then skipped, since nothing that
// Dorvik reads lives there. Values: "strings" with \\ and \" escapes,
// dword:, hex: (binary), hex(N): for any other type, with line
// continuations; "name"=- and [-key] delete, as an import does. The machine's
// ANSI code page is Windows-1252: text from a Unicode file, and the text
// types (1, 2 and 7) given as hex in one, are converted to it, as
// RegQueryValueExA converts them on Windows.
#pragma once

#include <cstdint>
#include <string>

#include "host/sim/sim_machine.h"

// Applies the file's entries to `machine` in file order, later values
// replacing earlier ones. On a fault returns false with `*error` as
// "SOURCE:LINE: what is wrong"; the machine may then hold part of the file,
// so callers load into a machine they can throw away.
bool apply_reg_file(const std::string& source, const std::string& bytes, SimMachine* machine,
                    std::string* error);

// The Windows-1252 byte of a Unicode code point, or false when the code page
// lacks it; and the code point of a Windows-1252 byte (the five bytes without
// a character stand for the control points of the same number).
bool to_cp1252(std::uint32_t code_point, char* out);
std::uint32_t from_cp1252(char byte);
