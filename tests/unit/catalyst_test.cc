#include "actions/catalyst.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "fake_platform.h"

namespace {

class CatalystTest : public ::testing::Test {
 protected:
  void SetPath(std::uint32_t type, const std::string& data) {
    platform.registry_key_exists = true;
    platform.registry_values["Path"] = {type, data};
  }
  /// Runs the loader; returns what it started, or "" for nothing.
  std::string Started(const std::string& name = "P") {
    platform.started.clear();
    RunCatalystTool(platform, name);
    return platform.started.empty() ? "" : platform.started[0];
  }

  FakePlatform platform;
};

TEST_F(CatalystTest, InstallFolderFromTheRegistry) {
  const std::string fixed = "\"c:\\Program Files\\ATI Technologies\\ATI.ACE\\";
  const struct {
    const char* name;
    bool key;
    std::uint32_t type;
    std::string data;
    std::string expected_start;
  } cases[] = {
      {"no key", false, 0, "", fixed + "CLI.exe\""},
      {"text", true, kRegSz, std::string("D:\\ATI\\ACE\\\0", 12),
       "\"D:\\ATI\\ACE\\CLI.exe\""},
      {"no trailing backslash", true, kRegSz, "D:\\ATI\\ACE",
       "\"D:\\ATI\\ACECLI.exe\""},
      {"unexpanded", true, kRegExpandSz, "%ProgramFiles%\\ATI\\",
       "\"%ProgramFiles%\\ATI\\CLI.exe\""},
      {"NUL inside", true, kRegSz, std::string("D:\\A\\\0E:\\B\\", 10),
       "\"D:\\A\\CLI.exe\""},
      {"size 0 of any type", true, 4, "", fixed + "CLI.exe\""},
      {"empty text", true, kRegSz, std::string("\0", 1), fixed + "CLI.exe\""},
      {"single blank kept", true, kRegSz, " ", "\" CLI.exe\""},
  };
  for (const auto& c : cases) {
    FakePlatform fresh;
    platform = fresh;
    if (c.key) SetPath(c.type, c.data);
    EXPECT_EQ(c.expected_start + " Load profilename=\"P\"", Started())
        << c.name;
    EXPECT_EQ(0, platform.open_keys) << c.name;
  }
}

TEST_F(CatalystTest, WrongTypesRaiseAndStartNothing) {
  for (std::uint32_t type : {3u /*binary*/, 4u /*dword*/, 7u /*multi*/}) {
    SetPath(type, "abcd");
    try {
      Started();
      ADD_FAILURE() << "no exception for type " << type;
    } catch (const ERegistryException& e) {
      EXPECT_STREQ("Invalid data type for 'Path'", e.what());
    }
    EXPECT_TRUE(platform.started.empty());
    EXPECT_EQ(0, platform.open_keys) << "key left open, type " << type;
  }
}

TEST_F(CatalystTest, FailedDataQueryRaises) {
  SetPath(kRegSz, "D:\\");
  platform.data_query_fails = true;
  try {
    Started();
    FAIL() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_STREQ("Failed to get data for 'Path'", e.what());
  }
  EXPECT_EQ(0, platform.open_keys);
}

TEST_F(CatalystTest, CallOrderAndWait) {
  SetPath(kRegSz, "D:\\");
  EXPECT_TRUE(RunCatalystTool(platform, "Battery").started);
  std::vector<std::string> expected = {
      "OpenKey Software\\ATI\\ACE",
      "QuerySize Path",
      "QueryData Path",
      "CloseKey",
      "StartProcess 544 \"D:\\CLI.exe\" Load profilename=\"Battery\"",
      "Wait 2464 1000",
  };
  EXPECT_EQ(expected, platform.calls);
}

TEST_F(CatalystTest, FailedStartDoesNotWait) {
  platform.processes_start = false;
  EXPECT_FALSE(RunCatalystTool(platform, "x").started);
  EXPECT_TRUE(platform.CallsStartingWith("Wait").empty());
}

TEST_F(CatalystTest, ProfileNameIsUsedUnchanged) {
  EXPECT_EQ("\"D:\\CLI.exe\" Load profilename=\"\"",
            CatalystCommandLine("D:\\", ""));
  EXPECT_EQ("\"D:\\CLI.exe\" Load profilename=\" a\"b \"",
            CatalystCommandLine("D:\\", " a\"b "));
}

}  // namespace
