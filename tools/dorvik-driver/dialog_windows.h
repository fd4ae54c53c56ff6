// dialog_windows.h: finding Dorvik's windows and reading what they show.
//
// Texts are read as UTF-16 (the ANSI messages return UTF-16 across
// processes under Wine) and handed back in the ANSI code page, exactly as
// the window holds them. Images are judged by the colours of their pixels
// on the screen, as a person sees them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::string window_text(HWND window);
// The text of a message box (its static text control), or "" without one.
std::string message_box_text(HWND box);
// A visible dialog-class window of the dialog's process, other than the
// dialog: the message box it shows. Null when there is none.
HWND find_message_box(HWND dialog);
// The visible dialog-class top-level windows titled exactly `title`, of
// every process.
std::vector<HWND> titled_windows(const std::string& title);
// The lines of a list box, in order.
std::vector<std::string> list_box_lines(HWND list);

// Which of the status images an icon control shows: "check", "x",
// "question", or "none" for an empty frame.
const char* status_image(HWND control);
// Which standard icon a message box shows: "warning", "information",
// "error" or "none".
const char* message_box_icon(HWND box);
