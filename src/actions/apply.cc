#include "actions/apply.h"

#include <string>

#include "actions/catalyst.h"
#include "platform/platform.h"
#include "settings/int_text.h"
#include "settings/settings_store.h"

std::uint32_t ClockCommand(std::int32_t base, std::uint16_t clock_profile) {
  return static_cast<std::uint32_t>(base) + clock_profile;
}

bool SelectClockProfile(Platform& platform, SettingsStore& settings,
                        std::uint16_t clock_profile) {
  if (clock_profile >= kClockProfileCount) return false;
  WindowHandle window =
      platform.FindTopLevelWindow("#32770", "RightMark CPU Clock Utility");
  if (!window) return false;
  std::int32_t base =
      settings.ReadInt("Main", "RMClockBase", kDefaultClockBase);
  return platform.PostWindowMessage(window, kWmCommand,
                                    ClockCommand(base, clock_profile), 0);
}

void ApplyProfile(Platform& platform, SettingsStore& settings,
                  std::int32_t profile) {
  const std::string section = FormatInt32(profile);
  if (settings.ReadSwitch("Main", "RMClock", false)) {
    std::int32_t clock_profile = settings.ReadInt(section, "RMClockProfile", 0);
    SelectClockProfile(platform, settings,
                       static_cast<std::uint16_t>(clock_profile));
  }
  if (settings.ReadSwitch("Main", "AtiCatalyst", false)) {
    LoadCatalystProfile(platform,
                        settings.ReadText(section, "AtiCatalystProfile", ""));
  }
}
