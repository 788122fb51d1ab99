#include "app/cycle.h"

#include <string>

#include "actions/apply.h"
#include "actions/osd.h"
#include "app/session.h"
#include "platform/platform.h"
#include "settings/settings_store.h"

namespace {

std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) +
                                   static_cast<std::uint32_t>(b));
}

// Unsigned, so that a stored tick of INT32_MIN is never negated.
std::int32_t WrappingSubtract(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) -
                                   static_cast<std::uint32_t>(b));
}

}  // namespace

bool ContinuesBurst(std::int32_t now, std::int32_t last, std::int32_t delay) {
  if (now < last) return false;  // The tick counter restarted since.
  return WrappingSubtract(now, last) <= delay;
}

std::int32_t WrapProfile(std::int32_t profile, std::int32_t count) {
  return profile >= count ? 0 : profile;
}

void CycleNextProfile(Session& session) {
  SettingsStore& settings = session.settings;
  const std::string slot_key = SlotKey(session.slot);
  const std::int32_t now = static_cast<std::int32_t>(session.start_tick);

  std::int32_t profile = settings.ReadInt("System", slot_key, 0);
  std::int32_t last = settings.ReadInt("System", "TickId", 0);
  std::int32_t delay = settings.ReadInt("Main", "Delay", kDefaultDelay);

  bool step = ContinuesBurst(now, last, delay) ||
              !settings.ReadSwitch("Main", "ShowBeforeSwitch", false);
  if (step) profile = WrappingAdd(profile, 1);
  profile = WrapProfile(profile, settings.ReadInt("Main", "ProfileCount", 1));
  session.current_profile = profile;

  settings.WriteInt("System", slot_key, profile);
  settings.WriteInt("System", "TickId", now);
  ShowProfile(session.platform, settings, profile);

  // A negative delay waits no time rather than ~49 days or forever.
  session.platform.Sleep(delay < 0 ? 0 : static_cast<std::uint32_t>(delay));
  // A later press overwrites TickId; then it is the one to apply.
  if (settings.ReadInt("System", "TickId", 0) == now)
    ApplyProfile(session.platform, settings, profile);
}
