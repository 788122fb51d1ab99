#include "app/applying.h"

#include "actions/apply.h"
#include "actions/osd.h"
#include "app/noticing.h"
#include "app/session.h"
#include "common/ascii.h"
#include "common/path.h"
#include "common/text.h"
#include "platform/platform.h"

void ShowSessionProfile(Session& session) {
  ShowProfile(session.platform, session.settings, session.current_profile);
  ShowSessionNotice(session);
}

void ApplySessionProfile(Session& session) {
  ApplyContext context;
  context.slot = session.slot;
  context.command = LowerAscii(session.Argument(1));
  context.settings_path = session.settings_path;
  context.folder = DirectoryOf(session.settings_path, session.LeadBytes());
  const ApplyResult result = ApplyProfile(session.platform, session.settings,
                                          session.current_profile, context);
  std::string summary;
  for (const StepResult& step : result.steps) {
    if (!step.detail.empty()) session.log.Write(step.detail);
    summary += (summary.empty() ? "" : "; ") + std::string(step.step) + ": " +
               step.outcome;
  }
  if (!summary.empty())
    session.log.Write(
        Cat({"applied profile ", std::to_string(session.current_profile), ": ",
             summary}));
  ShowSessionNotice(session, &result);
}
