// Test launcher: starts a program with an exact command line, reads and
// closes every message box the program shows, and reports what it saw.
//
//   launch.exe PROGRAM COMMAND_LINE_FILE [TIMEOUT_MS [STDOUT_FILE]]
//
// The command line is taken byte for byte from the file. The program gets
// no standard handles, as when started from a shortcut, or with
// STDOUT_FILE its standard output goes to that file, as a command prompt
// redirects it with "> STDOUT_FILE". Output, one item a
// line, texts in hexadecimal so that every byte survives:
//   start TICK MICROSECONDS / box CAPTION_HEX TEXT_HEX ICON BUTTONS /
//   window CLASS_HEX TITLE_HEX, once for each top-level window of the
//   program seen, visible or not /
//   exit CODE ELAPSED_MS ELAPSED_MICROSECONDS, or timeout ELAPSED_MS
// ICON is "present" or "none"; BUTTONS lists the visible buttons' ids.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "microseconds.h"
#include "text.h"

namespace {

/// Hex, with "-" for nothing, so that a field is never empty.
std::string Field(const std::string& bytes) {
  return bytes.empty() ? "-" : Hex(bytes);
}

std::string ReadFileBytes(const char* path) {
  std::string bytes;
  FILE* f = std::fopen(path, "rb");
  if (!f) return bytes;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

std::string WindowText(HWND window) {
  char buffer[8192];
  int n = GetWindowTextA(window, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? n : 0);
}

struct BoxSearch {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (pid == search->process_id && std::string(cls) == "#32770" &&
      IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct BoxContents {
  std::string text;
  std::string icon = "none";
  std::string buttons;
};

BOOL CALLBACK ReadControl(HWND control, LPARAM param) {
  BoxContents* box = reinterpret_cast<BoxContents*>(param);
  char cls[64] = {};
  GetClassNameA(control, cls, sizeof cls);
  LONG style = GetWindowLongA(control, GWL_STYLE);
  int id = GetDlgCtrlID(control);
  if (_stricmp(cls, "Button") == 0 && IsWindowVisible(control)) {
    box->buttons += (box->buttons.empty() ? "" : ",") + std::to_string(id);
  } else if (_stricmp(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
    // Which system icon it is cannot be told from another process (icons
    // are its own objects there), only that one is shown.
    if (IsWindowVisible(control) && SendMessageA(control, STM_GETICON, 0, 0))
      box->icon = "present";
  } else if (_stricmp(cls, "Static") == 0) {
    box->text += WindowText(control);
  }
  return TRUE;
}

void ReportBox(HWND box) {
  BoxContents contents;
  EnumChildWindows(box, ReadControl, reinterpret_cast<LPARAM>(&contents));
  std::printf("box %s %s %s %s\n", Field(WindowText(box)).c_str(),
              Field(contents.text).c_str(), contents.icon.c_str(),
              contents.buttons.empty() ? "-" : contents.buttons.c_str());
  std::fflush(stdout);
}

struct WindowSearch {
  DWORD process_id;
  std::set<HWND>* reported;
};

BOOL CALLBACK ReportNewWindow(HWND window, LPARAM param) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->process_id || search->reported->count(window)) return TRUE;
  search->reported->insert(window);
  char cls[256] = {};
  const int length = GetClassNameA(window, cls, sizeof cls);
  std::printf("window %s %s\n",
              Field(std::string(cls, length > 0 ? length : 0)).c_str(),
              Field(WindowText(window)).c_str());
  std::fflush(stdout);
  return TRUE;
}

/// The limited token linked to this process's elevated one when
/// MORVASK_TEST_UNELEVATED is 1, else null.
HANDLE UnelevatedToken() {
  const char* wanted = std::getenv("MORVASK_TEST_UNELEVATED");
  if (!wanted || std::strcmp(wanted, "1") != 0) return nullptr;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return nullptr;
  TOKEN_LINKED_TOKEN linked = {};
  DWORD size = 0;
  const BOOL found = GetTokenInformation(token, TokenLinkedToken, &linked,
                                         sizeof linked, &size);
  CloseHandle(token);
  return found ? linked.LinkedToken : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: launch PROGRAM COMMAND_LINE_FILE [TIMEOUT_MS]\n");
    return 2;
  }
  std::string command_line = ReadFileBytes(argv[2]);
  DWORD timeout = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 30000;
  std::vector<char> writable(command_line.begin(), command_line.end());
  writable.push_back('\0');

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;  // None, unless a file is named.
  BOOL inherit = FALSE;
  if (argc > 4) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    startup.hStdOutput =
        CreateFileA(argv[4], GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (startup.hStdOutput == INVALID_HANDLE_VALUE) {
      std::printf("error CreateFile %lu\n", GetLastError());
      return 1;
    }
    inherit = TRUE;
  }
  PROCESS_INFORMATION info = {};
  DWORD start = GetTickCount();
  unsigned long long start_us = Microseconds();
  std::printf("start %lu %llu\n", start, start_us);
  std::fflush(stdout);
  // MORVASK_TEST_UNELEVATED=1: the program runs with the limited token
  // linked to this elevated one, as a program started normally under UAC.
  HANDLE limited = UnelevatedToken();
  if (!(limited
            ? CreateProcessAsUserA(limited, argv[1], writable.data(), nullptr,
                                   nullptr, inherit, 0, nullptr, nullptr,
                                   &startup, &info)
            : CreateProcessA(argv[1], writable.data(), nullptr, nullptr,
                             inherit, 0, nullptr, nullptr, &startup, &info))) {
    std::printf("error CreateProcess %lu\n", GetLastError());
    return 1;
  }

  std::set<HWND> handled, reported;
  for (;;) {
    WindowSearch windows = {info.dwProcessId, &reported};
    EnumWindows(ReportNewWindow, reinterpret_cast<LPARAM>(&windows));
    if (WaitForSingleObject(info.hProcess, 5) == WAIT_OBJECT_0) break;
    if (GetTickCount() - start > timeout) {
      TerminateProcess(info.hProcess, 99);
      std::printf("timeout %lu\n", GetTickCount() - start);
      return 1;
    }
    BoxSearch search = {info.dwProcessId, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found && !handled.count(search.found)) {
      Sleep(50);  // Let the box finish laying out its controls.
      ReportBox(search.found);
      handled.insert(search.found);
      PostMessageA(search.found, WM_COMMAND, IDOK, 0);
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  if (inherit) CloseHandle(startup.hStdOutput);
  std::printf("exit %lu %lu %llu\n", code, GetTickCount() - start,
              Microseconds() - start_us);
  return 0;
}
