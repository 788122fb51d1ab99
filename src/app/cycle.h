// The "next" command: each press steps the active slot's profile and shows
// it at once; only the last press of a burst applies it, after the delay.
// Presses are separate processes that coordinate through the settings file.
#ifndef MORVASK_APP_CYCLE_H_
#define MORVASK_APP_CYCLE_H_

#include <cstdint>

struct Session;

/// Default of [Main] Delay, in milliseconds.
constexpr std::int32_t kDefaultDelay = 2200;

/// True when a press that started at tick `now` continues the burst of the
/// press that started at `last`: now is not below last and now - last
/// (signed, wrapping) is at most `delay`.
bool ContinuesBurst(std::int32_t now, std::int32_t last, std::int32_t delay);

/// 0 for a profile at or above `count`; a profile below it, negative ones
/// too, is kept.
std::int32_t WrapProfile(std::int32_t profile, std::int32_t count);

/// Runs one press. Throws EIniFileException when a write is refused.
void CycleNextProfile(Session& session);

#endif  // MORVASK_APP_CYCLE_H_
