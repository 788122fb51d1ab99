#include "app/cycle.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "app/applying.h"
#include "app/noticing.h"
#include "common/text.h"
#include "platform/platform.h"
#include "settings/int_text.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

namespace {

std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) +
                                   static_cast<std::uint32_t>(b));
}

/// How long a bad entry may be in the problem that names it, so that a
/// long one cannot flood the report.
constexpr size_t kEntryShown = 40;

/// `item` without the blanks (spaces, tabs) around it.
std::string_view Trimmed(std::string_view item) {
  const size_t first = item.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::string_view();
  return item.substr(first, item.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::int32_t WrapProfile(std::int32_t profile, std::int32_t count) {
  return profile >= count ? 0 : profile;
}

std::int32_t WrapProfileBack(std::int32_t profile, std::int32_t count) {
  if (profile >= 0 && profile < count) return profile;
  return count < 1 ? 0 : count - 1;
}

CycleList ParseCycleList(std::string_view text,
                         const LeadByteTest& is_lead_byte) {
  CycleList list;
  if (text.size() >= kMaxSettingLength) {
    list.problem = "it is " + std::to_string(kMaxSettingLength) +
                   " characters or longer, so it may be cut short";
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
    const std::string_view item = Trimmed(text.substr(start, comma - start));
    std::optional<std::int32_t> profile = ParseInt32(item);
    if (!profile) {
      list.problem = "entry " + std::to_string(entry) + " (\"" +
                     std::string(CutWhole(item, kEntryShown, is_lead_byte)) +
                     "\") is not an integer";
      return list;
    }
    profiles.push_back(*profile);
    if (comma == text.size()) break;
    start = comma + 1;
  }
  list.profiles = std::move(profiles);
  return list;
}

CycleSet ReadCycleSet(SettingsStore& settings, PowerSlot slot,
                      const LeadByteTest& is_lead_byte) {
  CycleSet set;
  set.list_key = &CycleKey(slot);
  set.list = ParseCycleList(settings.ReadText(*set.list_key), is_lead_byte);
  // ProfileCount plays no part when a list is used: it may name any profile.
  if (!set.uses_list()) set.count = settings.ReadInt(key::kProfileCount);
  return set;
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

std::int32_t CycleTarget(const CycleSet& set, std::int32_t profile,
                         CycleDirection direction, bool step) {
  const bool forward = direction == CycleDirection::kNext;
  if (set.uses_list())
    return step ? StepInList(profile, set.list.profiles, direction) : profile;
  if (step) profile = WrappingAdd(profile, forward ? 1 : -1);
  return forward ? WrapProfile(profile, set.count)
                 : WrapProfileBack(profile, set.count);
}

void CycleProfile(Session& session, CycleDirection direction) {
  SettingsStore& settings = session.settings;
  const SettingKey& slot_key = SlotKey(session.slot);
  const std::int32_t now = static_cast<std::int32_t>(session.start_tick);

  const std::int32_t from = settings.ReadInt(slot_key);
  const std::int32_t last = settings.ReadInt(key::kTickId);
  const std::int32_t delay = settings.ReadInt(key::kDelay);

  const bool continues = ContinuesBurst(now, last, delay);
  const bool step = continues || !settings.ReadSwitch(key::kShowBeforeSwitch);
  const CycleSet set =
      ReadCycleSet(settings, session.slot, session.LeadBytes());
  const std::int32_t profile = CycleTarget(set, from, direction, step);
  session.current_profile = profile;
  session.log.Write(
      Cat({std::string(direction == CycleDirection::kNext ? "next" : "prev"),
           " on ", SlotName(session.slot), ": ", std::to_string(from), " -> ",
           std::to_string(profile), " within ",
           (set.uses_list() ? std::string("the list ") + set.list_key->name
                            : "ProfileCount " + std::to_string(set.count)),
           (continues ? ", continuing a burst"
            : step    ? ", a new burst"
                      : ", a new burst: shown first"),
           " (tick ", std::to_string(now), ", Delay ", std::to_string(delay),
           " ms)"}));

  settings.WriteInt(slot_key, profile);
  settings.WriteInt(key::kTickId, now);
  ShowSessionProfile(session);

  // What the press did so far is in the file while it waits.
  session.log.Flush();
  // A negative delay waits no time rather than ~49 days or forever.
  WaitShowingNotice(session, delay < 0 ? 0 : static_cast<std::uint32_t>(delay));
  // A later press overwrites TickId; then it is the one to apply.
  const std::int32_t latest = settings.ReadInt(key::kTickId);
  if (latest != now) {
    session.log.Write(
        Cat({"left profile ", std::to_string(profile),
             " to a later press (tick ", std::to_string(latest), ")"}));
    return;
  }
  session.log.Write(Cat({"applying profile ", std::to_string(profile)}));
  ApplySessionProfile(session);
}
