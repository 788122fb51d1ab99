// [Keys]: the hotkeys that morvask-watch holds. Each line's name is a
// morvask command line and its value the keys that run it:
//
//   [Keys]
//   next=Ctrl+Alt+Right
//   profile 2=Ctrl+Shift+Alt+F17
//
// read here for the watcher and for "check" alike.
#ifndef MORVASK_SETTINGS_KEY_BINDINGS_H_
#define MORVASK_SETTINGS_KEY_BINDINGS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "common/key_combination.h"
#include "common/path.h"

class SettingsStore;

/// Lines of [Keys] read; the lines after them are ignored, so that a huge
/// section costs little and registers a bounded number of keys.
constexpr std::size_t kMostKeyLines = 100;

/// One line of [Keys].
struct KeyBinding {
  std::string command_line;  // The key's name, as written.
  std::string value;         // As read.
  KeyCombination keys;       // When `problem` is empty.
  /// "[Keys] next=Ctrl+Alt+Right" for the log and the report, a long name
  /// or value cut short, never inside a double-byte character.
  std::string name;
  /// Why the line is ignored, as a sentence's end ("is not a command line
  /// morvask accepts"); empty when the watcher holds its keys.
  std::string problem;
};

struct KeyBindings {
  std::vector<KeyBinding> lines;   // In the file's order, at most kMost...
  std::size_t lines_not_read = 0;  // Beyond kMostKeyLines.
};

/// Reads [Keys]. A line is ignored when its name is not a command line
/// that morvask accepts (an unknown word, a wrong count of arguments, an
/// argument that is not an integer, a double quote), when its value names
/// no key combination (common/key_combination.h), and when an earlier
/// line has the same keys: the first one wins. Never fails.
KeyBindings ReadKeyBindings(SettingsStore& settings,
                            const LeadByteTest& is_lead_byte);

#endif  // MORVASK_SETTINGS_KEY_BINDINGS_H_
