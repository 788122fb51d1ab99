// The command front end: the command table, the one failure handler and the
// whole life of a run.
#ifndef MORVASK_APP_COMMANDS_H_
#define MORVASK_APP_COMMANDS_H_

#include <cstdint>
#include <string>

class Platform;
struct Session;

/// The text of the usage box shown on any failure.
extern const char kUsageText[];

/// An argument's integer value by the integer text rule.
/// Throws EConvertError when it is not an integer.
std::int32_t ArgumentToInt(const std::string& text);

/// Runs the command that the session's tokens name.
/// Throws EAbort when no row of the command table matches.
void RunCommand(Session& session);

/// One run of morvask: opens the settings file next to the executable,
/// takes the tick count and power source, runs the command and shows the
/// usage box on any failure. Returns the exit code, always 0.
int RunMorvask(Platform& platform);

#endif  // MORVASK_APP_COMMANDS_H_
