#include "common/key_combination.h"

#include "common/ascii.h"

namespace {

struct NamedKey {
  const char* name;  // In lower case.
  std::uint32_t code;
  bool needs_modifier;  // It types, or moves the caret.
};

// Letters, digits and F1..F24 are found by rule; these by name.
const NamedKey kNamedKeys[] = {
    {"left", 0x25, true},    {"up", 0x26, true},        {"right", 0x27, true},
    {"down", 0x28, true},    {"home", 0x24, false},     {"end", 0x23, false},
    {"pageup", 0x21, false}, {"pagedown", 0x22, false}, {"insert", 0x2D, false},
    {"delete", 0x2E, false}, {"space", 0x20, true},     {"pause", 0x13, false},
};

const struct {
  const char* name;
  std::uint32_t flag;
} kModifiers[] = {{"ctrl", kModControl},
                  {"alt", kModAlt},
                  {"shift", kModShift},
                  {"win", kModWin}};

constexpr std::uint32_t kVkF1 = 0x70;
constexpr std::uint32_t kVkF12 = 0x7B;
constexpr std::uint32_t kVkNumpad0 = 0x60;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

/// The number of "F1".."F24" or "num0".."num9" after its prefix, or -1.
int SmallNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 2) return -1;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return digits.size() == 2 && digits[0] == '0' ? -1 : value;
}

/// The key named `name` (in lower case), or a code of 0.
NamedKey FindKey(const std::string& name) {
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z')
    return {nullptr, static_cast<std::uint32_t>(name[0] - 'a' + 'A'), true};
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9')
    return {nullptr, static_cast<std::uint32_t>(name[0]), true};
  if (name[0] == 'f') {
    const int number = SmallNumber(std::string_view(name).substr(1));
    if (number >= 1 && number <= 24)
      return {nullptr, kVkF1 + static_cast<std::uint32_t>(number - 1), false};
  }
  if (name.size() == 4 && name.compare(0, 3, "num") == 0) {
    const int number = SmallNumber(std::string_view(name).substr(3));
    if (number >= 0) return {nullptr, kVkNumpad0 + number, true};
  }
  for (const NamedKey& key : kNamedKeys)
    if (name == key.name) return key;
  return {nullptr, 0, false};
}

}  // namespace

ParsedKeys ParseKeyCombination(std::string_view text) {
  ParsedKeys parsed;
  for (;;) {
    const std::size_t plus = text.find('+');
    const std::string part = LowerAscii(Trimmed(text.substr(0, plus)));
    if (part.empty()) {
      parsed.problem = plus == std::string_view::npos
                           ? "names no key"
                           : "has an empty part before a \"+\"";
      return parsed;
    }
    if (plus == std::string_view::npos) {
      const NamedKey key = FindKey(part);
      if (key.code == 0) {
        parsed.problem = "names a key morvask-watch does not know";
      } else if (key.code == kVkF12) {
        parsed.problem = "names F12, which Windows keeps for its debugger";
      } else if (key.needs_modifier && parsed.keys.modifiers == 0) {
        parsed.problem = "needs Ctrl, Alt, Shift or Win with that key";
      }
      parsed.keys.key = key.code;
      return parsed;
    }
    std::uint32_t flag = 0;
    for (const auto& modifier : kModifiers)
      if (part == modifier.name) flag = modifier.flag;
    if (flag == 0) {
      parsed.problem = "has a modifier other than Ctrl, Alt, Shift and Win";
      return parsed;
    }
    parsed.keys.modifiers |= flag;
    text.remove_prefix(plus + 1);
  }
}

std::string KeyCombinationName(const KeyCombination& keys) {
  static const char* const kModifierNames[] = {"Ctrl+", "Alt+", "Shift+",
                                               "Win+"};
  std::string name;
  for (int i = 0; i < 4; ++i)
    if (keys.modifiers & kModifiers[i].flag) name += kModifierNames[i];
  const std::uint32_t code = keys.key;
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
    name += static_cast<char>(code);
  } else if (code >= kVkF1 && code < kVkF1 + 24) {
    name += "F" + std::to_string(code - kVkF1 + 1);
  } else if (code >= kVkNumpad0 && code < kVkNumpad0 + 10) {
    name += "Num" + std::to_string(code - kVkNumpad0);
  } else {
    static const char* const kShown[] = {
        "Left",   "Up",       "Right",  "Down",   "Home",  "End",
        "PageUp", "PageDown", "Insert", "Delete", "Space", "Pause"};
    for (std::size_t i = 0; i < sizeof kShown / sizeof kShown[0]; ++i)
      if (kNamedKeys[i].code == code) name += kShown[i];
  }
  return name;
}
