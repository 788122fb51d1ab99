#include "app/cycle.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "actions/apply.h"
#include "actions/osd.h"
#include "platform/platform.h"
#include "settings/int_text.h"
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

std::int32_t WrapProfileBack(std::int32_t profile, std::int32_t count) {
  if (profile >= 0 && profile < count) return profile;
  return count < 1 ? 0 : count - 1;
}

CycleList ParseCycleList(std::string_view text) {
  CycleList list;
  if (text.size() >= kMaxSettingLength) {
    list.problem = "it is 2047 characters or longer, so it may be cut short";
    return list;
  }
  if (text.find_first_not_of(" \t,") == std::string_view::npos) {
    if (!text.empty()) list.problem = "it names no profile";
    return list;
  }
  std::vector<std::int32_t> profiles;
  size_t start = 0;
  for (int entry = 1;; ++entry) {
    const size_t comma = std::min(text.find(',', start), text.size());
    std::string_view item = text.substr(start, comma - start);
    const size_t first = item.find_first_not_of(" \t");
    item = first == std::string_view::npos
               ? std::string_view()
               : item.substr(first, item.find_last_not_of(" \t") - first + 1);
    std::optional<std::int32_t> profile = ParseInt32(item);
    if (!profile) {
      // Cut, so that a long entry cannot flood the report.
      list.problem = "entry " + std::to_string(entry) + " (\"" +
                     std::string(item.substr(0, 40)) + "\") is not an integer";
      return list;
    }
    profiles.push_back(*profile);
    if (comma == text.size()) break;
    start = comma + 1;
  }
  list.profiles = std::move(profiles);
  return list;
}

const char* CycleKey(PowerSlot slot) {
  return slot == PowerSlot::kMains ? "CycleAC" : "CycleBatt";
}

std::int32_t StepInList(std::int32_t profile,
                        const std::vector<std::int32_t>& profiles,
                        CycleDirection direction) {
  const bool forward = direction == CycleDirection::kNext;
  auto found = std::find(profiles.begin(), profiles.end(), profile);
  if (found == profiles.end())
    return forward ? profiles.front() : profiles.back();
  const size_t at = static_cast<size_t>(found - profiles.begin());
  const size_t n = profiles.size();
  return profiles[forward ? (at + 1) % n : (at + n - 1) % n];
}

void CycleProfile(Session& session, CycleDirection direction) {
  SettingsStore& settings = session.settings;
  const std::string slot_key = SlotKey(session.slot);
  const std::int32_t now = static_cast<std::int32_t>(session.start_tick);
  const bool forward = direction == CycleDirection::kNext;

  const std::int32_t from = settings.ReadInt("System", slot_key, 0);
  std::int32_t profile = from;
  std::int32_t last = settings.ReadInt("System", "TickId", 0);
  std::int32_t delay = settings.ReadInt("Main", "Delay", kDefaultDelay);

  const bool continues = ContinuesBurst(now, last, delay);
  bool step =
      continues || !settings.ReadSwitch("Main", "ShowBeforeSwitch", false);
  const CycleList list =
      ParseCycleList(settings.ReadText("Main", CycleKey(session.slot), ""));
  std::string within;  // For the log.
  if (!list.profiles.empty()) {
    // ProfileCount plays no part: a list may name any profile.
    if (step) profile = StepInList(profile, list.profiles, direction);
    within = std::string("the list ") + CycleKey(session.slot);
  } else {
    if (step) profile = WrappingAdd(profile, forward ? 1 : -1);
    std::int32_t count = settings.ReadInt("Main", "ProfileCount", 1);
    profile =
        forward ? WrapProfile(profile, count) : WrapProfileBack(profile, count);
    within = "ProfileCount " + std::to_string(count);
  }
  session.current_profile = profile;
  session.log.Write(std::string(forward ? "next" : "prev") + " on " +
                    SlotName(session.slot) + ": " + std::to_string(from) +
                    " -> " + std::to_string(profile) + " within " + within +
                    (continues ? ", continuing a burst"
                     : step    ? ", a new burst"
                               : ", a new burst: shown first") +
                    " (tick " + std::to_string(now) + ", Delay " +
                    std::to_string(delay) + " ms)");

  settings.WriteInt("System", slot_key, profile);
  settings.WriteInt("System", "TickId", now);
  ShowProfile(session.platform, settings, profile);

  // A negative delay waits no time rather than ~49 days or forever.
  session.platform.Sleep(delay < 0 ? 0 : static_cast<std::uint32_t>(delay));
  // A later press overwrites TickId; then it is the one to apply.
  const std::int32_t latest = settings.ReadInt("System", "TickId", 0);
  if (latest != now) {
    session.log.Write("left profile " + std::to_string(profile) +
                      " to a later press (tick " + std::to_string(latest) +
                      ")");
    return;
  }
  session.log.Write("applying profile " + std::to_string(profile));
  ApplyProfile(session.platform, settings, profile);
}
