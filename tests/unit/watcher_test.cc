#include "watch/watcher.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

const std::optional<std::uint32_t> kNoRun;

TEST(WatcherTest, RunsOnSlotChangesAndOncePerWake) {
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
      {"the user is seen: the same wake", 0, kPbtResumeSuspend, kNoRun},
      {"status reported after the resume", 0, kPbtPowerStatusChange, kNoRun},
      {"a late resume message with a new slot", 1, kPbtResumeSuspend, 2000},
      {"critical resume: no suspend before it", 0, kPbtResumeCritical, 2000},
      {"and its automatic resume", 0, kPbtResumeAutomatic, kNoRun},
      {"sleeping again", 0, kPbtSuspend, kNoRun},
      {"woken by the user", 0, kPbtResumeSuspend, 2000},
  };
  for (const auto& step : steps) {
    platform.ac_line_status = step.status;
    EXPECT_EQ(step.expected, watcher.OnPowerBroadcast(step.event)) << step.name;
  }
  EXPECT_TRUE(platform.CallsStartingWith("StartProcess").empty())
      << "only the settle timer starts morvask";
}

TEST(WatcherTest, DelaysFromItsOwnSectionAndNeverAWrite) {
  const struct {
    const char* key;
    const char* value;  // nullptr: no such key.
    std::uint32_t expected;
  } cases[] = {{"Delay", nullptr, 2000},
               {"Delay", "500", 500},
               {"Delay", "$1F4", 500},
               {"Delay", "-5", 0},
               {"Delay", "", 2000},
               {"Delay", "soon", 2000},
               {"StartDelay", nullptr, 10000},
               {"StartDelay", "300", 300},
               {"StartDelay", "-1", 0},
               {"StartDelay", "later", 10000}};
  for (const auto& c : cases) {
    FakePlatform platform;
    platform.ini()["Main"]["Delay"] = "100";  // morvask's, not the watcher's.
    if (c.value) platform.ini()["Watch"][c.key] = c.value;
    Watcher watcher(platform);
    const std::string label =
        std::string(c.key) + " " + (c.value ? c.value : "missing");
    const bool at_start = std::string(c.key) == "StartDelay";
    EXPECT_EQ(c.expected, at_start
                              ? watcher.OnStart()
                              : watcher.OnPowerBroadcast(kPbtResumeAutomatic))
        << label;
    EXPECT_TRUE(platform.CallsStartingWith("Write").empty()) << label;
    EXPECT_TRUE(platform.CallsStartingWith("Flush").empty()) << label;
  }
}

TEST(WatcherTest, AppliesAtStartUnlessSwitchedOff) {
  const struct {
    const char* value;  // nullptr: no such key.
    std::optional<std::uint32_t> expected;
  } cases[] = {{nullptr, 10000}, {"1", 10000}, {"0", kNoRun}, {"off", 10000}};
  for (const auto& c : cases) {
    FakePlatform platform;
    if (c.value) platform.ini()["Watch"]["ApplyAtStart"] = c.value;
    Watcher watcher(platform);
    EXPECT_EQ(c.expected, watcher.OnStart()) << (c.value ? c.value : "-");
  }
}

TEST(WatcherTest, SettledRunStartsMorvaskBesideItAfterThePreviousOne) {
  FakePlatform platform;
  platform.module_path = "C:\\My Tools\\morvask-watch.exe";
  platform.files["C:\\My Tools\\morvask.ini"]["Main"]["Log"] = "1";
  Watcher watcher(platform);
  EXPECT_EQ(kNoRun, watcher.OnSettled());
  EXPECT_EQ(std::vector<std::string>{"\"C:\\My Tools\\morvask.exe\" current"},
            platform.started);
  // At normal priority, whatever the watcher's own.
  EXPECT_EQ(1u, platform.CallsStartingWith("StartProcess 32 ").size());
  EXPECT_TRUE(platform.CallsStartingWith("Release").empty())
      << "kept, to wait for it before the next run";

  // The previous morvask still runs: the next run looks again every
  // 100 ms, for 5 s, then starts anyway.
  platform.processes_end = false;
  for (int poll = 0; poll < 50; ++poll)
    ASSERT_EQ(kPreviousRunPollMs, watcher.OnSettled()) << "poll " << poll;
  EXPECT_EQ(1u, platform.started.size());
  EXPECT_EQ(kNoRun, watcher.OnSettled());
  EXPECT_EQ(2u, platform.started.size());
  EXPECT_EQ(1u, platform.CallsStartingWith("Release").size());

  // Ended: the run starts at once.
  platform.processes_end = true;  // cppcheck-suppress unreadVariable
  EXPECT_EQ(kNoRun, watcher.OnSettled());
  EXPECT_EQ(3u, platform.started.size());
  EXPECT_TRUE(platform.message_boxes.empty());

  // Each run and each wait is in the log, once.
  std::vector<std::string> events;
  for (const std::string& line : platform.logs["C:\\My Tools\\morvask.log"])
    events.push_back(line.substr(line.find(": ") + 2));
  const std::string kStarted =
      "started \"C:\\My Tools\\morvask.exe\" current\r\n";
  EXPECT_EQ((std::vector<std::string>{kStarted,
                                      "waiting for the previous run to end\r\n",
                                      kStarted, kStarted}),
            events);
}

TEST(WatcherTest, WaitsForAPendingPressToApplyFirst) {
  // A run due at tick 100000; a press of "next" or "prev" wrote TickId.
  const struct {
    const char* name;
    const char* tick_id;  // nullptr: no such key.
    const char* delay;    // [Main] Delay; nullptr: no such key.
    std::vector<std::optional<std::uint32_t>> waits;  // Then it runs.
  } cases[] = {
      {"no press yet", nullptr, nullptr, {}},
      {"a press long ago", "1000", nullptr, {}},
      {"a press 100 ms ago, default Delay", "99900", nullptr, {2100 + 1000}},
      {"a press this very tick", "100000", "500", {500 + 1000}},
      {"its Delay ran out 1 ms ago", "97799", "2200", {}},
      {"it wakes this very tick: its apply", "97800", "2200", {1000}},
      {"a negative Delay applies at once", "99900", "-1", {}},
      {"a tick after now: a restarted machine", "200000", nullptr, {}},
      {"a bogus TickId", "soon", nullptr, {}},
      {"a huge Delay waits 10 s in all", "99999", "2147483647", {10000}},
  };
  for (const auto& c : cases) {
    FakePlatform platform;
    platform.tick = 100000;
    if (c.tick_id) platform.ini()["System"]["TickId"] = c.tick_id;
    if (c.delay) platform.ini()["Main"]["Delay"] = c.delay;
    Watcher watcher(platform);
    for (const auto& wait : c.waits) {
      EXPECT_EQ(wait, watcher.OnSettled()) << c.name;
      platform.tick += *wait;  // cppcheck-suppress unreadVariable
    }
    EXPECT_EQ(kNoRun, watcher.OnSettled()) << c.name;
    EXPECT_EQ(1u, platform.started.size()) << c.name;
  }
}

TEST(WatcherTest, OnlyTheConsolesSessionRuns) {
  FakePlatform platform;
  platform.ac_line_status = 1;
  platform.console_session = false;  // Another user is at the keyboard.
  Watcher watcher(platform);
  platform.ac_line_status = 0;
  EXPECT_EQ(kNoRun, watcher.OnPowerBroadcast(kPbtPowerStatusChange));
  EXPECT_EQ(kNoRun, watcher.OnConsoleConnect());
  EXPECT_EQ(kNoRun, watcher.OnSettled());
  EXPECT_TRUE(platform.started.empty());
  // Switching back gives one run, as after a resume.
  platform.console_session = true;
  EXPECT_EQ(2000u, watcher.OnConsoleConnect());
  EXPECT_EQ(kNoRun, watcher.OnSettled());
  EXPECT_EQ(1u, platform.started.size());
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

namespace {

constexpr WindowHandle kWindow = 0x77;
constexpr std::uint32_t kRight = 0x27, kLeft = 0x25;
constexpr std::uint32_t kCtrlAlt = kModControl | kModAlt;

TEST(WatcherKeysTest, HoldsTheKeysAndStartsMorvaskAtEachTap) {
  FakePlatform platform;
  platform.ini()["Keys"] = {{"next", "Ctrl+Alt+Right"},
                            {"prev", "Ctrl+Alt+Left"},
                            {"show", "Ctrl+Alt+Home"},
                            {"nope", "Ctrl+Alt+Up"}};
  platform.taken_keys.insert({kCtrlAlt, kLeft});
  platform.kept_keys.insert({kCtrlAlt, 0x24});
  platform.ini()["Main"]["Log"] = "1";
  Watcher watcher(platform);
  watcher.HoldKeys(kWindow);
  ASSERT_EQ(1u, platform.hotkeys.size()) << "the others are not held";
  const auto held = *platform.hotkeys.begin();
  EXPECT_EQ(kRight, held.second.second);
  EXPECT_EQ(1u, platform.CallsStartingWith("HoldHotkey 1 16387 39").size())
      << "with MOD_NOREPEAT";
  const std::string log = [&] {
    std::string all;
    for (const std::string& line : platform.logs["C:\\Tools\\morvask.log"])
      all += line;
    return all;
  }();
  for (const char* says :
       {"holds Ctrl+Alt+Right for \"next\"",
        "cannot hold Ctrl+Alt+Left for \"prev\": another program holds it "
        "(error 1409)",
        "cannot hold Ctrl+Alt+Home for \"show\": Windows refuses it",
        "[Keys] nope=Ctrl+Alt+Up is ignored: it is not a command line"})
    EXPECT_NE(std::string::npos, log.find(says)) << says;
  EXPECT_TRUE(watcher.HoldsKeys({kCtrlAlt, kRight}));
  EXPECT_FALSE(watcher.HoldsKeys({kCtrlAlt, kLeft}));

  const int id = held.first.second;
  const struct {
    const char* name;
    bool console;
    int presses;  // Of the key before it is polled.
    bool down;    // While it is pressed.
    std::size_t started;
  } taps[] = {
      {"a tap starts one at once", true, 1, true, 1},
      {"the next tap, after the release", true, 1, true, 1},
      {"taps quicker than the poll", true, 3, false, 3},
      {"held: its repeats start nothing", true, 5, true, 1},
      {"another session has the screen", false, 1, true, 0},
  };
  for (const auto& tap : taps) {
    platform.console_session = tap.console;
    platform.started.clear();
    platform.keys_down.clear();
    if (tap.down) platform.keys_down.insert(kRight);
    for (int i = 0; i < tap.presses; ++i) {
      const auto poll = watcher.OnHotkey(id);
      EXPECT_EQ(i == 0 || !tap.down ? std::optional<std::uint32_t>(kKeyPollMs)
                                    : kNoRun,
                poll)
          << tap.name;
    }
    EXPECT_EQ(tap.down ? std::optional<std::uint32_t>(kKeyPollMs) : kNoRun,
              watcher.OnKeyPoll())
        << tap.name;
    platform.keys_down.clear();
    EXPECT_EQ(kNoRun, watcher.OnKeyPoll()) << tap.name << ": released";
    ASSERT_EQ(tap.started, platform.started.size()) << tap.name;
    if (tap.started) {
      EXPECT_EQ("\"C:\\Tools\\morvask.exe\" next", platform.started[0]);
    }
  }
  EXPECT_TRUE(platform.CallsStartingWith("WaitForProcess").empty())
      << "a press waits for nothing";
  EXPECT_EQ(kNoRun, watcher.OnHotkey(id + 1)) << "no such key";
}

TEST(WatcherKeysTest, AChangeRegistersOnlyWhatChangedAndTheEndReleasesAll) {
  FakePlatform platform;
  platform.hotkeys_take_no_repeat = false;  // Before Windows 7.
  auto& keys = platform.ini()["Keys"];
  keys = {{"next", "Ctrl+Alt+Right"}, {"prev", "Ctrl+Alt+Left"}};
  Watcher watcher(platform);
  watcher.HoldKeys(kWindow);
  ASSERT_EQ(2u, platform.hotkeys.size());
  EXPECT_EQ(1u, platform.CallsStartingWith("HoldHotkey 1 3 39").size())
      << "no MOD_NOREPEAT where Windows has none";

  platform.calls.clear();
  watcher.HoldKeys(kWindow);  // A write elsewhere in the file.
  EXPECT_TRUE(platform.CallsStartingWith("HoldHotkey").empty());
  EXPECT_TRUE(platform.CallsStartingWith("ReleaseHotkey").empty());

  keys.erase("prev");
  keys["show"] = "Ctrl+Alt+Right";   // next's keys, a later line: ignored.
  keys["current"] = "Ctrl+Alt+End";  // New.
  keys["next"] = "ctrl+ALT+right";   // The same keys, written otherwise.
  watcher.HoldKeys(kWindow);
  EXPECT_EQ(std::vector<std::string>{"ReleaseHotkey 2"},
            platform.CallsStartingWith("ReleaseHotkey"));
  EXPECT_EQ(std::vector<std::string>{"HoldHotkey 2 3 35"},
            platform.CallsStartingWith("HoldHotkey"));
  EXPECT_TRUE(watcher.HoldsKeys({kCtrlAlt, 0x23}));
  EXPECT_FALSE(watcher.HoldsKeys({kCtrlAlt, kLeft}));

  watcher.ReleaseKeys();
  EXPECT_TRUE(platform.hotkeys.empty()) << "no key held after the end";
  EXPECT_TRUE(platform.CallsStartingWith("Write").empty());
}

}  // namespace
