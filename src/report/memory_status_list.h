// memory_status_list.h: a status list held in memory.
//
// Behaves as the dialog's list box does for report_line (insertion at an
// index, deletion of the first line, the top index), for the simulator and
// the tests, which read back the lines and where the view stands.
#pragma once

#include <string>
#include <vector>

#include "report/report_sink.h"

class MemoryStatusList : public StatusList {
 public:
  int count() override { return static_cast<int>(lines.size()); }
  void delete_first() override {
    if (!lines.empty()) lines.erase(lines.begin());
  }
  void insert(int index, const std::string& line) override {
    if (index < 0 || index > count()) index = count();
    lines.insert(lines.begin() + index, line);
  }
  void set_top_index(int index) override { top_index = index; }
  void clear() override {
    lines.clear();
    top_index = 0;
  }

  std::vector<std::string> lines;
  int top_index = 0;
};
