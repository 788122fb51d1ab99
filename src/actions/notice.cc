#include "actions/notice.h"

#include "common/text.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

std::uint32_t NoticeLasts(std::int32_t notice_time) {
  if (notice_time <= 0) return 0;
  const auto lasts = static_cast<std::uint32_t>(notice_time);
  return lasts > kLongestNotice ? kLongestNotice : lasts;
}

std::uint32_t ReadNoticeLasts(SettingsStore& settings) {
  if (!settings.ReadSwitch(key::kNotice)) return 0;
  return NoticeLasts(settings.ReadInt(key::kNoticeTime));
}

std::string MissWords(const StepResult& step) {
  if (step.outcome.find(step.step) != std::string::npos) return step.outcome;
  return Cat({step.step, ": ", step.outcome});
}

std::string NoticeText(std::string_view name, std::int32_t profile,
                       PowerSlot slot, const ApplyResult* applied,
                       const LeadByteTest& is_lead_byte) {
  // Whole characters only: a lead byte with no second byte, as at the end
  // of a cut value, would join with the text that follows. Tabs, line ends
  // and other control bytes would break the one line; they become blanks.
  std::string shown;
  for (size_t at = 0; at < name.size();) {
    const auto byte = static_cast<unsigned char>(name[at]);
    const size_t width = is_lead_byte(byte) ? 2 : 1;
    if (at + width > name.size()) break;
    if (shown.size() + width > kNoticeNameBytes) {
      shown += "...";
      break;
    }
    if (width == 1 && (byte < 0x20 || byte == 0x7f))
      shown += ' ';
    else
      shown.append(name.substr(at, width));
    at += width;
  }
  if (shown.find_first_not_of(' ') == std::string::npos)
    shown = Cat({"Profile ", Num(profile)});
  std::string text = Cat({shown, " on ", SlotName(slot)});
  if (!applied) return text;
  const StepResult* miss = applied->FirstMiss();
  return Cat({text, ": ", miss ? MissWords(*miss) : "applied"});
}
