#include "settings/burst.h"

std::int32_t TicksBetween(std::int32_t last, std::int32_t now) {
  // Unsigned, so that a stored tick of INT32_MIN is never negated.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(now) -
                                   static_cast<std::uint32_t>(last));
}

bool ContinuesBurst(std::int32_t now, std::int32_t last, std::int32_t delay) {
  if (now < last) return false;  // The tick counter restarted since.
  return TicksBetween(last, now) <= delay;
}
