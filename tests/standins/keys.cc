// Sends key input as a keyboard would, through SendInput, and plays
// another program that holds a hotkey.
//
//   keys.exe down KEY...         presses the keys, in order
//   keys.exe up KEY...           releases them, in reverse order
//   keys.exe tap KEY...          presses and releases them
//   keys.exe hold MS KEY...      presses them, waits MS ms, releases them
//   keys.exe hold-hotkey MODS VK MS
//                                registers the hotkey (MODS and VK numbers)
//                                on a window of its own, prints "held" or
//                                "failed ERROR", keeps it MS ms, printing
//                                "hotkey TICK" for each press, and exits
//
// KEY is CTRL, ALT, SHIFT, WIN, a letter or digit, F1 to F24, LEFT, RIGHT,
// UP, DOWN, or a virtual-key code in 0x hex. The input commands print
// "sent TICK" with the tick of the first input and exit with 0.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

WORD KeyCode(const char* name) {
  static const struct {
    const char* name;
    WORD code;
  } kNames[] = {{"CTRL", VK_CONTROL}, {"ALT", VK_MENU},  {"SHIFT", VK_SHIFT},
                {"WIN", VK_LWIN},     {"LEFT", VK_LEFT}, {"RIGHT", VK_RIGHT},
                {"UP", VK_UP},        {"DOWN", VK_DOWN}};
  for (const auto& entry : kNames)
    if (std::strcmp(entry.name, name) == 0) return entry.code;
  if (name[0] == 'F' && name[1] >= '1' && name[1] <= '9')
    return static_cast<WORD>(VK_F1 - 1 + std::atoi(name + 1));
  if (name[0] && !name[1]) return static_cast<WORD>(name[0]);
  return static_cast<WORD>(std::strtoul(name, nullptr, 0));
}

void Send(WORD code, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = code;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(code, 0));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (code >= VK_PRIOR && code <= VK_DOWN)
    input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  SendInput(1, &input, sizeof input);
}

void Press(const std::vector<WORD>& keys) {
  for (WORD code : keys) Send(code, false);
}

void Release(const std::vector<WORD>& keys) {
  for (auto code = keys.rbegin(); code != keys.rend(); ++code)
    Send(*code, true);
}

int HoldHotkey(UINT modifiers, UINT code, DWORD milliseconds) {
  HWND window = CreateWindowExA(0, "STATIC", "keys-standin", 0, 0, 0, 0, 0,
                                HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (!RegisterHotKey(window, 1, modifiers, code)) {
    std::printf("failed %lu\n", GetLastError());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  SetTimer(window, 1, milliseconds, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER) break;
    if (message.message == WM_HOTKEY) {
      std::printf("hotkey %lu\n", GetTickCount());
      std::fflush(stdout);
    }
  }
  UnregisterHotKey(window, 1);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: keys down|up|tap|hold|hold-hotkey ...\n");
    return 2;
  }
  const char* mode = argv[1];
  if (std::strcmp(mode, "hold-hotkey") == 0 && argc == 5)
    return HoldHotkey(std::strtoul(argv[2], nullptr, 0),
                      std::strtoul(argv[3], nullptr, 0),
                      std::strtoul(argv[4], nullptr, 0));
  int first = std::strcmp(mode, "hold") == 0 ? 3 : 2;
  std::vector<WORD> keys;
  for (int i = first; i < argc; ++i) keys.push_back(KeyCode(argv[i]));
  const DWORD tick = GetTickCount();
  if (std::strcmp(mode, "down") == 0) {
    Press(keys);
  } else if (std::strcmp(mode, "up") == 0) {
    Release(keys);
  } else if (std::strcmp(mode, "tap") == 0) {
    Press(keys);
    Release(keys);
  } else if (std::strcmp(mode, "hold") == 0) {
    Press(keys);
    // Repeats, as a keyboard sends them while a key is held.
    const DWORD until = tick + std::strtoul(argv[2], nullptr, 0);
    ::Sleep(250);
    while (static_cast<LONG>(GetTickCount() - until) < 0) {
      Send(keys.back(), false);
      ::Sleep(33);
    }
    Release(keys);
  } else {
    return 2;
  }
  std::printf("sent %lu\n", tick);
  return 0;
}
