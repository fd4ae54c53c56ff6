// list_box_status_list.h: the dialog's list box as the report's status list.
#pragma once

#include <windows.h>

#include "report/report_sink.h"

class ListBoxStatusList : public StatusList {
 public:
  explicit ListBoxStatusList(HWND list_box) : list_box_(list_box) {}

  int count() override;
  void delete_first() override;
  void insert(int index, const std::string& line) override;
  void set_top_index(int index) override;
  void clear() override;

 private:
  HWND list_box_;
};
