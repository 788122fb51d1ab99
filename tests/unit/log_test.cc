#include <gtest/gtest.h>

#include <algorithm>

#include "app/commands.h"
#include "fake_platform.h"
#include "log/run_log.h"

namespace {

const char kLog[] = "C:\\Tools\\morvask.log";

TEST(RunLogTest, OffTouchesNoLogFile) {
  for (const char* value : {"0", "on", static_cast<const char*>(nullptr)}) {
    for (const char* command : {"next", "bogus", "check"}) {
      FakePlatform platform;
      if (value) platform.ini()["Main"]["Log"] = value;
      platform.command_line = std::string("morvask ") + command;
      RunMorvask(platform);
      EXPECT_TRUE(platform.CallsStartingWith("AppendToLog").empty())
          << (value ? value : "absent") << " " << command;
    }
  }
}

TEST(RunLogTest, SaysWhatEachRunDidInOrder) {
  // Profile 1 shows image 11 and selects clock profile 1; Windows refuses
  // the posts, and CLI.exe runs on past the wait.
  const struct {
    const char* name;
    const char* arguments;
    bool later_press;  // Another press writes TickId during the delay.
    bool tool_ends;    // CLI.exe ends within the wait, with exit code 3.
    std::vector<const char*> lines;
  } cases[] = {
      {"next, applied",
       "next",
       false,
       false,
       {"command line: morvask next",
        "next on mains: 0 -> 1 within ProfileCount 2, continuing a burst "
        "(tick 1000, Delay 2200 ms)",
        "window \"ATKOSD\" (class ATKOSD): found",
        "post of WM_COMMAND 0x0000000B to \"ATKOSD\" failed: error 5 "
        "(access denied: it runs with higher rights)",
        "applying profile 1",
        "window \"RightMark CPU Clock Utility\" (class #32770): found",
        "post of WM_COMMAND 0x0000800F to \"RightMark CPU Clock Utility\" "
        "failed: error 5",
        "started \"c:\\Program Files\\ATI Technologies\\ATI.ACE\\CLI.exe\" "
        "Load profilename=\"Fast\"",
        "still running after 1000 ms: \"c:\\Program Files"}},
      {"current, the tool ends",
       "current",
       false,
       true,
       {"command line: morvask current",
        "profile 0 of mains (CurrentProfileAC)",
        "started \"c:\\Program Files\\ATI Technologies\\ATI.ACE\\CLI.exe\" "
        "Load profilename=\"\"",
        "ended with exit code 3: \"c:\\Program Files"}},
      {"prev, left to a later press",
       "prev",
       true,
       false,
       {"command line: morvask prev", "prev on mains: 0 -> 1",
        "left profile 1 to a later press (tick 7777)"}},
      {"a failure before the usage box",
       "profile\x01x",
       false,
       false,
       {"command line: morvask profile\\x01x",
        "failed, EConvertError: 'x' is not a valid integer value; showing "
        "the usage box"}},
  };
  for (const auto& c : cases) {
    FakePlatform platform;
    auto& ini = platform.ini();
    ini["Main"] = {{"Log", "1"},          {"ShowAtkOsd", "1"},
                   {"RMClock", "1"},      {"Delay", "2200"},
                   {"ProfileCount", "2"}, {"AtiCatalyst", "1"}};
    ini["1"] = {{"AtkOsdImageIndex", "11"},
                {"RMClockProfile", "1"},
                {"AtiCatalystProfile", "Fast"}};
    platform.AddWindow("#32770", "RightMark CPU Clock Utility");
    platform.AddWindow("ATKOSD", "ATKOSD");
    platform.posts_succeed = false;
    platform.processes_end = c.tool_ends;
    platform.exit_code = 3;
    platform.last_error = 5;
    if (c.later_press)
      platform.during_sleep = [&platform] {
        platform.ini()["System"]["TickId"] = "7777";
      };
    platform.command_line = std::string("morvask ") + c.arguments;
    RunMorvask(platform);
    const std::vector<std::string>& lines = platform.logs[kLog];
    size_t at = 0;  // Each expected line is looked for after the last one.
    for (const char* expected : c.lines) {
      while (at < lines.size() && lines[at].find(expected) == std::string::npos)
        ++at;
      EXPECT_LT(at, lines.size())
          << c.name << ": no line, or out of order: " << expected;
      ++at;
    }
    const std::vector<std::string>& calls = platform.calls;
    auto delay = std::find_if(calls.begin(), calls.end(), [](const auto& call) {
      return call.rfind("Sleep ", 0) == 0;
    });
    if (delay != calls.end()) {
      EXPECT_NE(delay, std::find(calls.begin(), delay,
                                 "AppendToLog C:\\Tools\\morvask.log"))
          << c.name << ": lines so far in the file during the delay";
    }
    if (!platform.message_boxes.empty()) {
      EXPECT_EQ("AppendToLog C:\\Tools\\morvask.log",
                platform.calls[platform.calls.size() - 3])
          << c.name << ": logged before the usage box";
    }
    for (const std::string& line : lines) {
      EXPECT_EQ(0u, line.find("2026-12-09 17:02:03.045 pid 4242: ")) << line;
      EXPECT_EQ("\r\n", line.substr(line.size() - 2)) << line;
    }
  }
}

}  // namespace
