// The floor for the display latency benchmark: the least a program can do
// to reach the display, which is to find its window and post one command.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HWND window = FindWindowA("ATKOSD", "ATKOSD");
  if (window) PostMessageA(window, WM_COMMAND, 0x0001005C, 0);
  ExitProcess(0);
}
