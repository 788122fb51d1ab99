#include "actions/osd.h"

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "settings/settings_store.h"

namespace {

TEST(OsdCommandParameterTest, ImageSetTable) {
  const struct {
    std::uint16_t set, index;
    std::uint32_t expected;
  } cases[] = {
      {92, 3, 0x0003005C},      {108, 3, 0x0003006C}, {5, 3, 3},   {0, 0, 0},
      {92, 0xFFFF, 0xFFFF005C}, {91, 0xFFFF, 0xFFFF}, {109, 7, 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, OsdCommandParameter(c.set, c.index))
        << "set " << c.set << " index " << c.index;
  }
}

class ShowProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = platform.AddWindow("ATKOSD", "ATKOSD");
    platform.ini()["Main"]["ShowAtkOsd"] = "1";
  }
  FakePlatform platform;
  IniFileStore settings{platform, "C:\\Tools\\morvask.ini"};
  WindowHandle window = 0;
};

TEST_F(ShowProfileTest, PostsTheProfilesImage) {
  const struct {
    const char* set;    // nullptr: no key
    const char* index;  // nullptr: no key
    std::uint32_t expected;
  } cases[] = {
      {"$1005C", "-1", 0xFFFF005C},  // 65536 + 92
      {"92", nullptr, 92},           // The index defaults to 0...
      {nullptr, "3", 3},             // ...and the set to none of 92, 108.
      {nullptr, nullptr, 0},
  };
  for (const auto& c : cases) {
    platform.posts.clear();
    platform.ini().erase("-1");
    if (c.set) platform.ini()["-1"]["AtkOsdImageSet"] = c.set;
    if (c.index) platform.ini()["-1"]["AtkOsdImageIndex"] = c.index;
    ShowProfile(platform, settings, -1);
    const std::string label =
        std::string(c.set ? c.set : "-") + " " + (c.index ? c.index : "-");
    ASSERT_EQ(1u, platform.posts.size()) << label;
    EXPECT_EQ(window, platform.posts[0].window) << label;
    EXPECT_EQ(kWmCommand, platform.posts[0].message) << label;
    EXPECT_EQ(c.expected, platform.posts[0].wparam) << label;
    EXPECT_EQ(0, platform.posts[0].lparam) << label;
  }
}

TEST_F(ShowProfileTest, ReadsIndexThenSet) {
  ShowProfile(platform, settings, 1);
  auto reads = platform.CallsStartingWith("Read");
  ASSERT_EQ(3u, reads.size());
  EXPECT_EQ("Read [Main] ShowAtkOsd", reads[0]);
  EXPECT_EQ("Read [1] AtkOsdImageIndex", reads[1]);
  EXPECT_EQ("Read [1] AtkOsdImageSet", reads[2]);
}

TEST_F(ShowProfileTest, SwitchOffSendsAndReadsNothingElse) {
  for (const char* value : {"0", "", "true"}) {
    platform.calls.clear();
    platform.ini()["Main"]["ShowAtkOsd"] = value;
    ShowProfile(platform, settings, 0);
    EXPECT_TRUE(platform.posts.empty()) << value;
    EXPECT_EQ(1u, platform.CallsStartingWith("Read").size()) << value;
  }
}

TEST(ShowAtkOsdImageTest, MissingWindowIsNoFailure) {
  FakePlatform platform;
  EXPECT_FALSE(ShowAtkOsdImage(platform, 92, 3));
  EXPECT_TRUE(platform.posts.empty());
}

TEST(ShowAtkOsdImageTest, ReportsAFailedPost) {
  FakePlatform platform;
  platform.AddWindow("ATKOSD", "ATKOSD");
  platform.posts_succeed = false;
  EXPECT_FALSE(ShowAtkOsdImage(platform, 92, 3));
  platform.posts_succeed = true;
  EXPECT_TRUE(ShowAtkOsdImage(platform, 92, 3));
}

}  // namespace
