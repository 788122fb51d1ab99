#include "actions/power_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "actions/apply.h"
#include "fake_platform.h"
#include "settings/settings_store.h"

namespace {

const char kBalanced[] = "381b4222-f694-41f0-9685-ff5bb260df2e";
const char kHigh[] = "8c5e7fda-e8bf-4a96-9a85-a6e23a8c635c";
const char kSaver[] = "a1841308-3541-4fab-bc81-f71556f20b4a";

Guid G(const char* text) { return *ParseGuid(text); }

TEST(PowerSchemeTest, ValuesAndThePlanTheyName) {
  // A machine with three plans by GUID, and one with XP's two schemes.
  const std::vector<PowerPlan> plans = {{G(kBalanced), 0, "Balanced"},
                                        {G(kHigh), 0, "High performance"},
                                        {G(kSaver), 0, "Stromsparmodus"}};
  const std::vector<PowerPlan> schemes = {{Guid(), 0, "Home/Office Desk"},
                                          {Guid(), 3, "Max Battery"}};
  const PowerPlanKind kGuid = PowerPlanKind::kByGuid;
  const PowerPlanKind kNumber = PowerPlanKind::kByNumber;
  const struct {
    const char* value;
    PowerPlanKind kind;
    const char* expected;  // The plan's name, or nullptr: none.
  } cases[] = {
      {"381b4222-f694-41f0-9685-ff5bb260df2e", kGuid, "Balanced"},
      {"{8C5E7FDA-E8BF-4A96-9A85-A6E23A8C635C}", kGuid, "High performance"},
      {"{8c5e7fda-e8bf-4a96-9a85-a6e23a8c635c", kGuid, nullptr},  // Cut brace.
      {"8c5e7fda-e8bf-4a96-9a85-a6e23a8c635", kGuid, nullptr},    // Too short.
      {"8c5e7fdae-8bf-4a96-9a85-a6e23a8c635c", kGuid, nullptr},   // Dash moved.
      {"8c5e7fda-e8bf-4a96-9a85-a6e23a8c635g", kGuid, nullptr},   // Not hex.
      {"SCHEME_MIN", kGuid, "High performance"},  // Least power savings.
      {"scheme_max", kGuid, "Stromsparmodus"},    // Most power savings.
      {"Scheme_Balanced", kGuid, "Balanced"},
      {"SCHEME_BALANCED ", kGuid, nullptr},  // An alias in the wrong place.
      {"high PERFORMANCE", kGuid, "High performance"},
      {"High", kGuid, nullptr},
      {"2", kGuid, nullptr},  // A number names a scheme only on XP.
      {"3", kNumber, "Max Battery"},
      {"$3", kNumber, "Max Battery"},
      {"7", kNumber, nullptr},
      {"max battery", kNumber, "Max Battery"},
      {kBalanced, kNumber, nullptr},  // No GUIDs on XP.
      {"Balanced", PowerPlanKind::kNone, nullptr},
  };
  for (const auto& c : cases) {
    const PlanChoice choice = ChoosePowerPlan(
        ParsePowerScheme(c.value), c.kind, c.kind == kNumber ? schemes : plans);
    ASSERT_EQ(c.expected != nullptr, choice.plan.has_value()) << c.value;
    if (c.expected) {
      EXPECT_EQ(c.expected, choice.plan->name) << c.value;
    } else {
      EXPECT_FALSE(choice.why_not.empty()) << c.value;
    }
  }
  EXPECT_EQ(kBalanced, FormatGuid(G("{381B4222-F694-41F0-9685-FF5BB260DF2E}")));
  EXPECT_EQ(PowerSchemeValue::kNone, ParsePowerScheme(" \t").form);
}

TEST(PowerModeTest, WordsAndTheDocumentedGuids) {
  const struct {
    const char* value;
    const char* expected;  // nullptr: not a mode.
  } cases[] = {
      {"efficiency", "efficiency"},
      {"PERFORMANCE", "performance"},
      {"Balanced", "balanced"},
      {"00000000-0000-0000-0000-000000000000", "balanced"},
      {"{961CC777-2547-4F9D-8174-7D86181B8A7A}", "efficiency"},
      {"ded574b5-45a0-4f42-8737-46345c09c238", "performance"},
      {kBalanced, nullptr},  // A plan, not a mode.
      {"fast", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    const std::optional<Guid> mode = ParsePowerMode(c.value);
    ASSERT_EQ(c.expected != nullptr, mode.has_value()) << c.value;
    if (c.expected) {
      EXPECT_EQ(c.expected, PowerModeName(*mode)) << c.value;
    }
  }
}

class ApplyPowerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.power_kind = PowerPlanKind::kByGuid;
    platform.power_plans = {{G(kBalanced), 0, "Balanced"},
                            {G(kHigh), 0, "High performance"}};
    platform.has_power_modes = true;
    platform.ini()["Main"]["RMClock"] = "1";
    platform.AddWindow("#32770", "RightMark CPU Clock Utility");
  }
  ApplyResult Apply(ApplyContext context = ApplyContext()) {
    context.folder = "C:\\Tools\\";
    context.settings_path = "C:\\Tools\\morvask.ini";
    return ApplyProfile(platform, settings, 1, context);
  }

  FakePlatform platform;
  IniFileStore settings{platform, "C:\\Tools\\morvask.ini"};
};

TEST_F(ApplyPowerTest, StepsInOrderEachReadBack) {
  platform.ini()["1"] = {{"PowerScheme", "High performance"},
                         {"PowerMode", "efficiency"},
                         {"Run", "\"C:\\My Tools\\fan.exe\" quiet"}};
  ApplyContext context;
  context.slot = PowerSlot::kBattery;
  context.command = "next";
  const ApplyResult result = Apply(context);
  std::vector<std::string> steps;
  for (const StepResult& step : result.steps)
    steps.push_back(std::string(step.step) + (step.took ? " took" : " missed"));
  EXPECT_EQ((std::vector<std::string>{"clock utility took", "power plan took",
                                      "power mode took", "program took"}),
            steps);
  const std::vector<std::string> order = {
      platform.CallsStartingWith("Post")[0],
      platform.CallsStartingWith("SetPowerPlan")[0],
      platform.CallsStartingWith("SetPowerMode")[0],
      platform.CallsStartingWith("StartProgram")[0]};
  auto at = [this](const std::string& call) {
    return std::find(platform.calls.begin(), platform.calls.end(), call);
  };
  for (size_t i = 1; i < order.size(); ++i)
    EXPECT_LT(at(order[i - 1]), at(order[i])) << order[i];
  EXPECT_EQ("SetPowerMode DC 2518468471",
            platform.calls[at(order[2]) - platform.calls.begin()]);
  EXPECT_EQ("C:\\Tools\\", platform.program_folders.at(0));
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{
                {"MORVASK_PROFILE", "1"},
                {"MORVASK_POWER", "battery"},
                {"MORVASK_COMMAND", "next"}}),
            platform.program_environments.at(0));
  EXPECT_EQ(1u, platform.CallsStartingWith("Wait 2480 5000").size());
}

TEST_F(ApplyPowerTest, WhatDoesNotTakeEffectIsNoFailure) {
  const struct {
    const char* name;
    std::map<std::string, std::string> keys;
    std::function<void(FakePlatform&)> set_up;
    const char* outcome;  // Of the last step.
  } cases[] = {
      {"an unknown plan",
       {{"PowerScheme", "Turbo"}},
       nullptr,
       "power plan not found"},
      {"Windows refuses the plan",
       {{"PowerScheme", "Balanced"}},
       [](FakePlatform& p) { p.set_plan_error = 5; },
       "refused by Windows"},
      {"no power modes",
       {{"PowerMode", "performance"}},
       [](FakePlatform& p) { p.has_power_modes = false; },
       "needs Windows 11"},
      {"not a mode", {{"PowerMode", "turbo"}}, nullptr, "not a power mode"},
      {"a program that does not start",
       {{"Run", "nosuch.exe"}},
       [](FakePlatform& p) { p.processes_start = false; },
       "program not started"},
      {"a program that fails",
       {{"Run", "cmd /c exit 1"}},
       [](FakePlatform& p) { p.exit_code = 1; },
       "program ended with 1"},
      {"elevated, with settings others may change",
       {{"Run", "fan.exe"}},
       [](FakePlatform& p) {
         p.own_rights.elevated = Answer::kYes;
         p.write_rights["C:\\Tools\\morvask.ini"] = {Answer::kNo, "",
                                                     Answer::kYes};
       },
       "refused: its settings are not safe"},
  };
  for (const auto& c : cases) {
    FakePlatform fresh;
    platform = fresh;
    SetUp();
    platform.ini()["1"] = c.keys;
    if (c.set_up) c.set_up(platform);
    const ApplyResult result = Apply();
    ASSERT_FALSE(result.steps.empty()) << c.name;
    EXPECT_FALSE(result.steps.back().took) << c.name;
    EXPECT_EQ(c.outcome, result.steps.back().outcome) << c.name;
    ASSERT_NE(nullptr, result.FirstMiss()) << c.name;
    EXPECT_STREQ(result.steps.back().step, result.FirstMiss()->step) << c.name;
  }
  // Elevated with safe settings, the program starts.
  platform.own_rights.elevated = Answer::kYes;
  platform.write_rights["C:\\Tools\\morvask.ini"] = {Answer::kNo, "",
                                                     Answer::kNo};
  platform.write_rights["C:\\Tools\\"] = {Answer::kNo, "", Answer::kNo};
  platform.ini()["1"] = {{"Run", "fan.exe"}};
  EXPECT_TRUE(Apply().steps.back().took);
}

TEST_F(ApplyPowerTest, RunWaitBoundsTheWait) {
  platform.ini()["1"]["Run"] = "fan.exe";
  for (const char* wait : {"-5", "0", "x", "250"}) {
    platform.calls.clear();
    platform.ini()["Main"]["RunWait"] = wait;
    Apply();
    const std::string expected = std::string(wait) == "x"    ? "5000"
                                 : std::string(wait) == "-5" ? "0"
                                                             : wait;
    EXPECT_EQ(1u, platform.CallsStartingWith("Wait 2480 " + expected).size())
        << wait;
  }
}

}  // namespace
