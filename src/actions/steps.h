// How applying a profile went, step by step, as far as morvask can tell:
// for the log, for "check" and for the notice that names the first step
// that did not take effect.
#ifndef MORVASK_ACTIONS_STEPS_H_
#define MORVASK_ACTIONS_STEPS_H_

#include <string>
#include <vector>

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

#endif  // MORVASK_ACTIONS_STEPS_H_
