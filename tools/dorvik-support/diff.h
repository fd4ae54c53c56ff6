// diff.h: two reports of one machine, before and after a change.
#pragma once

#include <string>

#include "findings.h"
#include "log_reader.h"

// Groups whose status changed, findings that went away or came, and those
// that stayed wrong, as text.
std::string diff_text(const std::string& old_name, const LogReading& old_reading,
                      const Explanation& old_explanation, const std::string& new_name,
                      const LogReading& new_reading, const Explanation& new_explanation);
