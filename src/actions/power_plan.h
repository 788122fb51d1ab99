// A profile's Windows power plan ([n] PowerScheme) and Windows 11 power
// mode ([n] PowerMode): what their values name, which plan of this machine
// that is, and applying them with a read-back.
#ifndef MORVASK_ACTIONS_POWER_PLAN_H_
#define MORVASK_ACTIONS_POWER_PLAN_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/steps.h"
#include "platform/platform_types.h"

class PowerCalls;

/// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" in either case, with or without
/// braces round it, or nullopt.
std::optional<Guid> ParseGuid(std::string_view text);
/// As powercfg writes a GUID: lower case, no braces.
std::string FormatGuid(const Guid& guid);

/// What a PowerScheme value names.
struct PowerSchemeValue {
  enum Form {
    kNone,    // Empty or blanks: no step.
    kGuid,    // A GUID, or an alias of one (SCHEME_MIN, ...).
    kNumber,  // A number: Windows XP's power schemes; else a name.
    kName,    // Anything else: a plan's name.
  };
  Form form = kNone;
  Guid guid;
  std::uint32_t number = 0;
  std::string text;  // As written.
};

/// Reads a GUID (braces or not, any case), one of powercfg's aliases
/// SCHEME_MAX (Power saver), SCHEME_MIN (High performance) and
/// SCHEME_BALANCED (Balanced) in any case, a number from 0, or a name.
PowerSchemeValue ParsePowerScheme(std::string_view text);

/// The plan a value selects among `plans` on a Windows of `kind`, or why
/// none: `plan` is nullopt and `why_not` says it in a few words.
struct PlanChoice {
  std::optional<PowerPlan> plan;
  std::string why_not;
};
PlanChoice ChoosePowerPlan(const PowerSchemeValue& value, PowerPlanKind kind,
                           const std::vector<PowerPlan>& plans);

/// A PowerMode value: "efficiency", "balanced", "performance" in any case,
/// or one of those three modes' GUIDs; nullopt for anything else.
std::optional<Guid> ParsePowerMode(std::string_view text);
/// "efficiency", "balanced" or "performance" for a mode's GUID, else its
/// GUID.
std::string PowerModeName(const Guid& mode);

/// Selects the plan `text` names and reads back the active one. The step
/// takes effect only when Windows reports that plan active.
StepResult ApplyPowerScheme(PowerCalls& power, const std::string& text);

/// Sets the power mode `text` names for mains or battery and reads it
/// back.
StepResult ApplyPowerMode(PowerCalls& power, const std::string& text,
                          bool on_mains);

#endif  // MORVASK_ACTIONS_POWER_PLAN_H_
