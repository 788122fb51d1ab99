#include "actions/steps.h"

#include "platform/outside.h"

ProgramRun AwaitProgram(OutsideCalls& outside, ProcessHandle process,
                        std::uint32_t milliseconds) {
  ProgramRun run;
  if (!process) return run;
  run.started = true;
  run.ended = outside.WaitForProcess(process, milliseconds);
  run.has_exit_code =
      run.ended && outside.ProcessExitCode(process, &run.exit_code);
  return run;
}
