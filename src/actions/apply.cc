#include "actions/apply.h"

#include "actions/catalyst.h"
#include "actions/power_plan.h"
#include "actions/run_program.h"
#include "common/text.h"
#include "platform/platform.h"
#include "platform/power.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

std::optional<std::uint16_t> ClockProfileOf(std::int32_t setting) {
  const auto clock_profile = static_cast<std::uint16_t>(setting);
  if (clock_profile >= kClockProfileCount) return std::nullopt;
  return clock_profile;
}

std::uint32_t ClockCommand(std::int32_t base, std::uint16_t clock_profile) {
  return static_cast<std::uint32_t>(base) + clock_profile;
}

ClockTarget FindClockTarget(OutsideCalls& outside, SettingsStore& settings,
                            std::int32_t setting) {
  ClockTarget target;
  const std::optional<std::uint16_t> clock_profile = ClockProfileOf(setting);
  if (!clock_profile) return target;
  target.window =
      outside.FindTopLevelWindow(kClockWindowClass, kClockWindowTitle);
  if (target.window)
    target.command =
        ClockCommand(settings.ReadInt(key::kRMClockBase), *clock_profile);
  return target;
}

namespace {

StepResult ClockStep(OutsideCalls& outside, SettingsStore& settings,
                     std::int32_t profile) {
  StepResult result;
  result.step = "clock utility";
  const std::int32_t setting = settings.ReadInt(key::kRMClockProfile, profile);
  const std::optional<std::uint16_t> clock_profile = ClockProfileOf(setting);
  const ClockTarget target = FindClockTarget(outside, settings, setting);
  if (!clock_profile) {
    result.outcome =
        "clock profile " + std::to_string(setting) + " sends nothing";
  } else if (!target.window) {
    result.outcome = "clock utility not running";
  } else if (outside.PostWindowMessage(target.window, kWmCommand,
                                       target.command, 0)) {
    result.took = true;
    result.outcome = "clock profile " + std::to_string(*clock_profile);
  } else {
    result.outcome = outside.LastErrorCode() == 5
                         ? "refused: runs with higher rights"
                         : "clock utility refused the post";
  }
  return result;
}

StepResult DriverStep(Platform& platform, SettingsStore& settings,
                      std::int32_t profile) {
  StepResult result;
  result.step = "graphics driver tool";
  const ProgramRun run = RunCatalystTool(
      platform, settings.ReadText(key::kAtiCatalystProfile, profile));
  result.took = run.took();
  result.outcome =
      !run.started ? "graphics driver tool not found"
      : !run.ended ? "still running"
      : !run.has_exit_code || run.exit_code == 0
          ? "loaded"
          : "graphics driver tool ended with " + std::to_string(run.exit_code);
  return result;
}

}  // namespace

ApplyResult ApplyProfile(Platform& platform, SettingsStore& settings,
                         std::int32_t profile, const ApplyContext& context) {
  ApplyResult result;
  if (settings.ReadSwitch(key::kRMClock))
    result.steps.push_back(ClockStep(platform, settings, profile));
  if (settings.ReadSwitch(key::kAtiCatalyst))
    result.steps.push_back(DriverStep(platform, settings, profile));
  const std::string scheme = settings.ReadText(key::kPowerScheme, profile);
  if (!IsBlank(scheme))
    result.steps.push_back(ApplyPowerScheme(platform, scheme));
  const std::string mode = settings.ReadText(key::kPowerMode, profile);
  if (!IsBlank(mode))
    result.steps.push_back(
        ApplyPowerMode(platform, mode, context.slot == PowerSlot::kMains));
  const std::string run = settings.ReadText(key::kRun, profile);
  if (!IsBlank(run))
    result.steps.push_back(
        RunProfileProgram(platform, settings, run, profile, context));
  return result;
}
