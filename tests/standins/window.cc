// Stand-in for the programs morvask posts window commands to. It opens
// the window that the real program has and records every WM_COMMAND.
//
//   standin_window.exe osd|clock LOG_FILE [LIFETIME_SECONDS]
//
// "osd" opens a top-level window of class and title "ATKOSD"; "clock" a
// dialog (class "#32770") titled "RightMark CPU Clock Utility". The log
// gets "ready" once the window exists, then "command WPARAM LPARAM TICK
// MICROSECONDS" for each message, in decimal (the microseconds are on the
// performance counter, as the launcher reports them).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "microseconds.h"

namespace {

FILE* g_log = nullptr;

void Record(WPARAM wparam, LPARAM lparam) {
  std::fprintf(g_log, "command %lu %ld %lu %llu\n",
               static_cast<unsigned long>(wparam), static_cast<long>(lparam),
               GetTickCount(), Microseconds());
  std::fflush(g_log);
}

LRESULT CALLBACK OsdProc(HWND window, UINT message, WPARAM wparam,
                         LPARAM lparam) {
  if (message == WM_COMMAND) {
    Record(wparam, lparam);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wparam, lparam);
}

INT_PTR CALLBACK ClockProc(HWND, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND) {
    Record(wparam, lparam);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

HWND OpenOsdWindow(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = OsdProc;
  wc.hInstance = instance;
  wc.lpszClassName = "ATKOSD";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "ATKOSD", "ATKOSD", WS_POPUP, 0, 0, 10, 10, nullptr,
                         nullptr, instance, nullptr);
}

HWND OpenClockDialog(HINSTANCE instance) {
  // An empty dialog template: no controls, no menu, default class.
  static WORD tmpl[32] = {};
  DLGTEMPLATE* dlg = reinterpret_cast<DLGTEMPLATE*>(tmpl);
  dlg->style = WS_POPUP | WS_CAPTION;
  dlg->cx = 100;
  dlg->cy = 50;
  HWND window =
      CreateDialogIndirectParamA(instance, dlg, nullptr, ClockProc, 0);
  if (window) SetWindowTextA(window, "RightMark CPU Clock Utility");
  return window;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: standin_window osd|clock LOG [SECONDS]\n");
    return 2;
  }
  g_log = std::fopen(argv[2], "a");
  if (!g_log) return 1;
  UINT lifetime = argc > 3 ? std::atoi(argv[3]) : 120;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND window = std::strcmp(argv[1], "clock") == 0 ? OpenClockDialog(instance)
                                                   : OpenOsdWindow(instance);
  if (!window) return 1;
  SetTimer(nullptr, 0, lifetime * 1000, nullptr);
  std::fprintf(g_log, "ready\n");
  std::fflush(g_log);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
