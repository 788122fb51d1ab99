#include "common/key_combination.h"

#include <gtest/gtest.h>

#include "code_pages.h"
#include "fake_platform.h"
#include "settings/key_bindings.h"
#include "settings/settings_store.h"

namespace {

TEST(KeyCombinationTest, ModifiersThenOneKeyOrWhyNot) {
  const struct {
    const char* text;
    std::uint32_t modifiers, key;
    const char* problem;  // A part of it; nullptr when the text is read.
  } cases[] = {
      {"Ctrl+Alt+Right", kModControl | kModAlt, 0x27, nullptr},
      {"alt + CTRL +right", kModControl | kModAlt, 0x27, nullptr},
      {"Shift+Win+a", kModShift | kModWin, 'A', nullptr},
      {"Ctrl+Shift+Alt+F17", kModControl | kModShift | kModAlt, 0x80, nullptr},
      {"F24", 0, 0x87, nullptr},
      {"F1", 0, 0x70, nullptr},
      {"Pause", 0, 0x13, nullptr},
      {"Home", 0, 0x24, nullptr},
      {"Ctrl+PageDown", kModControl, 0x22, nullptr},
      {"Alt+Num0", kModAlt, 0x60, nullptr},
      {"Win+9", kModWin, '9', nullptr},
      {"Ctrl+Space", kModControl, 0x20, nullptr},
      {"Right", 0, 0, "needs Ctrl"},
      {"a", 0, 0, "needs Ctrl"},
      {"7", 0, 0, "needs Ctrl"},
      {"Num5", 0, 0, "needs Ctrl"},
      {"Space", 0, 0, "needs Ctrl"},
      {"F12", 0, 0, "debugger"},
      {"Ctrl+Alt+F12", 0, 0, "debugger"},
      {"F25", 0, 0, "does not know"},
      {"F0", 0, 0, "does not know"},
      {"F01", 0, 0, "does not know"},
      {"Ctrl+Alt+Rightt", 0, 0, "does not know"},
      {"Ctrl+Alt+AB", 0, 0, "does not know"},
      {"Num10", 0, 0, "does not know"},
      {"Hyper+A", 0, 0, "modifier other than"},
      {"Ctrl+Alt", 0, 0, "does not know"},
      {"Ctrl++A", 0, 0, "empty part"},
      {"Ctrl+", 0, 0, "names no key"},
      {"", 0, 0, "names no key"},
      {"Ctrl+Alt+Right+Left", 0, 0, "modifier other than"},
  };
  for (const auto& c : cases) {
    const ParsedKeys parsed = ParseKeyCombination(c.text);
    if (!c.problem) {
      ASSERT_EQ(nullptr, parsed.problem) << c.text << ": " << parsed.problem;
      EXPECT_EQ(c.modifiers, parsed.keys.modifiers) << c.text;
      EXPECT_EQ(c.key, parsed.keys.key) << c.text;
      // The name it is shown by reads back as the same keys.
      const ParsedKeys again =
          ParseKeyCombination(KeyCombinationName(parsed.keys));
      EXPECT_TRUE(again.keys == parsed.keys) << c.text;
    } else {
      ASSERT_NE(nullptr, parsed.problem) << c.text;
      EXPECT_NE(std::string::npos, std::string(parsed.problem).find(c.problem))
          << c.text << ": " << parsed.problem;
    }
  }
}

TEST(KeyBindingsTest, EachLineBoundOrWhyItIsIgnored) {
  const struct {
    const char* command_line;
    std::string value;
    const char* problem;  // A part of it; nullptr when its keys are held.
  } cases[] = {
      {"next", "Ctrl+Alt+Right", nullptr},
      {"PROFILE $2", "Ctrl+Shift+Alt+F17", nullptr},
      {"osd 92 4", "Ctrl+Alt+O", nullptr},
      {"nxt", "Ctrl+Alt+N", "not a command line morvask accepts"},
      {"next 2", "Ctrl+Alt+M", "not a command line morvask accepts"},
      {"profile", "Ctrl+Alt+P", "not a command line morvask accepts"},
      {"profile two", "Ctrl+Alt+T", "\"two\", which is not an integer"},
      {"profile \"2\"", "Ctrl+Alt+Q", "double quote"},
      {"prev", "Alt+ctrl+right", "same keys as the earlier [Keys] next="},
      {"show", "Ctrl+Alt+" + std::string(2040, 'X'), "does not know"},
      {"current", "F12", "debugger"},
  };
  FakePlatform platform;
  auto& keys = platform.ini()["Keys"];
  // The fake lists names in sorted order: "next" comes before "prev".
  std::vector<std::string> names;
  for (const auto& c : cases) {
    names.push_back(c.command_line);
    keys[c.command_line] = c.value;
  }
  IniFileReader settings(platform, "C:\\Tools\\morvask.ini");
  const auto no_lead = [](unsigned char) { return false; };
  KeyBindings bindings = ReadKeyBindings(settings, no_lead);
  ASSERT_EQ(names.size(), bindings.lines.size());
  for (const auto& c : cases) {
    const KeyBinding* line = nullptr;
    for (const KeyBinding& l : bindings.lines)
      if (l.command_line == c.command_line) line = &l;
    ASSERT_NE(nullptr, line) << c.command_line;
    if (!c.problem)
      EXPECT_EQ("", line->problem) << c.command_line;
    else
      EXPECT_NE(std::string::npos, line->problem.find(c.problem))
          << c.command_line << ": " << line->problem;
    EXPECT_LT(line->name.size(), 100u) << "cut for the log";
  }

  // A long value is cut for the log whole: a Shift-JIS character across
  // the cut is left out, never split.
  FakePlatform dbcs;
  dbcs.ini()["Keys"]["next"] = std::string(39, 'x') + "\x82\xa0" + "zz";
  IniFileReader dbcs_settings(dbcs, "C:\\Tools\\morvask.ini");
  const KeyBindings cut = ReadKeyBindings(dbcs_settings, ShiftJisLead);
  ASSERT_EQ(1u, cut.lines.size());
  EXPECT_EQ("[Keys] next=" + std::string(39, 'x') + "...", cut.lines[0].name);

  // A thousand lines: the first hundred are read, the rest counted.
  for (int i = 0; i < 1000; ++i)
    keys["profile " + std::to_string(1000 + i)] =
        "Ctrl+Alt+F" + std::to_string(1 + i % 11);
  bindings = ReadKeyBindings(settings, no_lead);
  EXPECT_EQ(kMostKeyLines, bindings.lines.size());
  EXPECT_EQ(names.size() + 1000 - kMostKeyLines, bindings.lines_not_read);
}

}  // namespace
