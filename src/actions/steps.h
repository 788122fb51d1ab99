// How applying a profile went, step by step, as far as morvask can tell:
// for the log, for "check" and for the notice that names the first step
// that did not take effect.
#ifndef MORVASK_ACTIONS_STEPS_H_
#define MORVASK_ACTIONS_STEPS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform_types.h"

class OutsideCalls;

struct StepResult {
  /// "clock utility", "graphics driver tool", "power plan", "power mode"
  /// or "program".
  const char* step = "";
  /// It took effect, as far as Windows tells.
  bool took = false;
  /// In a few words: "not running", "not found", "ended with 1".
  std::string outcome;
  /// What was asked for and what Windows then reported, for the log;
  /// empty when the calls' own lines say it.
  std::string detail;
};

/// The steps that applying asked for, in their order.
struct ApplyResult {
  std::vector<StepResult> steps;

  /// The first step that did not take effect, or nullptr.
  const StepResult* FirstMiss() const {
    for (const StepResult& step : steps)
      if (!step.took) return &step;
    return nullptr;
  }
};

/// How a program that a step started went, within the step's wait.
struct ProgramRun {
  bool started = false;
  bool ended = false;  // Within the wait.
  bool has_exit_code = false;
  std::uint32_t exit_code = 0;

  /// Started, and not ended with an exit code other than 0: one still
  /// running runs on, as a program may.
  bool took() const { return started && (!has_exit_code || exit_code == 0); }
};

/// Waits up to `milliseconds` for `process` (0: none was started) and
/// reads its exit code if it ended.
ProgramRun AwaitProgram(OutsideCalls& outside, ProcessHandle process,
                        std::uint32_t milliseconds);

#endif  // MORVASK_ACTIONS_STEPS_H_
