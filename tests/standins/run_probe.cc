// Stand-in for a program that a profile starts. It appends one line to
// LOG_FILE, then sleeps SLEEP_MS milliseconds (0 when not given) and exits
// with EXIT_CODE (0 when not given; both in decimal or 0x hex).
//
//   run_probe.exe LOG_FILE [EXIT_CODE [SLEEP_MS]]
//
// The line is "name=value" fields separated by blanks, texts in
// hexadecimal (nothing after "=" for an empty text) so every byte
// survives:
//   pid=ID tick=TICK cmd=HEX cwd=HEX profile=HEX power=HEX command=HEX
//   window=0|1 console=0|1 stdout=none|char|disk|pipe|unknown
// cmd is GetCommandLineA, cwd the current folder; profile, power and
// command are MORVASK_PROFILE, MORVASK_POWER and MORVASK_COMMAND, or "-"
// when unset. window is 1 when GetConsoleWindow gives a window; console
// is 1 when the process is attached to a console (CONOUT$ opens); stdout
// is the kind of its standard output handle.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "text.h"

namespace {

// The variable's value in hexadecimal, or "-" when it is unset.
std::string Variable(const char* name) {
  static char value[32767];
  SetLastError(ERROR_SUCCESS);
  DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return "-";
  if (length >= sizeof value) return "-";
  return Hex(std::string(value, length));
}

std::string CurrentFolder() {
  char folder[MAX_PATH * 4];
  DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  return std::string(folder, length < sizeof folder ? length : 0);
}

bool AttachedToConsole() {
  HANDLE output = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) return false;
  CloseHandle(output);
  return true;
}

const char* OutputKind() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!output || output == INVALID_HANDLE_VALUE) return "none";
  switch (GetFileType(output)) {
    case FILE_TYPE_CHAR:
      return "char";
    case FILE_TYPE_DISK:
      return "disk";
    case FILE_TYPE_PIPE:
      return "pipe";
    default:
      return "unknown";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: run_probe LOG_FILE [EXIT_CODE [SLEEP_MS]]\n");
    return 2;
  }
  std::string line = "pid=" + std::to_string(GetCurrentProcessId()) +
                     " tick=" + std::to_string(GetTickCount()) +
                     " cmd=" + Hex(GetCommandLineA()) +
                     " cwd=" + Hex(CurrentFolder()) +
                     " profile=" + Variable("MORVASK_PROFILE") +
                     " power=" + Variable("MORVASK_POWER") +
                     " command=" + Variable("MORVASK_COMMAND") +
                     " window=" + (GetConsoleWindow() ? "1" : "0") +
                     " console=" + (AttachedToConsole() ? "1" : "0") +
                     " stdout=" + OutputKind() + "\n";
  // One appending write, so that probes running at once keep whole lines.
  HANDLE log =
      CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written,
              nullptr);
    CloseHandle(log);
  }
  if (argc > 3) Sleep(std::strtoul(argv[3], nullptr, 0));
  return argc > 2 ? static_cast<int>(std::strtoul(argv[2], nullptr, 0)) : 0;
}
