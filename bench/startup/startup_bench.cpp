// startup_bench.cpp: the launch of a program to its visible dialog, for two programs side by side.
//
// Usage: startup_bench.exe RUNS SAMPLES PROGRAM FLOOR_PROGRAM
// In each sample, launches each program RUNS times, alternating, and times
// each launch from CreateProcess until the program waits for input with a
// visible top-level window of its own; then closes it with WM_CLOSE and
// waits for it to end. Prints each sample's median launch times and their
// ratio, and the median and spread of the ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_timing.h"

namespace {

struct WindowSearch {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK find_visible_window(HWND window, LPARAM parameter) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process_id || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// One launch: seconds to the visible dialog, or a negative number.
double launch(const std::string& program) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string command = "\"" + program + "\"";
  double start = seconds_now();
  if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "startup_bench: cannot start %s (error %lu)\n", program.c_str(),
                 GetLastError());
    return -1;
  }
  WaitForInputIdle(process.hProcess, 20000);
  WindowSearch search = {process.dwProcessId, nullptr};
  double limit = start + 20;
  while (EnumWindows(find_visible_window, reinterpret_cast<LPARAM>(&search)) &&
         seconds_now() < limit)
    Sleep(1);
  double seconds = search.found ? seconds_now() - start : -1;
  if (search.found) PostMessageA(search.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (seconds < 0) std::fprintf(stderr, "startup_bench: %s showed no window\n", program.c_str());
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 || std::atoi(argv[1]) < 1 || std::atoi(argv[2]) < 1) {
    std::fprintf(stderr, "usage: startup_bench RUNS SAMPLES PROGRAM FLOOR_PROGRAM\n");
    return 2;
  }
  int runs = std::atoi(argv[1]);
  int samples = std::atoi(argv[2]);
  // One launch of each first: the system's own first-time costs are not
  // the program's.
  if (launch(argv[3]) < 0 || launch(argv[4]) < 0) return 1;

  std::printf("start-up to the visible dialog: %d launches of each a sample\n", runs);
  std::printf("%-8s %12s %12s %8s\n", "sample", "program ms", "floor ms", "ratio");
  std::vector<double> ratios, program_ms, floor_ms;
  for (int sample = 1; sample <= samples; sample++) {
    std::vector<double> program, floor;
    for (int i = 0; i < runs; i++) {
      double a = launch(argv[3]);
      double b = launch(argv[4]);
      if (a < 0 || b < 0) return 1;
      program.push_back(a * 1000);
      floor.push_back(b * 1000);
    }
    double p = median(program), f = median(floor);
    ratios.push_back(p / f);
    program_ms.push_back(p);
    floor_ms.push_back(f);
    std::printf("%-8d %12.1f %12.1f %8.3f\n", sample, p, f, p / f);
  }
  std::printf(
      "start-up / floor: median %.3f (spread %.3f to %.3f); program %.1f ms, floor %.1f ms\n",
      median(ratios), *std::min_element(ratios.begin(), ratios.end()),
      *std::max_element(ratios.begin(), ratios.end()), median(program_ms), median(floor_ms));
  return 0;
}
