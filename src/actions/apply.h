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

/// The clock utility has profiles 0 to 3, chosen by the low 16 bits of a
/// profile's RMClockProfile; any other sends nothing.
constexpr std::uint16_t kClockProfileCount = 4;

/// The command that selects `clock_profile`: base + profile, wrapping as a
/// 32-bit integer.
std::uint32_t ClockCommand(std::int32_t base, std::uint16_t clock_profile);

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
