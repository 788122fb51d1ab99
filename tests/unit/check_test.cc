#include "app/check.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "app/commands.h"
#include "common/key_combination.h"
#include "fake_platform.h"

namespace {

class CheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.module_path = "C:\\Program Files\\morvask\\morvask.exe";
    platform.command_line = "morvask CHECK";
    platform.environment = {{"ProgramFiles", "C:\\Program Files"},
                            {"LOCALAPPDATA", "C:\\Users\\me\\AppData\\Local"}};
    platform.own_rights.elevated = Answer::kNo;
    platform.own_rights.virtualized = Answer::kYes;
    platform.file_facts[kIni] = {true, false, false, Answer::kNo};
    auto& ini = platform.files[kIni];
    ini["Main"] = {{"ProfileCount", "3"},
                   {"Delay", "2s"},
                   {"RMClock", "1"},
                   {"CycleAC", "0, x"},
                   {"AtiCatalyst", "1"}};
    ini["System"] = {{"CurrentProfileAC", "1"}};
    ini["0"] = {{"AtkOsdImageSet", "92"}};
    ini["1"] = {{"RMClockProfile", "7"}, {"AtiCatalystProfile", "Fast"}};
    platform.registry_key_exists = true;
    platform.registry_values["Path"] = {4, std::string("\1\0\0\0", 4)};
    platform.AddWindow("#32770", "RightMark CPU Clock Utility");
    platform.post_refusal = PostRefusal::kRefused;
    platform.mutexes.insert("Local\\morvask-watch");
  }

  const std::string kIni = "C:\\Program Files\\morvask\\morvask.ini";
  FakePlatform platform;
};

TEST_F(CheckTest, ReportsWhatItSeesAndChangesNothing) {
  platform.stdout_is_file = true;
  FileFacts linked_log;
  linked_log.exists = true;
  linked_log.names = 2;
  platform.file_facts["C:\\Program Files\\morvask\\morvask.log"] = linked_log;
  RunMorvask(platform);
  const std::string& report = platform.standard_output;
  const char* const kSays[] = {
      "Settings file: C:\\Program Files\\morvask\\morvask.ini\r\n",
      "redirects its writes to C:\\Users\\me\\AppData\\Local\\VirtualStore\\"
      "Program Files\\morvask\\morvask.ini, which does not exist yet",
      "Power source: mains (AC line status 1)",
      "Current profile: 1 on mains, 0 on battery; now profile 1",
      "[Main] ProfileCount 3, Delay 2200 ms, ShowBeforeSwitch off, RMClock on",
      "CycleAC is ignored, as entry 2 (\"x\") is not an integer",
      "[Main] Delay = \"2s\" is not an integer, so it reads as 2200",
      "profile 2 (within ProfileCount) has no section [2]",
      "[1] RMClockProfile 7 sends nothing",
      "window found; Windows would refuse morvask's post",
      "registry value Path is REG_DWORD, not text",
      "window ATKOSD not found",
      "morvask-watch: runs in this session",
      "Log: morvask.log has 2 names: morvask does not write to it",
  };
  for (const char* says : kSays)
    EXPECT_NE(std::string::npos, report.find(says)) << says << "\n" << report;
  EXPECT_EQ(std::string::npos, report.find("profile 0 (")) << report;
  // Redirected, its writes are taken: no usage box.
  EXPECT_EQ(std::string::npos,
            report.find("\"next\", \"prev\" and \"profile\" would show"))
      << report;
  // Nothing changed, commanded or started, and no box for what it found.
  EXPECT_TRUE(platform.CallsStartingWith("Write").empty());
  EXPECT_TRUE(platform.posts.empty());
  EXPECT_TRUE(platform.started.empty());
  EXPECT_TRUE(platform.message_boxes.empty());
  EXPECT_TRUE(platform.information_boxes.empty());
}

TEST_F(CheckTest, WarnsWhoElseMayChangeItsFolderOrProgram) {
  const std::string kFolder = "C:\\Program Files\\morvask\\";
  const std::string kExe = kFolder + "morvask.exe";
  const WriteRights kOthers = {
      Answer::kYes, "NT AUTHORITY\\Authenticated Users", Answer::kYes};
  const WriteRights kOwn = {Answer::kNo, "", Answer::kYes};
  const WriteRights kNone = {Answer::kNo, "", Answer::kNo};
  const WriteRights kUnknown;
  struct Row {
    Answer elevated;
    WriteRights folder, exe;
    std::string says;  // The one warning; empty for none.
  };
  const Row kRows[] = {
      {Answer::kNo, kOthers, kNone,
       "morvask's folder " + kFolder +
           " may be changed by other accounts (NT AUTHORITY\\Authenticated "
           "Users): they can replace morvask or put a DLL beside it, which"},
      {Answer::kNo,
       kNone,
       {Answer::kYes, "BUILTIN\\Users", Answer::kNo},
       "\n  " + kExe +
           " may be changed by other accounts (BUILTIN\\Users): they can "
           "replace morvask, which"},
      // One line for both, the account named once; nothing more for the
      // user's own programs when other accounts may.
      {Answer::kYes, kOthers, kOthers,
       kFolder + " and " + kExe +
           " may be changed by other accounts (NT AUTHORITY\\Authenticated "
           "Users):"},
      {Answer::kYes, kNone, kOwn,
       "\n  " + kExe +
           " may be changed by your own programs that are not elevated: any "
           "of them can make this elevated morvask run"},
      {Answer::kNo, kOwn, kOwn, ""},
      {Answer::kYes, kUnknown, kUnknown, ""},
  };
  for (const Row& row : kRows) {
    platform.own_rights.elevated = row.elevated;
    platform.write_rights = {{kFolder, row.folder}, {kExe, row.exe}};
    platform.stdout_is_file = true;
    platform.standard_output.clear();
    RunMorvask(platform);
    const std::string& report = platform.standard_output;
    size_t warnings = 0;
    for (size_t at = report.find(" may be changed by ");
         at != std::string::npos;
         at = report.find(" may be changed by ", at + 1))
      ++warnings;
    EXPECT_EQ(row.says.empty() ? 0u : 1u, warnings) << report;
    EXPECT_NE(std::string::npos, report.find(row.says)) << row.says << "\n"
                                                        << report;
  }
}

TEST_F(CheckTest, WithoutAFileOrPipeOneBoxWithTheProblemsCut) {
  platform.files[kIni]["Main"]["ProfileCount"] =
      "12";  // 10 sections missing: 12 problems.
  RunMorvask(platform);
  ASSERT_EQ(1u, platform.information_boxes.size());
  EXPECT_EQ("morvask check", platform.information_boxes[0].first);
  const std::string& text = platform.information_boxes[0].second;
  EXPECT_NE(std::string::npos, text.find("  ... and 4 more")) << text;
  EXPECT_LE(std::count(text.begin(), text.end(), '\n'), 30) << text;
  EXPECT_TRUE(platform.message_boxes.empty());
}

TEST_F(CheckTest, VerdictsInPlainWordsFromTheRealFacts) {
  const char kUsage[] =
      "\"next\", \"prev\" and \"profile\" would show the usage box";
  const struct {
    const char* name;
    Answer elevated, virtualized;
    std::map<std::string, std::string> main;  // [Main] beside Delay=2s.
    bool log_on;
    std::vector<const char*> says, never;
  } cases[] = {
      {"UAC off: refused, not redirected",
       Answer::kNo,
       Answer::kNo,
       {},
       false,
       {kUsage, "Windows does not redirect"},
       {"VirtualStore\\"}},
      {"elevated: this very file",
       Answer::kYes,
       Answer::kNo,
       {},
       false,
       {kUsage, "morvask is elevated: it uses this file"},
       {"redirects its"}},
      {"ProfileCount 0",
       Answer::kNo,
       Answer::kYes,
       {{"ProfileCount", "0"}},
       false,
       {"next and prev go to profile 0 (ProfileCount 0)",
        "ProfileCount 0 is less than 1: \"next\" and \"prev\" go to "
        "profile 0 and stay there"},
       {"go round 0 to"}},
      {"ProfileCount of the least integer",
       Answer::kNo,
       Answer::kYes,
       {{"ProfileCount", "-2147483648"}},
       false,
       {"ProfileCount -2147483648 is less than 1"},
       {"go round 0 to"}},
      {"a negative Delay, and a log that stays shut",
       Answer::kNo,
       Answer::kYes,
       {{"Delay", "-5"}, {"ShowBeforeSwitch", "1"}},
       true,
       {"[Main] Delay -5 is negative: \"next\" and \"prev\" wait no time",
        "with ShowBeforeSwitch on they never step"},
       {}},
      {"the notice off",
       Answer::kNo,
       Answer::kYes,
       {},
       false,
       {"Notice (Notice off, NoticeTime 1500 ms): not shown"},
       {"shows \""}},
      {"the notice on, held to 60000",
       Answer::kNo,
       Answer::kYes,
       {{"Notice", "1"}, {"NoticeTime", "99999"}},
       false,
       {"Notice (Notice on, NoticeTime 99999 ms): shows \"Profile 1 on "
        "mains\" for 60000 ms (held to that)"},
       {}},
      {"the notice on, for no time",
       Answer::kNo,
       Answer::kYes,
       {{"Notice", "1"}, {"NoticeTime", "0"}},
       false,
       {"NoticeTime 0 or less shows nothing"},
       {"shows \""}},
  };
  for (const auto& c : cases) {
    FakePlatform fresh;
    platform = fresh;
    SetUp();
    platform.own_rights = {c.elevated, c.virtualized};
    platform.stdout_is_file = true;
    for (const auto& [k, v] : c.main) platform.files[kIni]["Main"][k] = v;
    if (c.log_on) platform.files[kIni]["Main"]["Log"] = "1";
    RunMorvask(platform);
    const std::string& report = platform.standard_output;
    for (const char* says : c.says)
      EXPECT_NE(std::string::npos, report.find(says)) << c.name << ": " << says;
    for (const char* never : c.never)
      EXPECT_EQ(std::string::npos, report.find(never))
          << c.name << ": " << never;
    EXPECT_TRUE(platform.CallsStartingWith("AppendToLog").empty()) << c.name;
  }
}

TEST_F(CheckTest, AReportNotWrittenWholeGoesToTheBox) {
  platform.stdout_is_file = true;
  platform.stdout_room = 100;  // The disk is full after 100 bytes.
  RunMorvask(platform);
  ASSERT_EQ(1u, platform.information_boxes.size());
  EXPECT_EQ(0u, platform.information_boxes[0].second.find("morvask "));
}

TEST_F(CheckTest, AFolderTheCodePageCannotNameIsNamedAndNeverOpened) {
  platform.module_path = "C:\\Users\\???????\\morvask\\morvask.exe";
  platform.module_path_exact = false;
  platform.stdout_is_file = true;
  RunMorvask(platform);
  const std::string& report = platform.standard_output;
  for (const char* says :
       {"this folder cannot be used", "every setting reads as its default",
        "%LOCALAPPDATA%\\morvask", "fsutil 8dot3name set",
        "Current profile: 0 on mains, 0 on battery"})
    EXPECT_NE(std::string::npos, report.find(says)) << says << "\n" << report;
  // No file by the path with '?': neither looked at nor read.
  EXPECT_EQ(std::string::npos, report.find("???")) << report;
  EXPECT_TRUE(platform.CallsStartingWith("Read").empty());
  EXPECT_TRUE(platform.CallsStartingWith("SectionExists").empty());
  EXPECT_TRUE(platform.CallsStartingWith("QueryFile C:\\Users").empty());
}

}  // namespace

namespace {

TEST_F(CheckTest, SaysWhoHoldsEachKeyAndWhyALineIsIgnored) {
  platform.stdout_is_file = true;
  platform.files[kIni]["Keys"] = {{"next", "Ctrl+Alt+Right"},
                                  {"prev", "Ctrl+Alt+Left"},
                                  {"show", "Ctrl+Alt+Up"},
                                  {"current", "Win+L"},
                                  {"check", "F12"}};
  platform.key_holders[{kModControl | kModAlt, 0x27u}] = KeyHolder::kWatcher;
  platform.key_holders[{kModControl | kModAlt, 0x25u}] = KeyHolder::kOther;
  platform.key_holders[{kModWin, std::uint32_t{'L'}}] = KeyHolder::kWindows;
  RunMorvask(platform);
  const std::string& report = platform.standard_output;
  for (const char* says :
       {"[Keys] next=Ctrl+Alt+Right: Ctrl+Alt+Right is held by the running "
        "morvask-watch",
        "[Keys] prev=Ctrl+Alt+Left: Ctrl+Alt+Left is held by another program",
        "[Keys] show=Ctrl+Alt+Up: Ctrl+Alt+Up is free",
        "[Keys] current=Win+L: Win+L is kept by Windows",
        "[Keys] check=F12 is ignored: it has a value that names F12"})
    EXPECT_NE(std::string::npos, report.find(says)) << says << "\n" << report;
  EXPECT_TRUE(platform.hotkeys.empty()) << "check holds no key";
}

}  // namespace
