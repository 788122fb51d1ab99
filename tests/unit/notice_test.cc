#include "actions/notice.h"

#include <gtest/gtest.h>

#include "app/commands.h"
#include "fake_platform.h"

namespace {

TEST(NoticeLastsTest, HeldWithinItsBounds) {
  const struct {
    std::int32_t notice_time;
    std::uint32_t expected;
  } cases[] = {
      {1500, 1500},   {1, 1},         {0, 0},         {-1, 0},
      {INT32_MIN, 0}, {60000, 60000}, {60001, 60000}, {INT32_MAX, 60000},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, NoticeLasts(c.notice_time)) << c.notice_time;
}

StepResult Step(const char* step, bool took, const char* outcome) {
  StepResult result;
  result.step = step;
  result.took = took;
  result.outcome = outcome;
  return result;
}

TEST(NoticeTextTest, NameSourceAndOutcome) {
  const ApplyResult nothing;
  ApplyResult taken;
  taken.steps = {Step("clock utility", true, "clock profile 1"),
                 Step("power plan", true, "selected")};
  ApplyResult clock_missing;
  clock_missing.steps = {
      Step("clock utility", false, "clock utility not running"),
      Step("power plan", false, "power plan not found")};
  ApplyResult refused;
  refused.steps = {Step("clock utility", true, "clock profile 1"),
                   Step("power mode", false, "refused by Windows")};
  const std::string long_name(100, 'a');
  // 0x81 is a lead byte: its pair must stay whole at the cut.
  const std::string dbcs = std::string(63, 'b') + "\x81\x40tail";
  const struct {
    std::string name;
    PowerSlot slot;
    const ApplyResult* applied;
    std::string expected;
  } cases[] = {
      {"Quiet", PowerSlot::kMains, nullptr, "Quiet on mains"},
      {"", PowerSlot::kBattery, nullptr, "Profile -3 on battery"},
      {"  \t", PowerSlot::kMains, nullptr, "Profile -3 on mains"},
      {"Quiet", PowerSlot::kMains, &nothing, "Quiet on mains: applied"},
      {"Quiet", PowerSlot::kMains, &taken, "Quiet on mains: applied"},
      {"Quiet", PowerSlot::kBattery, &clock_missing,
       "Quiet on battery: clock utility not running"},
      {"Quiet", PowerSlot::kMains, &refused,
       "Quiet on mains: power mode: refused by Windows"},
      {"a\tb\r\nc\x7f", PowerSlot::kMains, nullptr, "a b  c  on mains"},
      {long_name, PowerSlot::kMains, nullptr,
       std::string(64, 'a') + "... on mains"},
      {dbcs, PowerSlot::kMains, nullptr, std::string(63, 'b') + "... on mains"},
      {"Fast\x81", PowerSlot::kMains, nullptr, "Fast on mains"},
  };
  const LeadByteTest lead = [](unsigned char byte) { return byte == 0x81; };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, NoticeText(c.name, -3, c.slot, c.applied, lead))
        << c.expected;
}

TEST(NoticeRunTest, ShownWithEveryShowAndHeldToTheEnd) {
  // Notice on: each command shows its notice, once more after applying,
  // and waits for it at its end; a window that cannot be made changes
  // nothing else and is not waited for.
  const struct {
    const char* arguments;
    bool window_works;
    std::vector<std::string> expected;
  } cases[] = {
      {"show", true, {"Notice Slow on mains for 900", "NoticeHold"}},
      {"current",
       true,
       {"Notice Slow on mains for 900",
        "Notice Slow on mains: clock utility not running for 900",
        "NoticeHold"}},
      {"profile 1",
       true,
       {"Notice Profile 1 on mains for 900",
        "Notice Profile 1 on mains: clock utility not running for 900",
        "NoticeHold"}},
      {"osd 1 2", true, {}},
      {"check", true, {}},
      {"show", false, {"Notice Slow on mains for 900"}},
  };
  for (const auto& c : cases) {
    FakePlatform platform;
    platform.notice_window_works = c.window_works;
    platform.ini()["Main"] = {
        {"Notice", "1"}, {"NoticeTime", "900"}, {"RMClock", "1"}};
    platform.ini()["0"]["Name"] = "Slow";
    platform.command_line = std::string("morvask ") + c.arguments;
    RunMorvask(platform);
    EXPECT_EQ(c.expected, platform.CallsStartingWith("Notice")) << c.arguments;
    EXPECT_TRUE(platform.message_boxes.empty()) << c.arguments;
  }
}

}  // namespace
