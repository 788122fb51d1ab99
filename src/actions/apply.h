// Applying a profile: the CPU clock utility's profile command and the
// graphics driver profile.
#ifndef MORVASK_ACTIONS_APPLY_H_
#define MORVASK_ACTIONS_APPLY_H_

#include <cstdint>
#include <optional>
#include <string>

#include "actions/steps.h"
#include "platform/platform_types.h"
#include "settings/power_slot.h"

class OutsideCalls;
class Platform;
class SettingsStore;

/// The clock utility's dialog window.
inline constexpr char kClockWindowClass[] = "#32770";
inline constexpr char kClockWindowTitle[] = "RightMark CPU Clock Utility";

/// The clock utility has profiles 0 to 3.
constexpr std::uint16_t kClockProfileCount = 4;

/// The clock utility's profile that a profile's RMClockProfile value
/// selects: its low 16 bits, or nullopt when they are 4 or more, which
/// sends nothing.
std::optional<std::uint16_t> ClockProfileOf(std::int32_t setting);

/// The command that selects `clock_profile`: base + profile, wrapping as a
/// 32-bit integer.
std::uint32_t ClockCommand(std::int32_t base, std::uint16_t clock_profile);

/// Where a clock command would go and what it would be; found and read,
/// never posted.
struct ClockTarget {
  WindowHandle window = 0;    // 0: nothing would be posted.
  std::uint32_t command = 0;  // Set when `window` is.
};

/// For a profile's RMClockProfile `setting`: no window when it sends
/// nothing (ClockProfileOf; nothing is looked up or read) or when the
/// "RightMark CPU Clock Utility" dialog is missing; else the window and
/// base + clock profile, the base read only then.
ClockTarget FindClockTarget(OutsideCalls& outside, SettingsStore& settings,
                            std::int32_t setting);

/// What applying knows of the run that applies.
struct ApplyContext {
  PowerSlot slot = PowerSlot::kMains;
  /// The command word: "current", "profile", "next" or "prev".
  std::string command;
  /// morvask's folder, with its trailing backslash, and its settings file.
  std::string folder;
  std::string settings_path;
};

/// Applies profile `profile`, in this order: the clock utility and the
/// graphics driver tool as their switches in [Main] say, then the power
/// plan, the power mode of the present power source and the program of
/// the profile's PowerScheme, PowerMode and Run, each only when it is
/// there. Returns how each step asked for went. Throws ERegistryException
/// from the driver step, after the clock step ran.
ApplyResult ApplyProfile(Platform& platform, SettingsStore& settings,
                         std::int32_t profile,
                         const ApplyContext& context = ApplyContext());

#endif  // MORVASK_ACTIONS_APPLY_H_
