// What morvask's own notice says and how long it stays: the pure part,
// shared by the commands and "check". The window itself is the
// platform's (NoticeCalls).
#ifndef MORVASK_ACTIONS_NOTICE_H_
#define MORVASK_ACTIONS_NOTICE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "actions/steps.h"
#include "common/path.h"
#include "settings/power_slot.h"

class SettingsStore;

/// The longest a notice stays, ms; a longer NoticeTime is held to it.
inline constexpr std::uint32_t kLongestNotice = 60000;
/// The most bytes of a profile's name that a notice shows.
inline constexpr std::size_t kNoticeNameBytes = 64;

/// How long a notice stays for a NoticeTime of `notice_time` ms: 0 (no
/// notice) for 0 or less, at most kLongestNotice.
std::uint32_t NoticeLasts(std::int32_t notice_time);

/// How long the notice stays by the settings: 0 when [Main] Notice is
/// off (then NoticeTime is not read), else NoticeLasts of NoticeTime.
std::uint32_t ReadNoticeLasts(SettingsStore& settings);

/// How a step that did not take effect is told: its outcome, with the
/// step's name in front when the outcome does not name it.
std::string MissWords(const StepResult& step);

/// The notice's text: the profile's `name` ("Profile N" when blank; cut
/// whole to kNoticeNameBytes, control characters as blanks), the power
/// source, and when `applied` is given how applying went: "applied", or
/// the first step that did not take effect.
std::string NoticeText(std::string_view name, std::int32_t profile,
                       PowerSlot slot, const ApplyResult* applied,
                       const LeadByteTest& is_lead_byte);

#endif  // MORVASK_ACTIONS_NOTICE_H_
