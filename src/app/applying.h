// Showing and applying the session's current profile: the context the
// steps need from the run, the log's account of how each step went, and
// the notice that tells it.
#ifndef MORVASK_APP_APPLYING_H_
#define MORVASK_APP_APPLYING_H_

struct Session;

/// Applies session.current_profile (ApplyProfile) for the session's power
/// source and command, and logs what each step asked for and what Windows
/// reported; then, when [Main] Notice is on, the notice says how it went.
/// Throws ERegistryException as ApplyProfile does.
void ApplySessionProfile(Session& session);

/// Shows session.current_profile: the display program's image
/// (ShowProfile) and, when [Main] Notice is on, morvask's own notice.
void ShowSessionProfile(Session& session);

#endif  // MORVASK_APP_APPLYING_H_
