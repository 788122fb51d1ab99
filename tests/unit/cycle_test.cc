#include "app/cycle.h"

#include <gtest/gtest.h>

#include "app/session.h"
#include "code_pages.h"
#include "common/errors.h"
#include "fake_platform.h"
#include "settings/settings_store.h"

namespace {

TEST(ContinuesBurstTest, Boundaries) {
  const struct {
    std::int32_t now, last, delay;
    bool expected;
  } cases[] = {
      {5000, 3000, 2200, true},
      {5200, 3000, 2200, true},  // Exactly delay later.
      {5201, 3000, 2200, false},
      {3000, 3000, 2200, true},
      {2999, 3000, 2200, false},  // Tick above now: restarted machine.
      {100, 0, 2200, true},
      // The counter passed 2^31: stored as negative, still compared right.
      {INT32_MIN + 100, INT32_MAX - 100, 2200, false},  // now < last
      {-5, -1000, 2200, true},
      {-5, -3000, 2200, false},
      {10, -10, 2200, true},
      {0, 0, 0, true},
      {1, 0, 0, false},
      {0, 0, -1, false},  // A negative delay ends every burst.
      // The stored tick may be the most negative value: no negation of it.
      {INT32_MIN + 100, INT32_MIN, 2200, true},
      {INT32_MIN, INT32_MIN, 0, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, ContinuesBurst(c.now, c.last, c.delay))
        << "now " << c.now << " last " << c.last << " delay " << c.delay;
  }
}

TEST(ParseCycleListTest, ABadEntryIsNamedByWholeCharacters) {
  // 39 bytes, then a Shift-JIS character across the 40-byte cut.
  const std::string entry = std::string(39, 'x') + "\x82\xa0y";
  const struct {
    LeadByteTest lead;
    const char* name;
    std::string shown;
  } cases[] = {
      {ShiftJisLead, "double-byte", std::string(39, 'x')},
      {NoLeadBytes, "single-byte", std::string(39, 'x') + "\x82"},
  };
  for (const auto& c : cases) {
    const CycleList list = ParseCycleList("1, " + entry, c.lead);
    EXPECT_TRUE(list.profiles.empty()) << c.name;
    EXPECT_EQ("entry 2 (\"" + c.shown + "\") is not an integer", list.problem)
        << c.name;
  }
}

TEST(WrapProfileTest, OnlyAtOrAboveCount) {
  EXPECT_EQ(0, WrapProfile(3, 3));
  EXPECT_EQ(2, WrapProfile(2, 3));
  EXPECT_EQ(-2, WrapProfile(-2, 1));
  EXPECT_EQ(0, WrapProfile(0, 0));
  EXPECT_EQ(-1, WrapProfile(-1, 0));
  EXPECT_EQ(0, WrapProfile(-3, -5));
  EXPECT_EQ(-6, WrapProfile(-6, -5));
}

class CycleTest : public ::testing::Test {
 protected:
  void Press(std::uint32_t tick,
             CycleDirection direction = CycleDirection::kNext) {
    platform.tick = tick;
    Session session(platform, settings);
    session.start_tick = tick;
    session.slot = PowerSlotFor(platform.ac_line_status);
    CycleProfile(session, direction);
  }
  std::string& Key(const char* section, const char* key) {
    return platform.ini()[section][key];
  }
  std::vector<std::uint32_t> Shown() const {
    std::vector<std::uint32_t> result;
    for (const auto& p : platform.posts)
      if (p.window == osd) result.push_back(p.wparam);
    return result;
  }
  std::vector<std::uint32_t> Applied() const {
    std::vector<std::uint32_t> result;
    for (const auto& p : platform.posts)
      if (p.window == clock) result.push_back(p.wparam - 0x800E);
    return result;
  }

  void SetUp() override {
    Key("Main", "ShowAtkOsd") = "1";
    Key("Main", "RMClock") = "1";
    for (int i = 0; i < 4; ++i) {
      // Image index i and clock profile i tell the profiles apart.
      Key(std::to_string(i).c_str(), "AtkOsdImageIndex") = std::to_string(i);
      Key(std::to_string(i).c_str(), "RMClockProfile") = std::to_string(i);
    }
  }

  FakePlatform platform;
  IniFileStore settings{platform, "C:\\Tools\\morvask.ini"};
  WindowHandle osd = platform.AddWindow("ATKOSD", "ATKOSD");
  WindowHandle clock =
      platform.AddWindow("#32770", "RightMark CPU Clock Utility");
};

TEST_F(CycleTest, NoSettingsWrapsToZeroAndApplies) {
  platform.files.clear();
  Press(3600000);
  EXPECT_EQ("0", Key("System", "CurrentProfileAC"));
  EXPECT_EQ("3600000", Key("System", "TickId"));
  EXPECT_EQ(1u, platform.CallsStartingWith("Sleep 2200").size());
}

TEST_F(CycleTest, OrderOfReadsAndWrites) {
  Key("Main", "ShowAtkOsd") = "0";
  Key("Main", "RMClock") = "0";
  const std::vector<std::string> before = {
      "Read [System] CurrentProfileAC",
      "Read [System] TickId",
      "Read [Main] Delay",
      "Read [Main] ShowBeforeSwitch",
      "Read [Main] CycleAC",
      "Read [Main] ProfileCount",
      "Write [System] CurrentProfileAC=0",
      "Write [System] TickId=50000",
      "Read [Main] ShowAtkOsd",
      "Read [Main] Notice",
  };
  const std::vector<std::string> apply = {
      "Read [System] TickId", "Read [Main] RMClock", "Read [Main] AtiCatalyst",
      "Read [0] PowerScheme", "Read [0] PowerMode",  "Read [0] Run",
      "Read [Main] Notice",
  };
  // With the notice off or absent the press waits with the plain Sleep
  // and makes no notice call: only the switch is read at each show.
  const std::vector<std::string> shown = {"Read [Main] NoticeTime",
                                          "Read [0] Name",
                                          "Notice Profile 0 on mains for 1500"};
  const std::vector<std::string> applied = {
      "Read [Main] NoticeTime", "Read [0] Name",
      "Notice Profile 0 on mains: applied for 1500"};
  const struct {
    const char* notice;
    std::vector<std::vector<std::string>> parts;
  } cases[] = {
      {nullptr, {before, {"Sleep 2200"}, apply}},
      {"0", {before, {"Sleep 2200"}, apply}},
      {"1", {before, shown, {"NoticeWait 2200"}, apply, applied}},
  };
  for (const auto& c : cases) {
    platform.calls.clear();
    Key("System", "TickId") = "0";  // Each press a new burst.
    platform.ini()["Main"].erase("Notice");
    if (c.notice) Key("Main", "Notice") = c.notice;
    Press(50000);
    std::vector<std::string> expected;
    for (const auto& part : c.parts)
      expected.insert(expected.end(), part.begin(), part.end());
    EXPECT_EQ(expected, platform.calls) << (c.notice ? c.notice : "absent");
  }
}

TEST_F(CycleTest, NewBurstStepsOrShowsFirst) {
  const struct {
    const char* show_first;
    std::uint32_t expected;
  } cases[] = {{"0", 0}, {nullptr, 0}, {"1", 2}, {"yes", 0}};
  for (const auto& c : cases) {
    platform.posts.clear();
    Key("Main", "ProfileCount") = "3";
    Key("System", "CurrentProfileAC") = "2";
    Key("System", "TickId") = "1000";
    platform.ini()["Main"].erase("ShowBeforeSwitch");
    if (c.show_first) Key("Main", "ShowBeforeSwitch") = c.show_first;
    Press(1000 + 2201);
    const char* label = c.show_first ? c.show_first : "missing";
    EXPECT_EQ(std::to_string(c.expected), Key("System", "CurrentProfileAC"))
        << label;
    EXPECT_EQ(std::vector<std::uint32_t>{c.expected}, Shown()) << label;
    EXPECT_EQ(std::vector<std::uint32_t>{c.expected}, Applied()) << label;
  }
}

TEST_F(CycleTest, BurstContinuesAtExactlyDelayAndSkipsTheSwitch) {
  Key("Main", "ProfileCount") = "3";
  Key("Main", "ShowBeforeSwitch") = "1";
  Key("Main", "Delay") = "500";
  Key("System", "TickId") = "1000";
  Press(1500);
  EXPECT_EQ("1", Key("System", "CurrentProfileAC"));
  EXPECT_TRUE(
      platform.CallsStartingWith("Read [Main] ShowBeforeSwitch").empty());
}

TEST_F(CycleTest, LaterPressTakesOverTheApply) {
  Key("Main", "ProfileCount") = "4";
  // While this press sleeps, a newer one writes its own TickId.
  platform.during_sleep = [this] { Key("System", "TickId") = "7777"; };
  Press(5000);
  EXPECT_EQ(std::vector<std::uint32_t>{1}, Shown());
  EXPECT_TRUE(Applied().empty());
}

TEST_F(CycleTest, TickAbove2147483647IsStoredNegativeAndMatches) {
  Key("Main", "ProfileCount") = "4";
  Press(4294967295u);
  EXPECT_EQ("-1", Key("System", "TickId"));
  EXPECT_EQ(std::vector<std::uint32_t>{1}, Applied());
  // The counter wraps to 0: 1 ms after -1 continues the burst.
  platform.posts.clear();
  Press(0);
  EXPECT_EQ("2", Key("System", "CurrentProfileAC"));
}

TEST_F(CycleTest, NegativeIndexBelowCountIsKept) {
  Key("System", "CurrentProfileAC") = "-3";
  Key("Main", "ProfileCount") = "1";
  Press(100000);
  EXPECT_EQ("-2", Key("System", "CurrentProfileAC"));
}

TEST_F(CycleTest, StepsWithinTheCountOrTheList) {
  const CycleDirection kNext = CycleDirection::kNext;
  const CycleDirection kPrev = CycleDirection::kPrev;
  const std::string kCut = "0," + std::string(2045, ' ');  // 2047 chars.
  const struct {
    const char* name;
    CycleDirection direction;
    const char* count;
    const char* list;  // [Main] CycleAC; nullptr: no such key.
    const char* current;
    bool first_shows;  // ShowBeforeSwitch on: this first press only shows.
    const char* expected;
  } cases[] = {
      {"next, count 0, from above", kNext, "0", nullptr, "5", false, "0"},
      {"next, count 0, from below", kNext, "0", nullptr, "-5", false, "-4"},
      {"next, count -3, to it", kNext, "-3", nullptr, "-3", false, "0"},
      {"next, count -3, below", kNext, "-3", nullptr, "-10", false, "-9"},
      {"next, count not an integer", kNext, "abc", nullptr, "0", false, "0"},
      {"prev steps back", kPrev, "3", nullptr, "2", false, "1"},
      {"prev wraps below 0", kPrev, "3", nullptr, "0", false, "2"},
      {"prev from above the count", kPrev, "3", nullptr, "7", false, "2"},
      {"prev from a negative profile", kPrev, "3", nullptr, "-3", false, "2"},
      {"prev, count 0", kPrev, "0", nullptr, "5", false, "0"},
      {"prev, count -2", kPrev, "-2", nullptr, "-5", false, "0"},
      {"prev from the least integer", kPrev, "3", nullptr, "-2147483648", false,
       "2"},
      {"prev, first press keeps", kPrev, "3", nullptr, "1", true, "1"},
      {"prev, first press above the count", kPrev, "3", nullptr, "7", true,
       "2"},
      {"next within the list", kNext, "9", "2, 3, 0", "3", false, "0"},
      {"next round the list", kNext, "9", "2,3,0", "0", false, "2"},
      {"prev within the list", kPrev, "9", "2,3,0", "0", false, "3"},
      {"prev round the list", kPrev, "9", "2,3,0", "2", false, "0"},
      {"next, not in the list", kNext, "9", "2,3,0", "1", false, "2"},
      {"prev, not in the list", kPrev, "9", "2,3,0", "1", false, "0"},
      {"named twice: from its first place", kNext, "9", "1,2,1,3", "1", false,
       "2"},
      {"prev, named twice", kPrev, "9", "1,2,1,3", "1", false, "3"},
      {"hexadecimal entries and blanks", kNext, "9", " $2 ,\t0x3 ", "2", false,
       "3"},
      {"a negative entry, beyond the count", kNext, "1", "0,-1", "0", false,
       "-1"},
      {"list, first press keeps a profile not in it", kNext, "9", "2,3", "1",
       true, "1"},
      {"bad entry: the count", kNext, "3", "0,x,1", "1", false, "2"},
      {"empty entry: the count", kNext, "3", "0,,1", "1", false, "2"},
      {"trailing comma: the count", kPrev, "3", "0,1,", "1", false, "0"},
      {"only commas and blanks: the count", kNext, "3", " , ,", "1", false,
       "2"},
      {"empty: the count", kNext, "3", "", "1", false, "2"},
      {"cut at the text limit: the count", kNext, "3", kCut.c_str(), "1", false,
       "2"},
  };
  for (const auto& c : cases) {
    Key("Main", "ProfileCount") = c.count;
    Key("Main", "ShowBeforeSwitch") = c.first_shows ? "1" : "0";
    platform.ini()["Main"].erase("CycleAC");
    if (c.list) Key("Main", "CycleAC") = c.list;
    Key("System", "CurrentProfileAC") = c.current;
    Key("System", "TickId") = "0";
    Press(100000, c.direction);
    EXPECT_EQ(c.expected, Key("System", "CurrentProfileAC")) << c.name;
  }
}

TEST_F(CycleTest, EachPowerSourceHasItsOwnList) {
  Key("Main", "CycleAC") = "2,3";
  Key("Main", "CycleBatt") = "0,1";
  Key("Main", "ProfileCount") = "9";
  Press(10000);  // Mains: 0 is not in its list.
  platform.ac_line_status = 0;
  Press(20000, CycleDirection::kPrev);  // Battery: 0 -> 1, round its list.
  EXPECT_EQ("2", Key("System", "CurrentProfileAC"));
  EXPECT_EQ("1", Key("System", "CurrentProfileBatt"));
  EXPECT_EQ(1u, platform.CallsStartingWith("Read [Main] CycleBatt").size());
  EXPECT_TRUE(platform.CallsStartingWith("Read [Main] ProfileCount").empty());
}

TEST_F(CycleTest, MaximumIndexWrapsInto32Bits) {
  Key("System", "CurrentProfileAC") = "2147483647";
  Key("Main", "ProfileCount") = "$80000000";  // INT32_MIN
  Press(100000);
  EXPECT_EQ("0", Key("System", "CurrentProfileAC"));  // MIN >= MIN
}

TEST_F(CycleTest, NegativeDelayWaitsNoTime) {
  for (const char* delay : {"-1", "-100", "$FFFFFFFF"}) {
    platform.calls.clear();
    Key("Main", "Delay") = delay;
    Press(100000);
    EXPECT_EQ(1u, platform.CallsStartingWith("Sleep 0").size()) << delay;
  }
}

TEST_F(CycleTest, BatterySlotSharesTickId) {
  Key("Main", "ProfileCount") = "4";
  Press(10000);  // Mains: 0 -> 1.
  platform.ac_line_status = 0;
  Press(10300);  // Battery continues the burst: 0 -> 1.
  EXPECT_EQ("1", Key("System", "CurrentProfileAC"));
  EXPECT_EQ("1", Key("System", "CurrentProfileBatt"));
  EXPECT_EQ("10300", Key("System", "TickId"));
}

TEST_F(CycleTest, RefusedWriteFailsBeforeShowing) {
  platform.refuse_writes = true;
  EXPECT_THROW(Press(1000), EIniFileException);
  EXPECT_TRUE(platform.posts.empty());
}

}  // namespace
