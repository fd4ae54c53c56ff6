// report_outline.h: whether a list of report lines has the shape of a run.
//
// The unit tests and the fuzz targets hold every report, whatever machine
// produced it, to the same outline: the sections in their fixed order with
// one blank line between them, the title and date lines, the system lines,
// fourteen driver-file lines in slot order, the four registry blocks with
// their value lines, the TMEX lines, the one UserPort line and thirteen
// summary lines last; every status line opens with one of the four status
// texts. Only the shape is checked; what a value reads is free.
#pragma once

#include <string>
#include <vector>

// Empty when the lines have the outline; otherwise the first fault, with
// the number of the line (from 1) where it was seen.
std::string report_outline_fault(const std::vector<std::string>& lines);

// True when the line opens with "(AOK) ", "(ERR) ", "( ? ) " or "(n/r) ".
bool starts_with_status(const std::string& line);
