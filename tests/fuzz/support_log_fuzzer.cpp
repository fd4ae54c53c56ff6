// support_log_fuzzer.cpp: dorvik-support's log reader on fuzzed machines and on any bytes.
//
// Half of the inputs are bytes as a log: the reader and everything that
// explains or writes what it read must neither crash nor hang. The other
// half are whole simulated machines (fuzzed_machine.h): the log that the
// program writes there must read back into a machine on which the program
// writes that very log again.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "explain.h"
#include "fleet.h"
#include "fuzzed_machine.h"
#include "profile_writer.h"

namespace {

void explain_all(const LogReading& reading) {
  Explanation e = {};
  if (reading.verdict == LOG_EXACT) e = explain_reading(reading);
  explain_text("log", reading, e);
  explain_html("log", reading, e);
  ProfileFiles files;
  std::string error;
  write_profile(reading, "log", &files, &error);
  // A site's row of it, under a file name of any bytes.
  FleetRow row = fleet_row(reading.lines.empty() ? "log" : reading.lines.back(), reading, e);
  fleet_csv_row(row);
  fleet_html_row(row);
}

[[noreturn]] void violated(const std::string& what) {
  std::fprintf(stderr, "invariant violated: %s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  if (in.ConsumeBool()) {
    explain_all(read_log(in.ConsumeRemainingBytesAsString()));
    return 0;
  }
  SimProgramResult run;
  run_sim_program(fuzzed_machine(in), "", &run);
  if (run.refused) return 0;
  // The log's bytes: each line and CR LF. A line that itself holds CR LF
  // reads as two lines, which no reader can tell from two report lines.
  std::string log;
  for (const std::string& line : run.lines) {
    if (line.find("\r\n") != std::string::npos) return 0;
    log += line + "\r\n";
  }
  LogReading reading = read_log(log);
  if (reading.verdict != LOG_EXACT)
    violated("a program's own log is not read back: " + reading.message);
  std::string again;
  for (const std::string& line : reading.run.lines) again += line + "\r\n";
  // Read as UTF-8, a log comes back as the Windows-1252 text it stands for.
  if (std::string(reading.encoding) == "Windows-1252" && again != log)
    violated("the machine read back writes another log");
  explain_all(reading);
  return 0;
}
