#include "app/noticing.h"

#include "actions/notice.h"
#include "app/session.h"
#include "common/text.h"
#include "platform/platform.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

void ShowSessionNotice(Session& session, const ApplyResult* applied) {
  const std::uint32_t lasts = ReadNoticeLasts(session.settings);
  if (lasts == 0) return;
  const std::string text = NoticeText(
      session.settings.ReadText(key::kName, session.current_profile),
      session.current_profile, session.slot, applied, session.LeadBytes());
  const bool shown = session.platform.ShowNotice(text, lasts);
  session.log.Write(Cat({shown ? "notice: " : "notice not shown (no window): ",
                         text, " (", Num(lasts), " ms)"}));
  session.notice_shown = session.notice_shown || shown;
}

void WaitShowingNotice(Session& session, std::uint32_t milliseconds) {
  if (session.notice_shown)
    session.platform.WaitHandlingNotice(milliseconds);
  else
    session.platform.Sleep(milliseconds);
}

void HoldSessionNotice(Session& session) {
  if (!session.notice_shown) return;
  // What the run did is in the file while its notice stays.
  session.log.Flush();
  session.platform.WaitWhileNoticeShown();
}
