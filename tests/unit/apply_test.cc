#include "actions/apply.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/errors.h"
#include "fake_platform.h"
#include "settings/settings_store.h"

namespace {

class ApplyTest : public ::testing::Test {
 protected:
  void SetUp() override { platform.ini()["Main"]["RMClock"] = "1"; }
  std::vector<std::uint32_t> ClockCommands() const {
    std::vector<std::uint32_t> result;
    for (const auto& post : platform.posts) {
      if (post.window == clock) result.push_back(post.wparam);
    }
    return result;
  }

  FakePlatform platform;
  IniFileStore settings{platform, "C:\\Tools\\morvask.ini"};
  WindowHandle clock =
      platform.AddWindow("#32770", "RightMark CPU Clock Utility");
};

TEST_F(ApplyTest, ClockProfileAndBase) {
  const struct {
    const char* profile;  // nullptr: no key
    const char* base;     // nullptr: no key
    std::vector<std::uint32_t> expected;
  } cases[] = {
      {"2", nullptr, {0x8010}},
      {nullptr, nullptr, {0x800E}},
      {"3", "0x800E", {0x8011}},
      {"1", "$800E", {0x800F}},
      {"4", nullptr, {}},
      {"-1", nullptr, {}},
      {"65537", nullptr, {0x800F}},
      {"1", "-1", {0}},  // Wraps around.
      {"3", "$FFFFFFFF", {2}},
      {"0", "2147483648", {0x800E}},  // Out of range reads as default.
  };
  for (const auto& c : cases) {
    platform.posts.clear();
    auto& profile = platform.ini()["0"];
    auto& main = platform.ini()["Main"];
    profile.erase("RMClockProfile");
    main.erase("RMClockBase");
    if (c.profile) profile["RMClockProfile"] = c.profile;
    if (c.base) main["RMClockBase"] = c.base;
    ApplyProfile(platform, settings, 0);
    EXPECT_EQ(c.expected, ClockCommands())
        << "profile " << (c.profile ? c.profile : "-") << " base "
        << (c.base ? c.base : "-");
  }
}

TEST_F(ApplyTest, BaseIsReadOnlyWhenTheWindowExists) {
  platform.windows.clear();
  EXPECT_FALSE(FindClockTarget(platform, settings, 1).window);
  EXPECT_TRUE(platform.CallsStartingWith("Read [Main] RMClockBase").empty());
  EXPECT_FALSE(FindClockTarget(platform, settings, 4).window);
  EXPECT_TRUE(platform.CallsStartingWith("FindWindow").size() == 1);
}

TEST_F(ApplyTest, SwitchesOffOrAbsentSendNothing) {
  for (const char* value : {"0", static_cast<const char*>(nullptr)}) {
    platform.ini()["Main"].erase("RMClock");
    if (value) platform.ini()["Main"]["RMClock"] = value;
    ApplyProfile(platform, settings, 0);
    const char* label = value ? value : "absent";
    EXPECT_TRUE(platform.posts.empty()) << label;
    EXPECT_TRUE(platform.started.empty()) << label;
  }
}

TEST_F(ApplyTest, ClockThenDriverWithTheProfilesName) {
  platform.ini()["Main"]["AtiCatalyst"] = "1";
  platform.ini()["1"]["AtiCatalystProfile"] = "Performance";
  ApplyProfile(platform, settings, 1);
  ASSERT_EQ(1u, platform.started.size());
  EXPECT_EQ(
      "\"c:\\Program Files\\ATI Technologies\\ATI.ACE\\CLI.exe\" Load "
      "profilename=\"Performance\"",
      platform.started[0]);
  auto post =
      std::find(platform.calls.begin(), platform.calls.end(), "Post 32782");
  auto start = std::find_if(platform.calls.begin(), platform.calls.end(),
                            [](const std::string& call) {
                              return call.rfind("StartProcess", 0) == 0;
                            });
  EXPECT_LT(post, start);
}

TEST_F(ApplyTest, RegistryFailureComesAfterTheClockStep) {
  platform.ini()["Main"]["AtiCatalyst"] = "1";
  platform.registry_key_exists = true;
  platform.registry_values["Path"] = {4, std::string("\1\0\0\0", 4)};
  EXPECT_THROW(ApplyProfile(platform, settings, 0), ERegistryException);
  EXPECT_EQ(std::vector<std::uint32_t>{0x800E}, ClockCommands());
  EXPECT_TRUE(platform.started.empty());
}

TEST_F(ApplyTest, MissingSectionGivesProfileZeroAndEmptyName) {
  platform.ini()["Main"]["AtiCatalyst"] = "1";
  ApplyProfile(platform, settings, 9);
  EXPECT_EQ(std::vector<std::uint32_t>{0x800E}, ClockCommands());
  ASSERT_EQ(1u, platform.started.size());
  EXPECT_NE(std::string::npos, platform.started[0].find("profilename=\"\""));
}

}  // namespace
