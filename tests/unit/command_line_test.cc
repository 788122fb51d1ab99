#include "common/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "code_pages.h"
#include "common/ascii.h"
#include "settings/settings_store.h"

namespace {

using Tokens = std::vector<std::string>;

struct Case {
  const char* name;
  std::string line;
  Tokens expected;
};

const Case kCases[] = {
    {"program only", "morvask", {"morvask"}},
    {"empty", "", {}},
    {"blanks only", "  \t ", {}},
    {"word", "morvask current", {"morvask", "current"}},
    {"several blanks", "morvask   osd  92\t3", {"morvask", "osd", "92", "3"}},
    {"control bytes separate",
     "m\x01"
     "a\x1f"
     "b\x7f"
     "c",
     {"m", "a",
      "b\x7f"
      "c"}},
    {"trailing blank", "morvask next ", {"morvask", "next"}},
    {"quoted program path with blanks",
     "\"C:\\Program Files\\m\\morvask.exe\" next",
     {"C:\\Program Files\\m\\morvask.exe", "next"}},
    {"unquoted path with blanks shifts arguments",
     "C:\\Program Files\\m\\morvask.exe next",
     {"C:\\Program", "Files\\m\\morvask.exe", "next"}},
    {"quoted word", "m \"current\"", {"m", "current"}},
    {"word then two quotes is one argument",
     "m current \"\"",
     {"m", "current"}},
    {"four quotes", "m current \"\"\"\"", {"m", "current"}},
    {"quotes and blanks", "m \"\" \"\" current", {"m", "current"}},
    {"three quotes open a stretch to the end", "m \"\"\" x", {"m", " x"}},
    {"lone quote at the end", "m current \"", {"m", "current"}},
    {"unclosed stretch", "m \"a b", {"m", "a b"}},
    {"quoted trailing blank stays", "m \"current \"", {"m", "current "}},
    {"token goes on after the stretch",
     "m ab\"c d\"ef g",
     {"m", "abc def", "g"}},
    {"doubled quote inside closes and reopens", "m \"a\"\"b\"", {"m", "ab"}},
    {"no escape", "m a\\\"b c\"", {"m", "a\\b c"}},
    {"quoted blanks", "m osd 1 \"   \"", {"m", "osd", "1", "   "}},
    {"high bytes are ordinary", "m \x80\xff", {"m", "\x80\xff"}},
    {"stops at NUL", std::string("m a\0b", 5), {"m", "a"}},
};

TEST(SplitCommandLineTest, Table) {
  for (const Case& c : kCases) {
    EXPECT_EQ(c.expected, SplitCommandLine(c.line, NoLeadBytes)) << c.name;
  }
}

TEST(SplitCommandLineTest, DoubleByteCharactersStayWhole) {
  // 0x81 0x20 is one character: its trail byte is no separator.
  EXPECT_EQ((Tokens{"m", "\x81 x"}),
            SplitCommandLine("m \x81 x", ShiftJisLead));
  EXPECT_EQ((Tokens{"m", "\x81", "x"}),
            SplitCommandLine("m \x81 x", NoLeadBytes));
  // A trail byte that looks like a quote does not open a stretch.
  EXPECT_EQ((Tokens{"m", "\x81\"", "x"}),
            SplitCommandLine("m \x81\" x", ShiftJisLead));
  // A lead byte at the very end is kept alone.
  EXPECT_EQ((Tokens{"m", "a\x81"}), SplitCommandLine("m a\x81", ShiftJisLead));
}

TEST(LowerAsciiTest, FoldsOnlyAToZ) {
  EXPECT_EQ("current", LowerAscii("CuRRENT"));
  EXPECT_EQ("az", LowerAscii("AZ"));
  EXPECT_EQ("@[`{\xc4\xe4", LowerAscii("@[`{\xc4\xe4"));
}

TEST(SettingsPathForTest, DirectoryOfTheModule) {
  const struct {
    const char* module;
    const char* expected;
  } cases[] = {
      {"C:\\Tools\\morvask.exe", "C:\\Tools\\morvask.ini"},
      {"C:morvask.exe", "C:morvask.ini"},
      {"\\\\server\\share\\m.exe", "\\\\server\\share\\morvask.ini"},
      {"C:\\a/b/m.exe", "C:\\morvask.ini"},  // A slash is no delimiter.
      {"m.exe", "morvask.ini"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, SettingsPathFor(c.module, NoLeadBytes)) << c.module;
  }
}

TEST(SettingsPathForTest, TrailByteBackslashIsNoDelimiter) {
  // 0x95 0x5C is one Shift-JIS character whose second byte is a backslash.
  EXPECT_EQ("C:\\morvask.ini",
            SettingsPathFor("C:\\\x95\\x.exe", ShiftJisLead));
  EXPECT_EQ("C:\\\x95\\morvask.ini",
            SettingsPathFor("C:\\\x95\\x.exe", NoLeadBytes));
}

TEST(SettingsPathForTest, PathsLongerThan260AreKeptWhole) {
  std::string directory = "C:\\" + std::string(300, 'd') + "\\";
  EXPECT_EQ(directory + "morvask.ini",
            SettingsPathFor(directory + "morvask.exe", NoLeadBytes));
}

}  // namespace
