// Entry point of the windowed executable: it opens no window of its own.
#include <windows.h>

#include "app/commands.h"
#include "platform/platform_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RealPlatform platform;
  ExitProcess(static_cast<UINT>(RunMorvask(platform)));
}
