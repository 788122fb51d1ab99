#include "platform/settings_lock.h"

#include <gtest/gtest.h>

#include <map>

#include "code_pages.h"
#include "common/ascii.h"

namespace {

// The system's rules as a table: one folder has a short name, and ASCII
// letters fold. (How Windows folds other letters is the Win32 layer's;
// the system tests hold it.)
FileNameRules TableRules() {
  FileNameRules rules;
  rules.is_lead_byte = NoLeadBytes;
  rules.long_folder = [](const std::string& folder) -> std::string {
    // Keys in lower case: the system finds a folder in any case.
    static const std::map<std::string, std::string> kLong = {
        {"c:\\progra~1\\toolso~1\\", "C:\\Program Files\\Tools of mine\\"},
        {"c:\\program files\\tools of mine\\",
         "C:\\Program Files\\Tools of mine\\"},
    };
    auto found = kLong.find(LowerAscii(folder));
    return found == kLong.end() ? "" : found->second;
  };
  rules.fold_case = [](const std::string& text) {
    std::u16string folded;
    for (unsigned char c : text)
      folded += static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 0x20 : c);
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
