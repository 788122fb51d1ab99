// Posts one message to a top-level window found by its class, as the
// system's power broadcasts reach the watcher's window.
//
//   post.exe CLASS MESSAGE WPARAM      (numbers in decimal or 0x hex)
//
// Prints "posted TICK VISIBLE" (VISIBLE 1 if the window is shown) and
// exits with 0, or prints "no window" and exits with 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: post CLASS MESSAGE WPARAM\n");
    return 2;
  }
  HWND window = FindWindowA(argv[1], nullptr);
  if (!window) {
    std::printf("no window\n");
    return 1;
  }
  UINT message = std::strtoul(argv[2], nullptr, 0);
  WPARAM wparam = std::strtoul(argv[3], nullptr, 0);
  DWORD tick = GetTickCount();
  if (!PostMessageA(window, message, wparam, 0)) return 1;
  std::printf("posted %lu %d\n", tick, IsWindowVisible(window) ? 1 : 0);
  return 0;
}
