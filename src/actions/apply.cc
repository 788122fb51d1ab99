#include "actions/apply.h"

#include "actions/catalyst.h"
#include "platform/platform.h"
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
                            std::uint16_t clock_profile) {
  ClockTarget target;
  if (clock_profile >= kClockProfileCount) return target;
  target.window =
      outside.FindTopLevelWindow(kClockWindowClass, kClockWindowTitle);
  if (target.window)
    target.command =
        ClockCommand(settings.ReadInt(key::kRMClockBase), clock_profile);
  return target;
}

bool SelectClockProfile(OutsideCalls& outside, SettingsStore& settings,
                        std::uint16_t clock_profile) {
  const ClockTarget target = FindClockTarget(outside, settings, clock_profile);
  if (!target.window) return false;
  return outside.PostWindowMessage(target.window, kWmCommand, target.command,
                                   0);
}

void ApplyProfile(Platform& platform, SettingsStore& settings,
                  std::int32_t profile) {
  if (settings.ReadSwitch(key::kRMClock)) {
    SelectClockProfile(platform, settings,
                       static_cast<std::uint16_t>(
                           settings.ReadInt(key::kRMClockProfile, profile)));
  }
  if (settings.ReadSwitch(key::kAtiCatalyst)) {
    LoadCatalystProfile(platform,
                        settings.ReadText(key::kAtiCatalystProfile, profile));
  }
}
