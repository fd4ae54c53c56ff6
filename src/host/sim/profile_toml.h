// profile_toml.h: machine.toml's text as typed values, and the loader's one
// way to report a fault.
//
// Every section reader gets its values through these calls: each checks the
// value's type and range and, on a fault, sets the error as "FILE:LINE: what"
// and returns false, so that a section stops at its first fault.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "host/sim/sim_machine.h"

// toml++ as a header-only library without exceptions: parse errors come
// back as values. Its own checks of its parser's state stay on in every
// build (NDEBUG would turn them into assumptions the optimiser relies on),
// and a failed one stops the parse with an error instead of an abort: toml++
// 3.3 trips over some malformed table headers and date-times that way.
[[noreturn]] void toml_check_failed();
#define TOML_HEADER_ONLY 1
#define TOML_EXCEPTIONS 0
#define TOML_ASSERT(expr) ((expr) ? static_cast<void>(0) : toml_check_failed())
#pragma push_macro("NDEBUG")
#undef NDEBUG
#include <toml++/toml.h>
#pragma pop_macro("NDEBUG")

// Sets `*error` to "SOURCE:LINE: what" and returns false.
bool profile_fault(const std::string& source, std::uint32_t line, const std::string& what,
                   std::string* error);

// What every section reader works with: the file that is read, the folder
// its registry files are in, the machine being built and where a fault goes.
struct Loader {
  std::string source;
  std::string folder;
  SimMachine* machine;
  std::string* error;

  bool fail_at(std::uint32_t line, const std::string& what) const {
    return profile_fault(source, line, what, error);
  }
  bool fail(const toml::node& at, const std::string& what) const {
    return fail_at(at.source().begin.line, what);
  }
};

// `text` parsed into `*root`; any fault of the text is an error.
bool parse_toml(const Loader& l, const std::string& text, toml::table* root);

std::string quoted(const std::string& key);

// Every key of `table` must be one of `allowed`; `where` names the table.
bool known_keys(const Loader& l, const toml::table& table, const std::string& where,
                std::initializer_list<const char*> allowed);

// `key` must be present in `table`.
bool require(const Loader& l, const toml::table& table, const char* key, const std::string& where);

// Each reads `key` of `table` into `*out` when it is there and leaves `*out`
// as it was when it is not; false on a value of the wrong type or range.
bool get_table(const Loader& l, const toml::table& parent, const char* key,
               const toml::table** out);  // null when absent
bool get_integer(const Loader& l, const toml::table& table, const char* key, std::int64_t min,
                 std::int64_t max, std::int64_t* out);
bool get_u32(const Loader& l, const toml::table& table, const char* key, std::uint32_t* out);
bool get_string(const Loader& l, const toml::table& table, const char* key, std::string* out,
                bool* present = nullptr);
bool get_bool(const Loader& l, const toml::table& table, const char* key, bool* out);

// A date and time with its offset from UTC, which must be present: its local
// calendar fields and the offset in minutes.
bool get_date_time(const Loader& l, const toml::table& table, const char* key, CalendarTime* local,
                   int* offset_minutes);
