// The floors for the benchmark.
//
//   floor.exe                  the least a program can do to reach the
//                              display: find its window and post once
//   floor.exe lock INI COUNT   what the settings lock adds to a settings
//                              call: COUNT reads of INI without the lock,
//                              then COUNT holding it as morvask does;
//                              prints "PLAIN_US LOCKED_US", each per read
//   floor.exe log FILE COUNT LINES
//                              what the run log costs a press: COUNT
//                              times, LINES lines written through
//                              morvask's own log to FILE as a "next" press
//                              writes them (half before its delay, the
//                              rest at its end); prints the microseconds
//                              per press
//   floor.exe hold INI MS      holds the lock of INI, as morvask names it,
//                              for MS milliseconds; prints "held" once it
//                              has it
//   floor.exe notice MS        makes and shows one notice as morvask's
//                              own platform code does, and waits until
//                              it has gone (MS milliseconds)
//   floor.exe names FILE       prints the lock name morvask gives each
//                              path of FILE (one a line, in the ANSI code
//                              page), a line each
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log/run_log.h"
#include "microseconds.h"
#include "platform/platform_win32.h"
#include "platform/settings_lock.h"

namespace {

double MicrosecondsPerRead(const char* ini, int count, HANDLE mutex) {
  char buffer[2048];
  unsigned long long start = Microseconds();
  for (int i = 0; i < count; ++i) {
    if (mutex) WaitForSingleObject(mutex, kSettingsLockWaitMs);
    GetPrivateProfileStringA("Main", "Delay", "", buffer, sizeof buffer, ini);
    if (mutex) ReleaseMutex(mutex);
  }
  return static_cast<double>(Microseconds() - start) / count;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc == 4 && std::strcmp(__argv[1], "lock") == 0) {
    const char* ini = __argv[2];
    int count = std::atoi(__argv[3]);
    HANDLE mutex = CreateMutexA(
        nullptr, FALSE, FileLockName(ini, SystemFileNameRules()).c_str());
    double plain = MicrosecondsPerRead(ini, count, nullptr);
    double locked = MicrosecondsPerRead(ini, count, mutex);
    std::printf("%.1f %.1f\n", plain, locked);
    std::fflush(stdout);
    ExitProcess(0);
  }
  if (__argc == 5 && std::strcmp(__argv[1], "log") == 0) {
    RealPlatform platform;
    int count = std::atoi(__argv[3]);
    int lines = std::atoi(__argv[4]);
    unsigned long long start = Microseconds();
    for (int i = 0; i < count; ++i) {
      RunLog log(platform, __argv[2]);
      for (int line = 0; line < lines; ++line) {
        if (line == lines / 2) log.Flush();  // The delay.
        log.Write("next on mains: 1 -> 2 within ProfileCount 3");
      }
    }
    std::printf("%.1f\n", static_cast<double>(Microseconds() - start) / count);
    std::fflush(stdout);
    ExitProcess(0);
  }
  if (__argc == 4 && std::strcmp(__argv[1], "hold") == 0) {
    HANDLE mutex = CreateMutexA(
        nullptr, FALSE, FileLockName(__argv[2], SystemFileNameRules()).c_str());
    WaitForSingleObject(mutex, INFINITE);
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(std::strtoul(__argv[3], nullptr, 10));
    ReleaseMutex(mutex);
    ExitProcess(0);
  }
  if (__argc == 3 && std::strcmp(__argv[1], "notice") == 0) {
    RealPlatform platform;
    platform.ShowNotice("Profile 1 on mains",
                        std::strtoul(__argv[2], nullptr, 10));
    platform.WaitWhileNoticeShown();
    ExitProcess(0);
  }
  if (__argc == 3 && std::strcmp(__argv[1], "names") == 0) {
    if (FILE* paths = std::fopen(__argv[2], "rb")) {
      char line[1024];
      while (std::fgets(line, sizeof line, paths)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        std::printf("%s\n", FileLockName(line, SystemFileNameRules()).c_str());
      }
      std::fclose(paths);
    }
    std::fflush(stdout);
    ExitProcess(0);
  }
  HWND window = FindWindowA("ATKOSD", "ATKOSD");
  if (window) PostMessageA(window, WM_COMMAND, 0x0001005C, 0);
  ExitProcess(0);
}
