// Applying the session's current profile: the context the steps need from
// the run, and the log's account of how each step went.
#ifndef MORVASK_APP_APPLYING_H_
#define MORVASK_APP_APPLYING_H_

#include "actions/steps.h"

struct Session;

/// Applies session.current_profile (ApplyProfile) for the session's power
/// source and command, and logs what each step asked for and what Windows
/// reported. Throws ERegistryException as ApplyProfile does.
ApplyResult ApplySessionProfile(Session& session);

#endif  // MORVASK_APP_APPLYING_H_
