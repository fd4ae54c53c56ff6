// step_output.h: how the dialog driver's steps report what they saw.
//
// Every line is "key: value", flushed at once so that a script reading the
// output sees each step as it happens; a failing step prints "error: ..."
// and ends the program with exit code 1.
#pragma once

#include <string>

void print_line(const char* key, const std::string& value);
// A text that may hold line breaks, as one "key: ..." line per line.
void print_lines(const char* key, const std::string& text);
[[noreturn]] void fail(const std::string& why);
