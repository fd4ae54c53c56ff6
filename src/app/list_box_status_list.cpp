// list_box_status_list.cpp: the status list's operations as list box messages.

#include "app/list_box_status_list.h"

int ListBoxStatusList::count() {
  return static_cast<int>(SendMessageA(list_box_, LB_GETCOUNT, 0, 0));
}

void ListBoxStatusList::delete_first() { SendMessageA(list_box_, LB_DELETESTRING, 0, 0); }

void ListBoxStatusList::insert(int index, const std::string& line) {
  // The list box keeps its own copy of the text.
  SendMessageA(list_box_, LB_INSERTSTRING, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(line.c_str()));
}

void ListBoxStatusList::set_top_index(int index) {
  SendMessageA(list_box_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void ListBoxStatusList::clear() { SendMessageA(list_box_, LB_RESETCONTENT, 0, 0); }
