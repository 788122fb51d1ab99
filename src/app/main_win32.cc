// Entry point of the windowed executable: it opens no window of its own.
#include <windows.h>

#include <cstdlib>

#include "app/commands.h"
#include "platform/platform_win32.h"

// Every exception is caught by the command handler, so the runtime's
// verbose terminate handler, and the name demangler it pulls in, would
// only make the executable larger.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RealPlatform platform;
  ExitProcess(static_cast<UINT>(RunMorvask(platform)));
}
