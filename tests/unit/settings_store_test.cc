#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "fake_platform.h"

namespace {

const char kPath[] = "C:\\Tools\\morvask.ini";

class SettingsStoreTest : public ::testing::Test {
 protected:
  FakePlatform platform;
};

TEST_F(SettingsStoreTest, MissingFileReadsDefaults) {
  IniFileStore store(platform, kPath);
  EXPECT_EQ(2200, store.ReadInt("Main", "Delay", 2200));
  EXPECT_FALSE(store.ReadSwitch("Main", "RMClock", false));
  EXPECT_TRUE(store.ReadSwitch("Main", "RMClock", true));
  EXPECT_EQ("dflt", store.ReadText("0", "AtiCatalystProfile", "dflt"));
  EXPECT_TRUE(platform.files.empty()) << "a read must not create the file";
}

TEST_F(SettingsStoreTest, IntegerValues) {
  const struct {
    const char* value;
    std::int32_t expected;
  } cases[] = {
      {"0x7D0", 2000}, {"$7d0", 2000},    {"3x", 77},
      {"", 77},        {"-3", -3},        {"2147483648", 77},
      {" 12", 12},     {"$FFFFFFFF", -1}, {"$100000000", 77},
  };
  IniFileStore store(platform, kPath);
  for (const auto& c : cases) {
    platform.files[kPath]["Main"]["Delay"] = c.value;
    EXPECT_EQ(c.expected, store.ReadInt("Main", "Delay", 77))
        << "value: \"" << c.value << "\"";
  }
}

TEST_F(SettingsStoreTest, SwitchValues) {
  const struct {
    const char* value;
    bool expected;
  } cases[] = {{"1", true},     {"-1", true},   {"0x1", true}, {"0", false},
               {"true", false}, {"yes", false}, {"", false},   {"2", true}};
  IniFileStore store(platform, kPath);
  for (const auto& c : cases) {
    platform.files[kPath]["Main"]["RMClock"] = c.value;
    EXPECT_EQ(c.expected, store.ReadSwitch("Main", "RMClock", false))
        << "value: \"" << c.value << "\"";
  }
}

TEST_F(SettingsStoreTest, EveryReadGoesToTheFile) {
  IniFileStore store(platform, kPath);
  platform.files[kPath]["System"]["TickId"] = "1";
  EXPECT_EQ(1, store.ReadInt("System", "TickId", 0));
  platform.files[kPath]["System"]["TickId"] = "2";  // Another process wrote.
  EXPECT_EQ(2, store.ReadInt("System", "TickId", 0));
  EXPECT_EQ(2u, platform.CallsStartingWith("Read [System] TickId").size());
}

TEST_F(SettingsStoreTest, ReadIntPassesAnEmptyDefault) {
  IniFileStore store(platform, kPath);
  // A default of "" (not the integer's text) keeps a missing key and a key
  // with no value alike.
  platform.files[kPath]["Main"]["Delay"] = "";
  EXPECT_EQ(5, store.ReadInt("Main", "Delay", 5));
  EXPECT_EQ(5, store.ReadInt("Main", "Missing", 5));
}

TEST_F(SettingsStoreTest, LongTextIsCutTo2047) {
  IniFileStore store(platform, kPath);
  platform.files[kPath]["1"]["AtiCatalystProfile"] = std::string(3000, 'p');
  EXPECT_EQ(std::string(2047, 'p'),
            store.ReadText("1", "AtiCatalystProfile", ""));
}

TEST_F(SettingsStoreTest, WritesSignedDecimal) {
  IniFileStore store(platform, kPath);
  store.WriteInt("System", "TickId", static_cast<std::int32_t>(4294967295u));
  store.WriteInt("System", "CurrentProfileAC", INT32_MIN);
  EXPECT_EQ("-1", platform.files[kPath]["System"]["TickId"]);
  EXPECT_EQ("-2147483648", platform.files[kPath]["System"]["CurrentProfileAC"]);
  EXPECT_EQ(static_cast<std::int32_t>(4294967295u),
            store.ReadInt("System", "TickId", 0));
}

TEST_F(SettingsStoreTest, RefusedWriteThrowsWithThePath) {
  platform.refuse_writes = true;
  IniFileStore store(platform, kPath);
  try {
    store.WriteInt("System", "TickId", 1);
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_STREQ("Unable to write to C:\\Tools\\morvask.ini", e.what());
  }
}

TEST_F(SettingsStoreTest, CreationTouchesNothingAndReleaseFlushes) {
  {
    IniFileStore store(platform, kPath);
    EXPECT_TRUE(platform.calls.empty());
  }
  ASSERT_EQ(1u, platform.calls.size());
  EXPECT_EQ(std::string("Flush ") + kPath, platform.calls[0]);
}

}  // namespace
