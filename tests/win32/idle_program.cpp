// idle_program.cpp: a Windows program that does nothing but show a message box.
//
// The no-write test runs a session of it under Wine to see what Wine itself
// writes into a prefix when a program starts, shows a window, is driven by
// the dialog driver and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)instance;
  (void)previous;
  (void)command_line;
  (void)show;
  MessageBoxA(nullptr, "Doing nothing.", "Idle Program", MB_OK | MB_ICONINFORMATION);
  return 0;
}
