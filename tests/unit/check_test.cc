#include "app/check.h"

#include <gtest/gtest.h>

#include "app/commands.h"
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
      "exists, but morvask may not write to it",
      "redirects its writes to C:\\Users\\me\\AppData\\Local\\VirtualStore\\"
      "Program Files\\morvask\\morvask.ini",
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
  // Nothing changed, commanded or started, and no box for what it found.
  EXPECT_TRUE(platform.CallsStartingWith("Write").empty());
  EXPECT_TRUE(platform.posts.empty());
  EXPECT_TRUE(platform.started.empty());
  EXPECT_TRUE(platform.message_boxes.empty());
  EXPECT_TRUE(platform.information_boxes.empty());
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
