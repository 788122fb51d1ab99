// morvask's own notice in a run: shown with each profile shown when
// [Main] Notice is on, kept while the run waits, and waited for at the
// end. With it off, every wait is the plain Sleep and no notice call is
// made.
#ifndef MORVASK_APP_NOTICING_H_
#define MORVASK_APP_NOTICING_H_

#include <cstdint>

#include "actions/steps.h"

struct Session;

/// Shows session.current_profile in the notice, with how applying went
/// when `applied` is given, and logs its text; nothing when Notice is off
/// or NoticeTime is 0 or less. A notice that cannot be made changes
/// nothing else.
void ShowSessionNotice(Session& session, const ApplyResult* applied = nullptr);

/// Waits `milliseconds`: the plain Sleep unless this run shows a notice,
/// else handling its messages meanwhile.
void WaitShowingNotice(Session& session, std::uint32_t milliseconds);

/// Keeps the run until its notice has gone or was replaced; returns at
/// once when it shows none.
void HoldSessionNotice(Session& session);

#endif  // MORVASK_APP_NOTICING_H_
