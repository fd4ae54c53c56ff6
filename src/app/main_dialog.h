// main_dialog.h: the program's one window, the modal main dialog.
//
// Shows the status list and the thirteen group icons, and frames each status
// run with its three commands: "Run", "Run w/Log" and "Exit". Start-up hands
// the dialog's state to DialogBoxParamA; the dialog keeps a pointer to it in
// its window for its whole life.
#pragma once

#include <windows.h>

#include "checks/driver_table.h"
#include "checks/evaluation.h"
#include "host/host.h"
#include "startup/process_values.h"

struct MainDialog {
  HINSTANCE instance;
  Host* host;
  const ProcessValues* values;
  DriverFileTable table;  // kept from run to run; every run rewrites it
  // Loaded shared: the platform owns these and they are never released.
  HICON check_mark_icon = nullptr;
  HICON x_mark_icon = nullptr;
  HICON question_mark_icon = nullptr;
  HICON class_icon = nullptr;
  HFONT list_font = nullptr;  // released when the dialog closes
};

// The dialog procedure for DialogBoxParamA; its last argument is the
// MainDialog. FALSE for every message but WM_INITDIALOG, so the platform's
// default dialog handling does the rest.
INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Shows a status in one icon control: the check mark, X mark or question
// mark; any other status (not required) disables the control and leaves
// its image as it was.
void set_status_icon(const MainDialog& state, HWND control, DriverStatus status);

// Centres a window on the desktop without resizing or activating it.
void centre_on_desktop(HWND window);
