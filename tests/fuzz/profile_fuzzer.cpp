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
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/sim/profile_loader.h"
#include "host/sim/reg_file.h"
#include "run_invariants.h"

namespace {

[[noreturn]] void violation(const std::string& what) {
  std::fprintf(stderr, "invariant violated: %s\n", what.c_str());
  std::abort();
}

// "SOURCE:LINE: what", with a line number and a text after it.
bool clear_error(const std::string& error, const std::string& source) {
  if (error.compare(0, source.size() + 1, source + ":") != 0) return false;
  std::size_t at = source.size() + 1;
  std::size_t digits = at;
  while (digits < error.size() && error[digits] >= '0' && error[digits] <= '9') digits++;
  return digits > at && error.compare(digits, 2, ": ") == 0 && error.size() > digits + 2;
}

// A scratch profile folder of this process. It is never destroyed, so that
// the exit handler that removes it can use it.
const std::string& profile_folder() {
  static const std::string* folder = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string* f =
        new std::string(std::string(dir && *dir ? dir : "/tmp") + "/dorvik-fuzz-profile-" +
                        std::to_string(static_cast<long>(getpid())));
    if (mkdir(f->c_str(), 0700) != 0 && errno != EEXIST) violation("cannot make " + *f);
    std::atexit([] {
      std::remove((profile_folder() + "/registry.reg").c_str());
      std::remove(profile_folder().c_str());
    });
    return f;
  }();
  return *folder;
}

void write_file(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) violation("cannot write " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

// A machine that a failed load must leave exactly as it was.
SimMachine sentinel() {
  SimMachine m;
  m.module_path = "C:\\untouched\\Sentinel.exe";
  m.windows_dir = "C:\\UNTOUCHED";
  return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool whole_profile = in.ConsumeBool();
  const std::string reg = in.ConsumeRandomLengthString(std::size_t{64} * 1024);
  const std::string toml = in.ConsumeRemainingBytesAsString();

  if (!whole_profile) {
    SimMachine machine;
    std::string error;
    if (!apply_reg_file("fuzz.reg", reg, &machine, &error)) {
      if (!clear_error(error, "fuzz.reg")) violation("unclear .reg error: " + error);
      return 0;
    }
    check_status_runs(machine);
    return 0;
  }

  if (toml.find("..") != std::string::npos) return 0;
  const std::string& folder = profile_folder();
  write_file(folder + "/registry.reg", reg);
  SimMachine machine = sentinel();
  std::string error;
  if (!load_machine_profile_text("machine.toml", toml, folder, &machine, &error)) {
    if (!clear_error(error, "machine.toml") && !clear_error(error, folder + "/registry.reg"))
      violation("unclear profile error: " + error);
    if (machine.module_path != sentinel().module_path ||
        machine.windows_dir != sentinel().windows_dir)
      violation("a profile that failed to load changed the machine");
    return 0;
  }
  check_status_runs(machine);
  return 0;
}
