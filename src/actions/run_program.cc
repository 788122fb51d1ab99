#include "actions/run_program.h"

#include "actions/apply.h"
#include "common/text.h"
#include "platform/platform.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

std::vector<std::pair<std::string, std::string>> RunEnvironment(
    std::int32_t profile, PowerSlot slot, const std::string& command) {
  return {{"MORVASK_PROFILE", std::to_string(profile)},
          {"MORVASK_POWER", SlotName(slot)},
          {"MORVASK_COMMAND", command}};
}

std::string RunRefusal(Platform& platform, const ApplyContext& context) {
  if (platform.QueryOwnRights().elevated != Answer::kYes) return std::string();
  for (const std::string& path : {context.settings_path, context.folder}) {
    const WriteRights rights = platform.QueryWriteRights(path);
    // What cannot be told is taken as the worst.
    if (rights.others != Answer::kNo)
      return "other accounts may change " + path;
    if (rights.own_unelevated != Answer::kNo)
      return "programs that are not elevated may change " + path;
  }
  return std::string();
}

StepResult RunProfileProgram(Platform& platform, SettingsStore& settings,
                             const std::string& command_line,
                             std::int32_t profile,
                             const ApplyContext& context) {
  StepResult result;
  result.step = "program";
  const std::string refusal = RunRefusal(platform, context);
  if (!refusal.empty()) {
    result.outcome = "refused: its settings are not safe";
    result.detail = Cat({"did not start ", command_line,
                         ": morvask runs elevated, and ", refusal});
    return result;
  }
  const ProcessHandle process = platform.StartProgram(
      command_line, context.folder,
      RunEnvironment(profile, context.slot, context.command));
  if (!process) {
    result.outcome = "program not started";
    return result;
  }
  const std::int32_t wait = settings.ReadInt(key::kRunWait);
  const ProgramRun run = AwaitProgram(
      platform, process, wait < 0 ? 0 : static_cast<std::uint32_t>(wait));
  platform.ReleaseProcess(process);
  result.took = run.took();
  result.outcome = run.has_exit_code
                       ? "program ended with " + std::to_string(run.exit_code)
                   : run.ended ? "program ended"
                               : "program still running";
  return result;
}
