#include "watch/watcher.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

const std::optional<std::uint32_t> kNoRun;
const std::uint32_t kPbtSuspend = 0x04;

TEST(WatcherTest, RunsOnSlotChangesAndResumesOnly) {
  FakePlatform platform;
  platform.ac_line_status = 1;
  Watcher watcher(platform);  // Looks: mains.
  const struct {
    const char* name;
    std::uint8_t status;
    std::uint32_t event;
    std::optional<std::uint32_t> expected;
  } steps[] = {
      {"charge changes on mains", 1, kPbtPowerStatusChange, kNoRun},
      {"unplugged", 0, kPbtPowerStatusChange, 2000},
      {"charge changes on battery", 0, kPbtPowerStatusChange, kNoRun},
      {"status unknown is battery too", 255, kPbtPowerStatusChange, kNoRun},
      {"plugged in", 1, kPbtPowerStatusChange, 2000},
      {"going to sleep", 1, kPbtSuspend, kNoRun},
      {"resumed, on battery now", 0, kPbtResumeAutomatic, 2000},
      {"resumed by the user", 0, kPbtResumeSuspend, 2000},
      {"status reported after the resume", 0, kPbtPowerStatusChange, kNoRun},
  };
  for (const auto& step : steps) {
    platform.ac_line_status = step.status;
    EXPECT_EQ(step.expected, watcher.OnPowerBroadcast(step.event)) << step.name;
  }
  EXPECT_TRUE(platform.CallsStartingWith("StartProcess").empty())
      << "only the settle timer starts morvask";
}

TEST(WatcherTest, DelayFromItsOwnSectionAndNeverAWrite) {
  const struct {
    const char* value;  // nullptr: no such key.
    std::uint32_t expected;
  } cases[] = {{nullptr, 2000}, {"500", 500}, {"$1F4", 500},
               {"-5", 0},       {"", 2000},   {"soon", 2000}};
  for (const auto& c : cases) {
    FakePlatform platform;
    platform.ini()["Main"]["Delay"] = "100";  // morvask's, not the watcher's.
    if (c.value) platform.ini()["Watch"]["Delay"] = c.value;
    Watcher watcher(platform);
    const char* label = c.value ? c.value : "missing";
    EXPECT_EQ(c.expected, watcher.OnPowerBroadcast(kPbtResumeAutomatic))
        << label;
    EXPECT_TRUE(platform.CallsStartingWith("Write").empty()) << label;
    EXPECT_TRUE(platform.CallsStartingWith("Flush").empty()) << label;
  }
}

TEST(WatcherTest, SettledRunStartsMorvaskBesideItAndLetsGo) {
  for (bool starts : {true, false}) {
    FakePlatform platform;
    platform.module_path = "C:\\My Tools\\morvask-watch.exe";
    platform.processes_start = starts;
    Watcher watcher(platform);
    watcher.OnSettled();
    EXPECT_EQ(std::vector<std::string>{"\"C:\\My Tools\\morvask.exe\" current"},
              platform.started);
    EXPECT_EQ(starts ? 1u : 0u, platform.CallsStartingWith("Release").size());
    EXPECT_TRUE(platform.message_boxes.empty());
  }
}

TEST(WatchCommandTest, StopOrWatchOrNothing) {
  using Tokens = std::vector<std::string>;
  EXPECT_EQ(WatchCommand::kWatch, WatchCommandFor(Tokens{}));
  EXPECT_EQ(WatchCommand::kWatch, WatchCommandFor(Tokens{"morvask-watch"}));
  EXPECT_EQ(WatchCommand::kStop, WatchCommandFor(Tokens{"w", "stop"}));
  EXPECT_EQ(WatchCommand::kStop, WatchCommandFor(Tokens{"w", "STOP"}));
  EXPECT_EQ(WatchCommand::kUnknown, WatchCommandFor(Tokens{"w", "stop", "1"}));
  EXPECT_EQ(WatchCommand::kUnknown, WatchCommandFor(Tokens{"w", "start"}));
}

}  // namespace
