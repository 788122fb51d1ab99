#include "platform/settings_lock.h"

#include <gtest/gtest.h>

#include <map>

#include "code_pages.h"

namespace {

// The system's rules as a table: one folder has a short name, and ASCII
// letters fold. (How Windows folds other letters is the Win32 layer's;
// the system tests hold it.)
FileNameRules TableRules() {
  FileNameRules rules;
  rules.is_lead_byte = NoLeadBytes;
  // Bytes as Latin-1 letters, which Windows-1252 is for these names.
  rules.widen = [](const std::string& text) {
    std::u16string wide;
    for (unsigned char c : text) wide += static_cast<char16_t>(c);
    return wide;
  };
  rules.long_folder = [](const std::u16string& folder) -> std::u16string {
    // Keys in lower case: the system finds a folder in any case.
    static const std::map<std::u16string, std::u16string> kLong = {
        {u"c:\\progra~1\\toolso~1\\", u"C:\\Program Files\\Tools of mine\\"},
        {u"c:\\program files\\tools of mine\\",
         u"C:\\Program Files\\Tools of mine\\"},
        // A folder whose long name no ANSI code page of the test holds.
        {u"c:\\users\\0ac5~1\\", u"C:\\Users\\\u0414\u043c\\"},
        {u"c:\\users\\0bd7~1\\", u"C:\\Users\\\u0416\u043a\\"},
    };
    std::u16string lower = folder;
    for (char16_t& c : lower) {
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
      if (c >= 0x410 && c <= 0x42F) c = static_cast<char16_t>(c + 0x20);
    }
    auto found = kLong.find(lower);
    return found == kLong.end() ? u"" : found->second;
  };
  rules.fold_case = [](const std::u16string& text) {
    std::u16string folded;
    for (char16_t c : text) {
      bool lower = (c >= u'a' && c <= u'z') ||
                   (c >= 0xE0 && c != 0xF7 && c < 0xFF) ||
                   (c >= 0x430 && c <= 0x44F);
      folded += static_cast<char16_t>(lower ? c - 0x20 : c);
    }
    return folded;
  };
  return rules;
}

TEST(FileLockNameTest, OneNamePerFileHoweverItsPathIsSpelled) {
  const struct {
    const char* name;
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"short folder names", "C:\\PROGRA~1\\TOOLSO~1\\morvask.ini",
       "C:\\Program Files\\Tools of mine\\morvask.ini", true},
      {"short names in another case", "c:\\progra~1\\toolso~1\\MORVASK.INI",
       "C:\\Program Files\\Tools of mine\\morvask.ini", true},
      {"two folders whose long names the code page lacks",
       "C:\\Users\\0AC5~1\\morvask.ini", "C:\\Users\\0BD7~1\\morvask.ini",
       false},
      {"a folder with no long form, as given", "C:\\NOLONG~1\\morvask.ini",
       "c:\\nolong~1\\morvask.ini", true},
      {"another folder", "C:\\Tools\\morvask.ini", "C:\\Tool\\morvask.ini",
       false},
      {"another file", "C:\\Tools\\morvask.ini", "C:\\Tools\\morvask.log",
       false},
  };
  const FileNameRules rules = TableRules();
  for (const auto& c : cases) {
    EXPECT_EQ(c.same, FileLockName(c.a, rules) == FileLockName(c.b, rules))
        << c.name;
  }
}

TEST(FileLockNameTest, HashesTheFoldedUtf16Path) {
  // 64-bit FNV-1a of the bytes 41 00 (UTF-16 "A") is 0908a207b5a15704.
  EXPECT_EQ("Local\\morvask-0908a207b5a15704", FileLockName("a", TableRules()));
}

}  // namespace
