// main_dialog.cpp: the main dialog's initialisation, commands and icons.

#include "app/main_dialog.h"

#include "app/dialog_ids.h"
#include "app/list_box_status_list.h"
#include "checks/logged_run.h"
#include "checks/status_run.h"
#include "report/text.h"

namespace {

// The group icons as the status run sets them: only on controls that the
// dialog really has.
class DialogIconPanel : public GroupIconPanel {
 public:
  DialogIconPanel(HWND dialog, const MainDialog& state) : dialog_(dialog), state_(state) {}
  void show_status_icon(int control_id, DriverStatus status) override {
    HWND control = GetDlgItem(dialog_, control_id);
    if (control) set_status_icon(state_, control, status);
  }

 private:
  HWND dialog_;
  const MainDialog& state_;
};

MainDialog* dialog_state(HWND dialog) {
  return reinterpret_cast<MainDialog*>(GetWindowLongA(dialog, DWL_USER));
}

void set_item_text(HWND dialog, int id, const std::string& text) {
  HWND item = GetDlgItem(dialog, id);
  if (item) SetWindowTextA(item, text.c_str());
}

BOOL init_main_dialog(HWND dialog, MainDialog* state) {
  const ProcessValues& values = *state->values;
  centre_on_desktop(dialog);

  // The class icon shows in the caption and when switching tasks.
  state->class_icon = LoadIconA(state->instance, MAIN_ICON_NAME);
  SetClassLongA(dialog, GCL_HICON, reinterpret_cast<LONG>(state->class_icon));

  SetWindowTextA(dialog, program_title(values).c_str());
  set_item_text(dialog, IDC_NOTICE_LINE, MAKER_NOTICE_TEXT);

  const char* os_name = os_class_name(values.sys_os);
  set_item_text(dialog, IDC_FRAME_32_BIT,
                format_text("Driver Status for 32-Bit Programs Running on %s", os_name));
  set_item_text(dialog, IDC_FRAME_16_BIT,
                format_text("Driver Status for 16-Bit Programs Running on %s", os_name));

  // A fixed-pitch font keeps the report's columns aligned.
  state->list_font = static_cast<HFONT>(GetStockObject(OEM_FIXED_FONT));
  SendMessageA(GetDlgItem(dialog, IDC_STATUS_LIST), WM_SETFONT,
               reinterpret_cast<WPARAM>(state->list_font), TRUE);

  // At the icons' own size (16 by 16), not stretched to the system size.
  state->check_mark_icon = static_cast<HICON>(
      LoadImageA(state->instance, CHECK_MARK_ICON_NAME, IMAGE_ICON, 0, 0, LR_SHARED));
  state->x_mark_icon = static_cast<HICON>(
      LoadImageA(state->instance, X_MARK_ICON_NAME, IMAGE_ICON, 0, 0, LR_SHARED));
  state->question_mark_icon = static_cast<HICON>(
      LoadImageA(state->instance, QUESTION_MARK_ICON_NAME, IMAGE_ICON, 0, 0, LR_SHARED));
  // FALSE: the platform does not set the initial keyboard focus.
  return FALSE;
}

// The run buttons stay disabled for the whole run, so runs cannot overlap;
// the repaint shows that before the run takes the thread.
void enable_run_buttons(HWND dialog, BOOL enable) {
  EnableWindow(GetDlgItem(dialog, IDC_RUN), enable);
  EnableWindow(GetDlgItem(dialog, IDC_RUN_WITH_LOG), enable);
  if (!enable) UpdateWindow(dialog);
}

void show_log_notice(HWND dialog, const LogNotice& notice) {
  UINT icon = notice.kind == LOG_NOTICE_WARNING ? MB_ICONWARNING : MB_ICONINFORMATION;
  MessageBoxA(dialog, notice.text.c_str(), notice.caption, MB_OK | icon);
}

void run_command(HWND dialog, MainDialog* state) {
  enable_run_buttons(dialog, FALSE);
  ListBoxStatusList list(GetDlgItem(dialog, IDC_STATUS_LIST));
  ReportSink sink = {&list, nullptr};
  DialogIconPanel icons(dialog, *state);
  RunContext ctx = {*state->host, *state->values};
  run_status(ctx, &state->table, sink, icons);
  enable_run_buttons(dialog, TRUE);
}

void run_with_log_command(HWND dialog, MainDialog* state) {
  const std::string& path = state->values->report_log_path;
  enable_run_buttons(dialog, FALSE);
  ListBoxStatusList list(GetDlgItem(dialog, IDC_STATUS_LIST));
  DialogIconPanel icons(dialog, *state);
  RunContext ctx = {*state->host, *state->values};
  LoggedRunOutcome outcome = run_status_with_log(ctx, &state->table, &list, icons);
  // A log that did not open is reported at once, before the buttons come
  // back; the other outcomes once the dialog is usable again.
  if (outcome == LOGGED_RUN_NOT_OPENED) show_log_notice(dialog, logged_run_notice(outcome, path));
  enable_run_buttons(dialog, TRUE);
  if (outcome != LOGGED_RUN_NOT_OPENED) show_log_notice(dialog, logged_run_notice(outcome, path));
}

void on_main_command(HWND dialog, MainDialog* state, int command) {
  switch (command) {
    case IDC_RUN: run_command(dialog, state); break;
    case IDC_RUN_WITH_LOG: run_with_log_command(dialog, state); break;
    // Closes exactly as the system menu and the caption's close box do.
    case IDC_EXIT: SendMessageA(dialog, WM_CLOSE, 0, 0); break;
    // Escape's IDCANCEL and the list's notifications do nothing.
    default: break;
  }
}

void close_main_dialog(HWND dialog, MainDialog* state) {
  EndDialog(dialog, 0);
  // The stock font is not really released; the call is harmless.
  if (state->list_font) DeleteObject(state->list_font);
  state->list_font = nullptr;
}

}  // namespace

void set_status_icon(const MainDialog& state, HWND control, DriverStatus status) {
  HICON icon = nullptr;
  switch (status) {
    case STATUS_AOK: icon = state.check_mark_icon; break;
    case STATUS_ERR: icon = state.x_mark_icon; break;
    case STATUS_UNSURE: icon = state.question_mark_icon; break;
    default:
      // Not required: the frame is greyed; its image stays as it was.
      EnableWindow(control, FALSE);
      return;
  }
  SendMessageA(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

void centre_on_desktop(HWND window) {
  RECT desktop;
  RECT own;
  GetWindowRect(GetDesktopWindow(), &desktop);
  GetWindowRect(window, &own);
  int centre_x = (desktop.left + desktop.right) / 2;
  int centre_y = (desktop.top + desktop.bottom) / 2;
  int left = centre_x - (own.right - own.left) / 2;
  int top = centre_y - (own.bottom - own.top) / 2;
  SetWindowPos(window, HWND_TOP, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongA(dialog, DWL_USER, static_cast<LONG>(lparam));
    return init_main_dialog(dialog, reinterpret_cast<MainDialog*>(lparam));
  }
  MainDialog* state = dialog_state(dialog);
  if (!state) return FALSE;  // messages that come before WM_INITDIALOG
  switch (message) {
    case WM_COMMAND: on_main_command(dialog, state, LOWORD(wparam)); break;
    case WM_CLOSE: close_main_dialog(dialog, state); break;
    default: break;
  }
  return FALSE;
}
