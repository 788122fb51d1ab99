// Watches morvask's notices from outside, as a user's screen would show
// them, while its own window holds the focus.
//
//   notice_poll.exe LOG_FILE [LIFETIME_SECONDS]
//
// It opens a visible window of its own and makes it the foreground
// window, writes "ready FOREGROUND" (1 when its window is the foreground
// one), then about every millisecond looks at the visible top-level
// windows of morvask's notice class and, each time what it sees changes,
// writes "seen MICROSECONDS COUNT" and, for each one, " EXSTYLE_HEX
// TITLE_HEX" (texts in hexadecimal so that every byte survives), and
// "foreground MICROSECONDS 0|1" each time whether its own window is the
// foreground one changes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/shared_names.h"
#include "microseconds.h"
#include "text.h"

namespace {

/// The title in hexadecimal, "-" for none.
std::string TitleField(const char* bytes, int length) {
  return length > 0 ? Hex(std::string(bytes, length)) : "-";
}

struct Sight {
  int count = 0;
  std::string windows;
};

BOOL CALLBACK Look(HWND window, LPARAM param) {
  Sight* sight = reinterpret_cast<Sight*>(param);
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (std::string(cls) != kNoticeWindowClass || !IsWindowVisible(window))
    return TRUE;
  char title[4096];
  const int length = GetWindowTextA(window, title, sizeof title);
  char style[16];
  std::snprintf(
      style, sizeof style, "%lx",
      static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
  ++sight->count;
  sight->windows += std::string(" ") + style + " " + TitleField(title, length);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: notice_poll LOG [SECONDS]\n");
    return 2;
  }
  FILE* log = std::fopen(argv[1], "w");
  if (!log) return 1;
  const DWORD lifetime_ms = (argc > 2 ? std::atoi(argv[2]) : 120) * 1000;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "notice poll";
  RegisterClassA(&wc);
  HWND own = CreateWindowExA(0, "notice poll", "notice poll",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                             nullptr, nullptr, wc.hInstance, nullptr);
  SetForegroundWindow(own);
  SetActiveWindow(own);
  SetFocus(own);
  bool foreground = GetForegroundWindow() == own;
  std::fprintf(log, "ready %d\n", foreground ? 1 : 0);
  std::fflush(log);
  Sight last;
  last.count = -1;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < lifetime_ms) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sight sight;
    EnumWindows(Look, reinterpret_cast<LPARAM>(&sight));
    if (sight.count != last.count || sight.windows != last.windows) {
      std::fprintf(log, "seen %llu %d%s\n", Microseconds(), sight.count,
                   sight.windows.c_str());
      std::fflush(log);
      last = sight;
    }
    const bool now = GetForegroundWindow() == own;
    if (now != foreground) {
      std::fprintf(log, "foreground %llu %d\n", Microseconds(), now ? 1 : 0);
      std::fflush(log);
      foreground = now;
    }
    Sleep(1);
  }
  return 0;
}
