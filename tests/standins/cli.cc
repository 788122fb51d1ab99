// Stand-in for the graphics driver tool CLI.exe. It appends its exact
// command line to the log named by MORVASK_TEST_CLI_LOG as
// "TICK HEX_COMMAND_LINE", and then runs MORVASK_TEST_CLI_SLEEP_MS
// milliseconds longer (0 when unset) before it exits.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main() {
  const char* command_line = GetCommandLineA();
  DWORD tick = GetTickCount();
  if (const char* path = std::getenv("MORVASK_TEST_CLI_LOG")) {
    if (FILE* log = std::fopen(path, "a")) {
      std::fprintf(log, "%lu ", tick);
      for (const char* p = command_line; *p; ++p)
        std::fprintf(log, "%02x", static_cast<unsigned char>(*p));
      std::fprintf(log, "\n");
      std::fclose(log);
    }
  }
  if (const char* sleep = std::getenv("MORVASK_TEST_CLI_SLEEP_MS"))
    Sleep(std::strtoul(sleep, nullptr, 10));
  return 0;
}
