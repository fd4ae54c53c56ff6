// profile_fuzzer.cpp: the machine profile parsers on arbitrary bytes.
//
// The bytes are split into a registry file and a machine.toml text. Either
// the registry file alone goes to the .reg reader, or it is written as
// "registry.reg" into a scratch profile folder and the machine.toml text is
// loaded from there (importing it when the text names it). Each parser must
// give a clear error ("SOURCE:LINE: what is wrong", the machine left as it
// was) or a machine; a machine that loads must then run with every invariant
// of run_invariants.h. Texts that climb out of the folder ("..") are skipped,
// so that no import can reach a device file that never ends.

#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "host/sim/profile_loader.h"
#include "host/sim/reg_file.h"
#include "run_invariants.h"

namespace {

// "SOURCE:LINE: what", with a line number and a text after it.
bool clear_error(const std::string& error, const std::string& source) {
  std::size_t digits = source.size() + 1;
  while (digits < error.size() && error[digits] >= '0' && error[digits] <= '9') digits++;
  return error.compare(0, source.size() + 1, source + ":") == 0 && digits > source.size() + 1 &&
         error.compare(digits, 2, ": ") == 0 && error.size() > digits + 2;
}

void check(bool holds, const std::string& what) {
  if (holds) return;
  std::fprintf(stderr, "invariant violated: %s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool whole_profile = in.ConsumeBool();
  const std::string reg = in.ConsumeRandomLengthString(std::size_t{64} * 1024);
  const std::string toml = in.ConsumeRemainingBytesAsString();
  SimMachine machine;
  std::string error;

  if (!whole_profile) {
    if (apply_reg_file("fuzz.reg", reg, &machine, &error))
      check_status_runs(machine);
    else
      check(clear_error(error, "fuzz.reg"), "unclear .reg error: " + error);
    return 0;
  }
  if (toml.find("..") != std::string::npos) return 0;
  static const std::string folder = scratch_path("profile");
  mkdir(folder.c_str(), 0700);
  std::ofstream(folder + "/registry.reg", std::ios::binary) << reg;
  machine.module_path = machine.windows_dir = "C:\\untouched";  // a failed load leaves them so
  if (load_machine_profile_text("machine.toml", toml, folder, &machine, &error)) {
    check_status_runs(machine);
  } else {
    check(clear_error(error, "machine.toml") || clear_error(error, folder + "/registry.reg"),
          "unclear profile error: " + error);
    check(machine.module_path == "C:\\untouched" && machine.windows_dir == "C:\\untouched",
          "a profile that failed to load changed the machine");
  }
  std::remove((folder + "/registry.reg").c_str());
  std::remove(folder.c_str());
  return 0;
}
