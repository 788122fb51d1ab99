// A DLL that a less privileged account could plant beside morvask-watch.exe
// under the name of a system DLL (copied there as WTSAPI32.dll by the
// tests). When a process loads it, it writes "loaded" to the file named by
// MORVASK_TEST_PLANTED_MARK (nothing when that is unset), so a test can see
// whether the watcher ran it. It exports the session notification
// functions, under their undecorated names as wtsapi32.dll does, so that an
// executable that imports them starts with it; both do nothing and
// succeed.
#include <windows.h>

extern "C" {

__declspec(dllexport) BOOL WINAPI WTSRegisterSessionNotification(HWND, DWORD) {
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI WTSUnRegisterSessionNotification(HWND) {
  return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH];
  DWORD length =
      GetEnvironmentVariableA("MORVASK_TEST_PLANTED_MARK", path, sizeof path);
  if (length == 0 || length >= sizeof path) return TRUE;
  HANDLE mark = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (mark == INVALID_HANDLE_VALUE) return TRUE;
  static const char kText[] = "loaded\r\n";
  DWORD written = 0;
  WriteFile(mark, kText, sizeof kText - 1, &written, nullptr);
  CloseHandle(mark);
  return TRUE;
}

}  // extern "C"
