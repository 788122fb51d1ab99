#include "app/commands.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

class CommandsTest : public ::testing::Test {
 protected:
  /// Runs morvask with `arguments` after the program name.
  int Run(const std::string& arguments) {
    platform.command_line = "\"C:\\Tools\\morvask.exe\" " + arguments;
    return RunMorvask(platform);
  }
  bool ShowedUsage() const { return platform.message_boxes.size() == 1; }
  std::string System(const std::string& key) {
    return platform.ini()["System"][key];
  }

  FakePlatform platform;
};

TEST_F(CommandsTest, UsageTextIsExact) {
  EXPECT_EQ(0, Run(""));
  ASSERT_EQ(1u, platform.message_boxes.size());
  EXPECT_EQ(
      "Usage:\r\n\r\n"
      "morvask current ... reactivate current profile\r\n"
      "morvask next ... activate next profile\r\n"
      "morvask profile profile_index ... activate specified profile\r\n"
      "morvask osd image_set image_index ... shows specified AtkOsd\r\n"
      "morvask show ... shows current profile",
      platform.message_boxes[0]);
  EXPECT_EQ(260u, platform.message_boxes[0].size());
  EXPECT_EQ(1u, platform.CallsStartingWith("MessageBox 16").size());
}

TEST_F(CommandsTest, MatchesWordAndCountAndRunsTheRowsEffects) {
  // Profile p shows image 10 + p and selects clock profile p; no slot key
  // is stored, so "current" and "show" take profile 0, "next" steps to 1
  // and "prev" back to 2 of 3 profiles.
  const std::uint32_t kNone = 0xFFFFFFFF;
  const std::uint32_t kClock0 = 0x800E;
  const struct {
    const char* arguments;
    bool usage;
    std::uint32_t shown;    // Display parameter posted, or kNone.
    std::uint32_t applied;  // Clock parameter posted, or kNone.
  } cases[] = {
      {"", true, kNone, kNone},
      {"bogus", true, kNone, kNone},
      {"current", false, 10, kClock0},
      {"CURRENT", false, 10, kClock0},
      {"CuRrEnT", false, 10, kClock0},
      {"\"current\"", false, 10, kClock0},
      {"current \"\"", false, 10, kClock0},
      {"\"current \"", true, kNone, kNone},
      {"current 1", true, kNone, kNone},
      {"show", false, 10, kNone},
      {"show 1", true, kNone, kNone},
      {"profile", true, kNone, kNone},
      {"profile 1", false, 11, kClock0 + 1},
      {"profile 1 2", true, kNone, kNone},
      {"osd 1", true, kNone, kNone},
      {"osd 92 3", false, (3u << 16) | 92u, kNone},
      {"osd 92 3 4", true, kNone, kNone},
      {"next", false, 11, kClock0 + 1},
      {"Next", false, 11, kClock0 + 1},
      {"next 1", true, kNone, kNone},
      {"prev", false, 12, kClock0 + 2},
      {"PREV", false, 12, kClock0 + 2},
      {"prev 1", true, kNone, kNone},
      {"curren", true, kNone, kNone},
      {"currentx", true, kNone, kNone},
      {"check", false, kNone, kNone},
      {"CHECK", false, kNone, kNone},
      {"check 1", true, kNone, kNone},
  };
  for (const auto& c : cases) {
    FakePlatform fresh;
    platform = fresh;
    platform.ini()["Main"]["ShowAtkOsd"] = "1";
    platform.ini()["Main"]["RMClock"] = "1";
    platform.ini()["Main"]["ProfileCount"] = "3";
    for (const char* p : {"0", "1", "2"}) {
      platform.ini()[p]["AtkOsdImageIndex"] = std::to_string(10 + p[0] - '0');
      platform.ini()[p]["RMClockProfile"] = p;
    }
    const WindowHandle osd = platform.AddWindow("ATKOSD", "ATKOSD");
    platform.AddWindow("#32770", "RightMark CPU Clock Utility");
    Run(c.arguments);
    EXPECT_EQ(c.usage, ShowedUsage()) << "arguments: " << c.arguments;
    std::vector<std::uint32_t> shown, applied;
    for (const auto& post : platform.posts) {
      (post.window == osd ? shown : applied).push_back(post.wparam);
      EXPECT_EQ(0, post.lparam) << "arguments: " << c.arguments;
    }
    auto expect = [](std::uint32_t param) {
      return param == kNone ? std::vector<std::uint32_t>{}
                            : std::vector<std::uint32_t>{param};
    };
    EXPECT_EQ(expect(c.shown), shown) << "arguments: " << c.arguments;
    EXPECT_EQ(expect(c.applied), applied) << "arguments: " << c.arguments;
  }
}

TEST_F(CommandsTest, StartUpOrder) {
  Run("show");
  ASSERT_GE(platform.calls.size(), 4u);
  EXPECT_EQ("ModulePath", platform.calls[0]);
  EXPECT_EQ("TickCount", platform.calls[1]);
  EXPECT_EQ("PowerStatus", platform.calls[2]);
  EXPECT_EQ("CommandLine", platform.calls[3]);
  EXPECT_EQ("Flush C:\\Tools\\morvask.ini", platform.calls.back());
}

TEST_F(CommandsTest, ReleaseFlushesAfterTheUsageBox) {
  Run("bogus");
  ASSERT_GE(platform.calls.size(), 2u);
  EXPECT_EQ("MessageBox 16", platform.calls[platform.calls.size() - 2]);
  EXPECT_EQ("Flush C:\\Tools\\morvask.ini", platform.calls.back());
}

TEST_F(CommandsTest, SlotFollowsAcLineStatus) {
  // Mains stores profile 3 (image 13), battery profile 4 (image 14).
  const struct {
    std::uint8_t status;
    const char* key;
    const char* other_key;
    std::uint32_t shown;
  } cases[] = {{1, "CurrentProfileAC", "CurrentProfileBatt", 13},
               {0, "CurrentProfileBatt", "CurrentProfileAC", 14},
               {255, "CurrentProfileBatt", "CurrentProfileAC", 14},
               {2, "CurrentProfileBatt", "CurrentProfileAC", 14}};
  for (const auto& c : cases) {
    FakePlatform fresh;
    platform = fresh;
    platform.ac_line_status = c.status;
    platform.ini()["Main"]["ShowAtkOsd"] = "1";
    platform.ini()["System"] = {{"CurrentProfileAC", "3"},
                                {"CurrentProfileBatt", "4"}};
    platform.ini()["3"]["AtkOsdImageIndex"] = "13";
    platform.ini()["4"]["AtkOsdImageIndex"] = "14";
    platform.AddWindow("ATKOSD", "ATKOSD");
    Run("show");
    ASSERT_EQ(1u, platform.posts.size()) << "status " << int{c.status};
    EXPECT_EQ(c.shown, platform.posts[0].wparam) << "status " << int{c.status};
    const std::string other = System(c.other_key);
    Run("profile 2");
    EXPECT_EQ("2", System(c.key)) << "status " << int{c.status};
    EXPECT_EQ(other, System(c.other_key)) << "status " << int{c.status};
  }
}

TEST_F(CommandsTest, ProfileArguments) {
  const struct {
    const char* argument;
    const char* stored;  // nullptr: nothing written, usage box.
  } cases[] = {
      {"2", "2"},          {"$10", "16"},
      {"0x10", "16"},      {"-1", "-1"},
      {"007", "7"},        {"\"$FFFFFFFF\"", "-1"},
      {"1.5", nullptr},    {"abc", nullptr},
      {"\"2 \"", nullptr}, {"2147483648", nullptr},
      {"\"\" 2", "2"},
  };
  for (const auto& c : cases) {
    FakePlatform fresh;
    platform = fresh;
    Run(std::string("profile ") + c.argument);
    if (c.stored) {
      EXPECT_FALSE(ShowedUsage()) << c.argument;
      EXPECT_EQ(c.stored, System("CurrentProfileAC")) << c.argument;
    } else {
      EXPECT_TRUE(ShowedUsage()) << c.argument;
      EXPECT_TRUE(platform.CallsStartingWith("Write").empty()) << c.argument;
    }
  }
}

TEST_F(CommandsTest, ProfileIgnoresProfileCountAndTickId) {
  platform.ac_line_status = 0;
  platform.ini()["Main"]["ProfileCount"] = "1";
  Run("profile 2");
  EXPECT_EQ("2", System("CurrentProfileBatt"));
  EXPECT_EQ(0u, platform.ini()["System"].count("TickId"));
}

TEST_F(CommandsTest, RefusedWriteShowsUsageBeforeShowingOrApplying) {
  platform.ini()["Main"]["ShowAtkOsd"] = "1";
  platform.ini()["Main"]["RMClock"] = "1";
  platform.AddWindow("ATKOSD", "ATKOSD");
  platform.AddWindow("#32770", "RightMark CPU Clock Utility");
  platform.refuse_writes = true;
  Run("profile 1");
  EXPECT_TRUE(ShowedUsage());
  // The slot is written first, so a refused write stops the command there.
  EXPECT_TRUE(platform.posts.empty());
}

TEST_F(CommandsTest, CurrentAndShowOnlyRead) {
  for (const char* command : {"current", "show", "osd 92 3"}) {
    FakePlatform fresh;
    platform = fresh;
    platform.refuse_writes = true;
    Run(command);
    EXPECT_FALSE(ShowedUsage()) << command;
    EXPECT_TRUE(platform.CallsStartingWith("Write").empty()) << command;
  }
}

TEST_F(CommandsTest, AFolderTheCodePageCannotNameIsAnUnwritableFile) {
  const struct {
    const char* command;
    bool usage;
  } cases[] = {{"profile 2", true},
               {"next", true},
               {"prev", true},
               {"current", false},
               {"show", false}};
  for (const auto& c : cases) {
    FakePlatform fresh;
    platform = fresh;
    platform.module_path = "C:\\Users\\???\\morvask.exe";
    platform.module_path_exact = false;
    // Would be read if the path were handed on: '?' may match other names.
    platform.files["C:\\Users\\???\\morvask.ini"]["Main"]["Log"] = "1";
    Run(c.command);
    EXPECT_EQ(c.usage, ShowedUsage()) << c.command;
    for (const char* call : {"Read", "Write", "Flush", "AppendToLog"})
      EXPECT_TRUE(platform.CallsStartingWith(call).empty())
          << c.command << " " << call;
  }
}

TEST_F(CommandsTest, CurrentUsesStoredValueUnchecked) {
  platform.ini()["System"]["CurrentProfileAC"] = "7";
  platform.ini()["Main"]["ShowAtkOsd"] = "1";
  platform.ini()["Main"]["ProfileCount"] = "2";
  platform.ini()["7"]["AtkOsdImageIndex"] = "5";
  platform.AddWindow("ATKOSD", "ATKOSD");
  Run("current");
  ASSERT_EQ(1u, platform.posts.size());
  EXPECT_EQ(5u, platform.posts[0].wparam);
}

TEST_F(CommandsTest, OsdConvertsIndexBeforeSetAndIgnoresSwitch) {
  platform.AddWindow("ATKOSD", "ATKOSD");
  Run("osd 92 3");
  ASSERT_EQ(1u, platform.posts.size());
  EXPECT_EQ((3u << 16) | 92u, platform.posts[0].wparam);
  EXPECT_EQ(std::vector<std::string>{"Read [Main] Log"},
            platform.CallsStartingWith("Read"));
}

TEST_F(CommandsTest, OsdWithBadArgumentShowsUsage) {
  platform.AddWindow("ATKOSD", "ATKOSD");
  Run("osd 92 \"   \"");
  EXPECT_TRUE(ShowedUsage());
  EXPECT_TRUE(platform.posts.empty());
}

TEST_F(CommandsTest, UnquotedProgramPathWithBlanksShiftsTheWord) {
  platform.command_line = "C:\\Program Files\\morvask.exe current";
  RunMorvask(platform);
  EXPECT_TRUE(ShowedUsage());
}

TEST_F(CommandsTest, LongModulePathNamesTheFileNextToIt) {
  std::string directory = "C:\\" + std::string(290, 'x') + "\\";
  platform.module_path = directory + "morvask.exe";
  Run("profile 4");
  ASSERT_EQ(1u, platform.files.count(directory + "morvask.ini"));
  EXPECT_EQ(
      "4",
      platform.files[directory + "morvask.ini"]["System"]["CurrentProfileAC"]);
}

TEST(ArgumentToIntTest, NamesTheArgumentInItsError) {
  try {
    ArgumentToInt("1.5");
    FAIL() << "no exception";
  } catch (const std::exception& e) {
    EXPECT_STREQ("'1.5' is not a valid integer value", e.what());
  }
}

}  // namespace
