// Applying a profile: the CPU clock utility's profile command and the
// graphics driver profile.
#ifndef MORVASK_ACTIONS_APPLY_H_
#define MORVASK_ACTIONS_APPLY_H_

#include <cstdint>

class Platform;
class SettingsStore;

/// Command identifier of the clock utility's profile 0, unless
/// [Main] RMClockBase says otherwise.
constexpr std::int32_t kDefaultClockBase = 0x800E;

/// Posts base + `clock_profile` to the "RightMark CPU Clock Utility" dialog.
/// Returns false for a profile of 4 or more, a missing window or a failed
/// post. The base is read only when the window exists.
bool SelectClockProfile(Platform& platform, SettingsStore& settings,
                        std::uint16_t clock_profile);

/// Drives the clock utility and then the graphics driver tool as their
/// switches in [Main] say, with the values of profile `profile`.
/// Throws ERegistryException from the driver step, after the clock step ran.
void ApplyProfile(Platform& platform, SettingsStore& settings,
                  std::int32_t profile);

#endif  // MORVASK_ACTIONS_APPLY_H_
