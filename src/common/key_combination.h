// Key combinations as [Keys] writes them ("Ctrl+Alt+Right") and as
// RegisterHotKey takes them (modifier flags and a virtual-key code).
#ifndef MORVASK_COMMON_KEY_COMBINATION_H_
#define MORVASK_COMMON_KEY_COMBINATION_H_

#include <cstdint>
#include <string>
#include <string_view>

/// RegisterHotKey's modifier flags.
enum : std::uint32_t {
  kModAlt = 0x1,
  kModControl = 0x2,
  kModShift = 0x4,
  kModWin = 0x8,
  kModNoRepeat = 0x4000,  // Windows 7 and later: no press for a repeat.
};

struct KeyCombination {
  std::uint32_t modifiers = 0;  // kModAlt | kModControl | ...
  std::uint32_t key = 0;        // The virtual-key code.
  bool operator==(const KeyCombination& other) const {
    return modifiers == other.modifiers && key == other.key;
  }
};

/// What a [Keys] value names, or why it names none.
struct ParsedKeys {
  KeyCombination keys;
  /// Why the value names no key combination; nullptr when it does.
  const char* problem = nullptr;
};

/// Reads modifiers (Ctrl, Alt, Shift, Win, in any order and case, each
/// followed by "+") and then one key: a letter, a digit, F1 to F24, Left,
/// Right, Up, Down, Home, End, PageUp, PageDown, Insert, Delete, Space,
/// Pause or Num0 to Num9 (the numeric keypad's digits). Blanks around a
/// part are ignored. A key that types (a letter, a digit, Space, a keypad
/// digit) and an arrow need a modifier; F12 is refused, as Windows keeps
/// it for its debugger.
ParsedKeys ParseKeyCombination(std::string_view text);

/// The combination as ParseKeyCombination reads it, modifiers in the order
/// Ctrl, Alt, Shift, Win: "Ctrl+Alt+Right".
std::string KeyCombinationName(const KeyCombination& keys);

#endif  // MORVASK_COMMON_KEY_COMBINATION_H_
