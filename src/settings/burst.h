// How presses of "next" and "prev" tell a burst, through [System] TickId:
// the rule a press applies by, and that morvask-watch waits by.
#ifndef MORVASK_SETTINGS_BURST_H_
#define MORVASK_SETTINGS_BURST_H_

#include <cstdint>

/// True when a press that started at tick `now` continues the burst of the
/// press that started at `last`: now is not below last and now - last
/// (signed, wrapping) is at most `delay`.
bool ContinuesBurst(std::int32_t now, std::int32_t last, std::int32_t delay);

/// now - last, wrapping in 32 bits, without a signed overflow.
std::int32_t TicksBetween(std::int32_t last, std::int32_t now);

#endif  // MORVASK_SETTINGS_BURST_H_
