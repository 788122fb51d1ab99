// Entry point of morvask-watch: one hidden top-level window per session,
// which waits in its message loop for power broadcasts, for its session
// to come back to the console, for the hotkeys of [Keys] and for a change
// in its folder (to read [Keys] again). It never shows a window or a box,
// and takes no CPU while nothing happens.
//
//   morvask-watch        watch until logoff (a second start ends at once)
//   morvask-watch stop   end the watcher of this session
#include <windows.h>
#include <wtsapi32.h>

#include "common/command_line.h"
#include "common/path.h"
#include "common/shared_names.h"
#include "platform/platform_win32.h"
#include "platform/system_library_win32.h"
#include "watch/watcher.h"

namespace {

const UINT_PTR kSettleTimer = 1;
const UINT_PTR kRegisterTimer = 2;
const UINT_PTR kKeysTimer = 3;     // [Keys] is read again when it runs out.
const UINT_PTR kKeyPollTimer = 4;  // Looks for a pressed key's release.
// A change is read this long after the last write in the folder, so that
// an editor's save and a burst of presses give one read of whole files.
const UINT kKeysSettleMs = 300;
const DWORD kStopWaitMs = 5000;
// Soon after logon on Windows XP the session notifications cannot be had
// until Terminal Services has started: try again for a few minutes.
const UINT kRegisterRetryMs = 5000;
const int kRegisterTries = 60;

/// The message by which "check" asks whether the watcher holds a key.
UINT g_holds_keys_message = 0;

/// The window's Watcher, handed over at creation and kept in the window.
Watcher* WatcherOf(HWND window, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<Watcher*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

/// Starts (or restarts, replacing a pending run) the settle timer when
/// the watcher asks for a run.
void Settle(HWND window, std::optional<std::uint32_t> delay) {
  if (delay) SetTimer(window, kSettleTimer, *delay, nullptr);
}

/// The session notification functions of wtsapi32.dll, which is not a
/// KnownDLL: loaded from the system folder on first use, never by its bare
/// name. Without the DLL or its functions there are no notifications.
class SessionNotifications {
 public:
  bool Available() const { return register_ && unregister_; }
  /// Whether WM_WTSSESSION_CHANGE now comes to `window`; false when it
  /// cannot be had, or not yet.
  bool Register(HWND window) const {
    return Available() && register_(window, NOTIFY_FOR_THIS_SESSION);
  }
  void Unregister(HWND window) const {
    if (Available()) unregister_(window);
  }

 private:
  using RegisterFunction = BOOL(WINAPI*)(HWND, DWORD);
  using UnregisterFunction = BOOL(WINAPI*)(HWND);
  SystemLibrary library_{"wtsapi32.dll"};
  RegisterFunction register_ =
      library_.Find<RegisterFunction>("WTSRegisterSessionNotification");
  UnregisterFunction unregister_ =
      library_.Find<UnregisterFunction>("WTSUnRegisterSessionNotification");
};

const SessionNotifications& Notifications() {
  static const SessionNotifications notifications;
  return notifications;
}

/// Asks for WM_WTSSESSION_CHANGE; on failure tries again on a timer.
void RegisterSessionNotification(HWND window) {
  static int tries = 0;
  if (Notifications().Register(window)) {
    KillTimer(window, kRegisterTimer);
  } else if (Notifications().Available() && ++tries < kRegisterTries) {
    SetTimer(window, kRegisterTimer, kRegisterRetryMs, nullptr);
  } else {
    KillTimer(window, kRegisterTimer);  // Power events still work.
  }
}

LRESULT CALLBACK WatchProc(HWND window, UINT message, WPARAM wparam,
                           LPARAM lparam) {
  Watcher* watcher = WatcherOf(window, message, lparam);
  if (!watcher) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case WM_POWERBROADCAST:
      // Setting the timer again replaces a pending run: one run per burst.
      Settle(window,
             watcher->OnPowerBroadcast(static_cast<std::uint32_t>(wparam)));
      return TRUE;
    case WM_WTSSESSION_CHANGE:
      if (wparam == WTS_CONSOLE_CONNECT)
        Settle(window, watcher->OnConsoleConnect());
      return 0;
    case WM_HOTKEY:
      if (std::optional<std::uint32_t> poll =
              watcher->OnHotkey(static_cast<int>(wparam)))
        SetTimer(window, kKeyPollTimer, *poll, nullptr);
      return 0;
    case WM_TIMER:
      if (wparam == kRegisterTimer) {
        RegisterSessionNotification(window);
        return 0;
      }
      if (wparam == kKeysTimer) {
        KillTimer(window, kKeysTimer);
        watcher->HoldKeys(reinterpret_cast<WindowHandle>(window));
        return 0;
      }
      if (wparam == kKeyPollTimer) {
        if (!watcher->OnKeyPoll()) KillTimer(window, kKeyPollTimer);
        return 0;
      }
      if (wparam != kSettleTimer) break;
      KillTimer(window, kSettleTimer);       // No timer while idle...
      Settle(window, watcher->OnSettled());  // ...but to wait for a run.
      return 0;
    case WM_ENDSESSION:
      if (wparam) DestroyWindow(window);  // Logoff: end with the session.
      return 0;
    case WM_DESTROY:
      watcher->ReleaseKeys();
      Notifications().Unregister(window);
      PostQuitMessage(0);
      return 0;
  }
  if (message == g_holds_keys_message && message != 0)
    return watcher->HoldsKeys({static_cast<std::uint32_t>(wparam),
                               static_cast<std::uint32_t>(lparam)});
  return DefWindowProcA(window, message, wparam, lparam);
}

/// Dispatches the window's messages until it is destroyed, and has [Keys]
/// read again after each change in the watcher's folder: the wait wakes
/// for a message or a change, never on a clock.
int Loop(HWND window, Platform& platform) {
  const std::string folder = DirectoryOf(
      platform.ModulePath(),
      [&platform](unsigned char c) { return platform.IsLeadByte(c); });
  HANDLE change = FindFirstChangeNotificationA(
      folder.c_str(), FALSE,
      FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_FILE_NAME);
  DWORD handles = change == INVALID_HANDLE_VALUE ? 0 : 1;
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(handles, &change, FALSE,
                                                 INFINITE, QS_ALLINPUT);
    if (handles && woke == WAIT_OBJECT_0) {
      SetTimer(window, kKeysTimer, kKeysSettleMs, nullptr);
      if (!FindNextChangeNotification(change)) {
        FindCloseChangeNotification(change);
        handles = 0;  // The keys stay as they are.
      }
      continue;
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return 0;
      DispatchMessageA(&message);
    }
  }
}

/// Watches until the window is closed or the session ends. Returns at once
/// when a watcher runs in this session already.
int Watch(HINSTANCE instance, Platform& platform) {
  // Held until the process ends; its existence marks the running watcher.
  HANDLE running = CreateMutexA(nullptr, FALSE, kWatchInstanceMutex);
  if (!running || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  Watcher watcher(platform);
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = WatchProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = kWatchWindowClass;
  if (!RegisterClassA(&window_class)) return 1;
  g_holds_keys_message = RegisterWindowMessageA(kWatchHoldsKeysMessage);
  // Top-level and never shown: a message-only window gets no broadcasts.
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kWatchWindowClass,
                                kWatchWindowClass, WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, instance, &watcher);
  if (!window) return 1;
  RegisterSessionNotification(window);
  Settle(window, watcher.OnStart());
  watcher.HoldKeys(reinterpret_cast<WindowHandle>(window));
  return Loop(window, platform);
}

/// Closes the running watcher's window and waits a while for it to end, so
/// that a start right after finds none. Nothing running is no failure.
int Stop() {
  HWND window = FindWindowA(kWatchWindowClass, nullptr);
  if (!window) return 0;
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (process) {
    WaitForSingleObject(process, kStopWaitMs);
    CloseHandle(process);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RealPlatform platform;
  std::vector<std::string> tokens = SplitCommandLine(
      platform.CommandLine(),
      [&platform](unsigned char c) { return platform.IsLeadByte(c); });
  int code = 1;  // An unknown argument ends the watcher at once.
  switch (WatchCommandFor(tokens)) {
    case WatchCommand::kWatch:
      code = Watch(instance, platform);
      break;
    case WatchCommand::kStop:
      code = Stop();
      break;
    case WatchCommand::kUnknown:
      break;
  }
  ExitProcess(static_cast<UINT>(code));
}
