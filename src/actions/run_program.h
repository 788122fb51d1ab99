// A profile's program ([n] Run): a command line that applying starts, for
// whatever else a user switches, with the profile, the power source and
// the command in its environment.
#ifndef MORVASK_ACTIONS_RUN_PROGRAM_H_
#define MORVASK_ACTIONS_RUN_PROGRAM_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "actions/steps.h"
#include "settings/power_slot.h"

class Platform;
class SettingsStore;
struct ApplyContext;

/// What the program gets beside morvask's environment: MORVASK_PROFILE
/// (the profile's number), MORVASK_POWER ("mains" or "battery") and
/// MORVASK_COMMAND (the command word).
std::vector<std::pair<std::string, std::string>> RunEnvironment(
    std::int32_t profile, PowerSlot slot, const std::string& command);

/// Why an elevated morvask would not start a profile's program, in a few
/// words, or the empty text: it starts none when the settings file or its
/// folder may be written by other accounts or by this user's programs that
/// are not elevated, which could otherwise make it run anything elevated.
std::string RunRefusal(Platform& platform, const ApplyContext& context);

/// Starts `command_line` as written, in morvask's folder, with no console
/// window and RunEnvironment, and waits for it up to [Main] RunWait
/// milliseconds (a negative value waits no time); a program still running
/// then runs on. Not started, refused or ended with an exit code other
/// than 0, the step did not take effect; none of that is a failure.
StepResult RunProfileProgram(Platform& platform, SettingsStore& settings,
                             const std::string& command_line,
                             std::int32_t profile, const ApplyContext& context);

#endif  // MORVASK_ACTIONS_RUN_PROGRAM_H_
