// morvask's own notice on Win32: one layered, click-through, topmost tool
// window that never takes the focus, at the bottom centre of the work area
// of the monitor holding the foreground window. Nothing here runs until
// the first ShowNotice, which only a run with [Main] Notice on makes.
#include <windows.h>

#include <cstddef>

#include "common/shared_names.h"
#include "platform/platform_win32.h"

namespace {

/// Held around closing the other processes' notices and showing this one,
/// so that two presses at once never both keep theirs.
const char kNoticeMutex[] = "Local\\morvask notice";
/// Sent to a notice that another one replaces.
const char kReplacedMessage[] = "morvask notice replaced";
/// How long a replaced notice's process may take to close it.
const UINT kReplaceWaitMs = 250;
const UINT_PTR kGoTimer = 1;
// Windows 10 1703 and later; not in every header.
const LONG_PTR kDpiSystemAware = -2;

struct Notice {
  bool prepared = false;
  HWND window = nullptr;
  HFONT font = nullptr;
  UINT replaced = 0;
  HANDLE mutex = nullptr;
  DWORD goes_at = 0;  // Tick at which its timer makes it go.
};
Notice g_notice;

/// A function of user32 (a KnownDLL, loaded in every GUI process) that
/// Windows XP may lack, or null.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

void DeclareDpiAware() {
  using ContextCall = BOOL(WINAPI*)(HANDLE);
  using AwareCall = BOOL(WINAPI*)();
  const auto context =
      User32Function<ContextCall>("SetProcessDpiAwarenessContext");
  if (context && context(reinterpret_cast<HANDLE>(kDpiSystemAware))) return;
  if (const auto aware = User32Function<AwareCall>("SetProcessDPIAware"))
    aware();
}

/// Lets a notice of a less privileged morvask replace an elevated one's
/// (Windows Vista and later filter messages by integrity level).
void AllowReplacedMessage(HWND window) {
  using WindowFilter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  using ProcessFilter = BOOL(WINAPI*)(UINT, DWORD);
  if (const auto filter =
          User32Function<WindowFilter>("ChangeWindowMessageFilterEx")) {
    filter(window, g_notice.replaced, 1 /* MSGFLT_ALLOW */, nullptr);
  } else if (const auto old =
                 User32Function<ProcessFilter>("ChangeWindowMessageFilter")) {
    old(g_notice.replaced, 1 /* MSGFLT_ADD */);
  }
}

/// The system's message font, twice its size.
HFONT NoticeFont() {
  NONCLIENTMETRICSA metrics = {};
  // The size Windows XP knows: up to the message font, without the later
  // iPaddedBorderWidth, which XP would refuse.
  metrics.cbSize =
      offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
  LOGFONTA font = {};
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics,
                            0))
    font = metrics.lfMessageFont;
  else
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  font.lfHeight = font.lfHeight ? font.lfHeight * 2 : -32;
  font.lfWidth = 0;
  return CreateFontIndirectA(&font);
}

void Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  char text[512];
  const int length = GetWindowTextA(window, text, sizeof text);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(dc, g_notice.font);
  DrawTextA(
      dc, text, length, &area,
      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  EndPaint(window, &paint);
}

LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wparam,
                            LPARAM lparam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // Clicks go to what is under it.
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_TIMER:
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (g_notice.window == window) g_notice.window = nullptr;
      return 0;
    default:
      break;
  }
  if (message == g_notice.replaced && message != 0) {
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

bool Prepare() {
  if (g_notice.prepared) return g_notice.font != nullptr;
  g_notice.prepared = true;
  DeclareDpiAware();
  g_notice.replaced = RegisterWindowMessageA(kReplacedMessage);
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = NoticeProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = kNoticeWindowClass;
  if (!RegisterClassA(&window_class)) return false;
  // Shared by elevated and normal runs alike, as the settings lock is.
  g_notice.mutex = OpenSharedMutex(kNoticeMutex);
  g_notice.font = NoticeFont();
  return g_notice.font != nullptr;
}

/// Handles this thread's messages for up to `milliseconds`. Returns true
/// as soon as `object` (if any) is signalled; false when the time is up,
/// or with `until_gone` as soon as the notice has gone.
bool Pump(DWORD milliseconds, HANDLE object, bool until_gone) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&message);
    if (until_gone && !g_notice.window) return false;
    const DWORD spent = GetTickCount() - start;
    if (spent >= milliseconds) return false;
    const DWORD woke = MsgWaitForMultipleObjects(
        object ? 1 : 0, &object, FALSE, milliseconds - spent, QS_ALLINPUT);
    if (object && (woke == WAIT_OBJECT_0 || woke == WAIT_ABANDONED_0))
      return true;
    if (woke == WAIT_FAILED) {
      Sleep(milliseconds - spent);  // Still wait as long as asked.
      return false;
    }
  }
}

/// Makes every other process's notice go, each before this one shows.
void CloseOtherNotices() {
  HWND others[8];
  UINT count = 0;
  HWND window = nullptr;
  while (count < 8 && (window = FindWindowExA(nullptr, window,
                                              kNoticeWindowClass, nullptr))) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) others[count++] = window;
  }
  for (UINT i = 0; i < count; ++i) {
    DWORD_PTR answer = 0;
    // Sent, not posted: it has gone when the call returns, unless its
    // process is busy for longer than the wait.
    if (!SendMessageTimeoutA(others[i], g_notice.replaced, 0, 0,
                             SMTO_ABORTIFHUNG, kReplaceWaitMs, &answer))
      PostMessageA(others[i], WM_CLOSE, 0, 0);
  }
}

/// Where the notice of `text` goes: its size from the text, at the bottom
/// centre of the work area of the foreground window's monitor.
RECT NoticePlace(const char* text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, g_notice.font);
  RECT size = {0, 0, 0, 0};
  DrawTextA(dc, text, -1, &size, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const LONG line = size.bottom > 0 ? size.bottom : 32;
  HWND foreground = GetForegroundWindow();
  POINT origin = {0, 0};
  HMONITOR monitor =
      foreground ? MonitorFromWindow(foreground, MONITOR_DEFAULTTOPRIMARY)
                 : MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info))
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
  const RECT& work = info.rcWork;
  LONG width = size.right + 2 * line;
  const LONG room = work.right - work.left - 2 * line;
  if (width > room) width = room > line ? room : line;
  const LONG height = line + line / 2;
  RECT place;
  place.left = work.left + (work.right - work.left - width) / 2;
  place.top = work.bottom - height - line;
  place.right = place.left + width;
  place.bottom = place.top + height;
  return place;
}

/// Makes the notice, or changes its text, placed but not shown yet.
bool PlaceNotice(const std::string& text) {
  const RECT at = NoticePlace(text.c_str());
  const int width = at.right - at.left, height = at.bottom - at.top;
  if (g_notice.window) {
    SetWindowTextA(g_notice.window, text.c_str());
    SetWindowPos(g_notice.window, HWND_TOPMOST, at.left, at.top, width, height,
                 SWP_NOACTIVATE);
    InvalidateRect(g_notice.window, nullptr, TRUE);
    return true;
  }
  g_notice.window = CreateWindowExA(
      WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT |
          WS_EX_LAYERED,
      kNoticeWindowClass, text.c_str(), WS_POPUP, at.left, at.top, width,
      height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!g_notice.window) return false;
  SetLayeredWindowAttributes(g_notice.window, 0, 224, LWA_ALPHA);
  AllowReplacedMessage(g_notice.window);
  return true;
}

}  // namespace

bool RealPlatform::ShowNotice(const std::string& text, std::uint32_t lasts_ms) {
  if (!Prepare()) return false;
  const bool held = g_notice.mutex && Pump(1000, g_notice.mutex, false);
  // Made first and shown right after the others have gone, so that the
  // screen is without a notice for as short a time as it can be.
  const bool made = PlaceNotice(text);
  CloseOtherNotices();
  if (made) {
    ShowWindow(g_notice.window, SW_SHOWNOACTIVATE);
    UpdateWindow(g_notice.window);
    SetTimer(g_notice.window, kGoTimer, lasts_ms, nullptr);
    g_notice.goes_at = GetTickCount() + lasts_ms;
  }
  if (held) ReleaseMutex(g_notice.mutex);
  return made;
}

void RealPlatform::WaitHandlingNotice(std::uint32_t milliseconds) {
  Pump(milliseconds, nullptr, false);
}

void RealPlatform::WaitWhileNoticeShown() {
  if (!g_notice.window) return;
  const DWORD left = g_notice.goes_at - GetTickCount();
  // Its timer makes it go; the margin covers a late timer message.
  if (static_cast<LONG>(left) > 0) Pump(left + 1000, nullptr, true);
  if (g_notice.window) DestroyWindow(g_notice.window);
}
