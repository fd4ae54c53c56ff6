// main.cpp: status_run_bench, the status run through the Win32 host against its floor.
//
// Usage: status_run_bench.exe [RUNS [SAMPLES]]
// Captures start-up's values as Dorvik.exe does, records the host calls of
// one status run, then takes SAMPLES samples of RUNS status runs (the list
// and the log discarded), each followed by a replay of the recorded calls
// (the floor: the same platform calls with the same arguments, and nothing
// else). Prints each sample's ratio,
// their median and spread, and the floor's time per kind of call.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_timing.h"
#include "checks/status_run.h"
#include "host/win32/win32_host.h"
#include "host_calls.h"
#include "startup/process_values.h"

namespace {

class DiscardedList : public StatusList {
 public:
  int count() override { return 0; }
  void delete_first() override {}
  void insert(int, const std::string&) override {}
  void set_top_index(int) override {}
  void clear() override {}
};

class NoIcons : public GroupIconPanel {
 public:
  void show_status_icon(int, DriverStatus) override {}
};

struct Bench {
  Host& host;
  ProcessValues values;
  DriverFileTable table;
  std::vector<HostCall> calls;
};

void status_run(Bench& bench, Host& host) {
  DiscardedList list;
  ReportSink sink = {&list, nullptr};
  NoIcons icons;
  RunContext ctx = {host, bench.values};
  run_status(ctx, &bench.table, sink, icons);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 20;
  int samples = argc > 2 ? std::atoi(argv[2]) : 7;
  if (runs < 1 || samples < 1) {
    std::fprintf(stderr, "usage: status_run_bench [RUNS [SAMPLES]]\n");
    return 2;
  }
  Win32Host win32(GetModuleHandleA(nullptr));
  Bench bench = {.host = win32, .values = {}, .table = {}, .calls = {}};
  capture_program_values(win32, &bench.values);
  if (bench.values.sys_os == OS_UNSUPPORTED) {
    std::fprintf(stderr, "status_run_bench: the Windows version is not supported\n");
    return 1;
  }
  capture_directories(win32, &bench.values);

  CallRecordingHost recorder(win32, &bench.calls);
  status_run(bench, recorder);
  // The first replay warms what the first run warmed, and proves that the
  // machine answers the replay as it answered the run.
  int differences = replay_host_calls(win32, bench.calls, nullptr, nullptr);
  std::printf("status run through the Win32 host: %u host calls a run, %d runs a sample\n",
              static_cast<unsigned>(bench.calls.size()), runs);
  if (differences)
    std::printf("note: %d calls of the replay answered otherwise than in the run\n", differences);

  std::printf("%-8s %12s %12s %8s\n", "sample", "run ms", "floor ms", "ratio");
  std::vector<double> ratios, run_ms, floor_ms;
  for (int sample = 1; sample <= samples; sample++) {
    // Run and floor alternate, so that whatever else the machine does falls
    // on both alike.
    double run = 0, floor = 0;
    for (int i = 0; i < runs; i++) {
      double start = seconds_now();
      status_run(bench, win32);
      double middle = seconds_now();
      replay_host_calls(win32, bench.calls, nullptr, nullptr);
      run += middle - start;
      floor += seconds_now() - middle;
    }
    run = run * 1000 / runs;
    floor = floor * 1000 / runs;
    ratios.push_back(run / floor);
    run_ms.push_back(run);
    floor_ms.push_back(floor);
    std::printf("%-8d %12.3f %12.3f %8.3f\n", sample, run, floor, run / floor);
  }
  std::printf("status run / floor: median %.3f (spread %.3f to %.3f); run %.3f ms, floor %.3f ms\n",
              median(ratios), *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()), median(run_ms), median(floor_ms));

  // The floor's calls timed one by one, apart from the samples above, since
  // reading the clock around each call adds time of its own.
  double seconds_by_kind[HOST_CALL_KIND_COUNT] = {};
  int calls_by_kind[HOST_CALL_KIND_COUNT] = {};
  for (const HostCall& call : bench.calls) calls_by_kind[call.kind]++;
  for (int i = 0; i < runs; i++)
    replay_host_calls(win32, bench.calls, seconds_now, seconds_by_kind);
  std::printf("time per kind of call (floor, per run):\n%-26s %6s %10s %12s\n", "call", "calls",
              "ms", "us per call");
  for (int kind = 0; kind < HOST_CALL_KIND_COUNT; kind++) {
    if (!calls_by_kind[kind]) continue;
    double ms = seconds_by_kind[kind] * 1000 / runs;
    std::printf("%-26s %6d %10.3f %12.1f\n", host_call_name(static_cast<HostCallKind>(kind)),
                calls_by_kind[kind], ms, ms * 1000 / calls_by_kind[kind]);
  }
  return 0;
}
