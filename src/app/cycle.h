// The "next" and "prev" commands: each press steps the active slot's
// profile and shows it at once; only the last press of a burst applies it,
// after the delay. Presses are separate processes that coordinate through
// the settings file, and a burst may mix both commands.
#ifndef MORVASK_APP_CYCLE_H_
#define MORVASK_APP_CYCLE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/session.h"
#include "common/path.h"
#include "settings/burst.h"  // ContinuesBurst, the rule of a burst.

class SettingsStore;

enum class CycleDirection { kNext, kPrev };

/// 0 for a profile at or above `count`; a profile below it, negative ones
/// too, is kept. (How "next" stays within ProfileCount.)
std::int32_t WrapProfile(std::int32_t profile, std::int32_t count);

/// `count` - 1 (0 for a count below 1) for a profile below 0 or at or above
/// `count`; any other is kept. (How "prev" stays within ProfileCount.)
std::int32_t WrapProfileBack(std::int32_t profile, std::int32_t count);

/// A cycle list ([Main] CycleAC or CycleBatt) as read: its profiles when it
/// is used, or why it is ignored. A list is used only when it names at
/// least one profile and every entry is an integer.
struct CycleList {
  std::vector<std::int32_t> profiles;  // Empty when the list is ignored.
  std::string problem;  // Why it is ignored; empty for the absent text.
};

/// Parses comma-separated entries, each by the integer text rule once the
/// blanks (spaces, tabs) around it are gone. A text of the settings' full
/// length is taken as cut short, and ignored. A bad entry is named by its
/// first 40 bytes, double-byte characters kept whole.
CycleList ParseCycleList(std::string_view text,
                         const LeadByteTest& is_lead_byte);

/// What "next" and "prev" go round on one power source.
struct CycleSet {
  const SettingKey* list_key = nullptr;  // [Main] CycleAC or CycleBatt.
  CycleList list;                        // As read.
  /// [Main] ProfileCount: read, and used, only when the list is not.
  std::int32_t count = 1;

  bool uses_list() const { return !list.profiles.empty(); }
};

/// Reads the slot's cycle list and, only when it is not used,
/// ProfileCount. Never fails.
CycleSet ReadCycleSet(SettingsStore& settings, PowerSlot slot,
                      const LeadByteTest& is_lead_byte);

/// The profile after (kNext) or before (kPrev) the first place of `profile`
/// in `profiles`, wrapping round; the first (kNext) or last (kPrev) entry
/// for a profile not in it. `profiles` is not empty.
std::int32_t StepInList(std::int32_t profile,
                        const std::vector<std::int32_t>& profiles,
                        CycleDirection direction);

/// The profile a press goes to from `profile` within `set`: one step in
/// `direction`, or, when `step` is false (the first press of a burst that
/// only shows), `profile` itself, yet within ProfileCount when no list is
/// used.
std::int32_t CycleTarget(const CycleSet& set, std::int32_t profile,
                         CycleDirection direction, bool step);

/// Runs one press of "next" or "prev". Throws EIniFileException when a
/// write is refused.
void CycleProfile(Session& session, CycleDirection direction);

inline void CycleNextProfile(Session& session) {
  CycleProfile(session, CycleDirection::kNext);
}

#endif  // MORVASK_APP_CYCLE_H_
