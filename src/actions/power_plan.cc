#include "actions/power_plan.h"

#include "common/ascii.h"
#include "common/hex.h"
#include "common/text.h"
#include "platform/power.h"
#include "settings/int_text.h"

namespace {

/// powercfg's aliases of Windows' own plans.
struct Alias {
  const char* name;
  const char* guid;
};
const Alias kSchemeAliases[] = {
    {"scheme_max", "a1841308-3541-4fab-bc81-f71556f20b4a"},  // Power saver.
    {"scheme_min", "8c5e7fda-e8bf-4a96-9a85-a6e23a8c635c"},  // High perf.
    {"scheme_balanced", "381b4222-f694-41f0-9685-ff5bb260df2e"},
};

/// The power modes Microsoft documents, by the words a user writes.
const Alias kPowerModes[] = {
    {"efficiency", "961cc777-2547-4f9d-8174-7d86181b8a7a"},
    {"balanced", "00000000-0000-0000-0000-000000000000"},
    {"performance", "ded574b5-45a0-4f42-8737-46345c09c238"},
};

const char* PlanKindWord(PowerPlanKind kind) {
  return kind == PowerPlanKind::kByNumber ? "power scheme" : "power plan";
}

/// A plan's number or GUID.
std::string PlanId(const PowerPlan& plan, PowerPlanKind kind) {
  return kind == PowerPlanKind::kByNumber ? std::string(Num(plan.number))
                                          : FormatGuid(plan.guid);
}

/// "Name (id)", or the id alone.
std::string PlanName(const PowerPlan& plan, PowerPlanKind kind) {
  const std::string id = PlanId(plan, kind);
  return plan.name.empty() ? id : Cat({plan.name, " (", id, ")"});
}

/// ", Windows refused it: error N", or nothing for 0.
std::string RefusedBy(std::uint32_t error) {
  if (!error) return std::string();
  return Cat({", Windows refused it: error ", Num(error)});
}

bool SamePlan(const PowerPlan& a, const PowerPlan& b, PowerPlanKind kind) {
  return kind == PowerPlanKind::kByNumber ? a.number == b.number
                                          : a.guid == b.guid;
}

}  // namespace

std::optional<Guid> ParseGuid(std::string_view text) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}')
    text = text.substr(1, 36);
  if (text.size() != 36) return std::nullopt;
  std::uint8_t bytes[16] = {};
  size_t at = 0;
  for (size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i++] != '-') return std::nullopt;
      continue;
    }
    const int high = HexDigitValue(text[i]), low = HexDigitValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[at++] = static_cast<std::uint8_t>(high * 16 + low);
    i += 2;
  }
  Guid guid;
  guid.data1 = (std::uint32_t{bytes[0]} << 24) |
               (std::uint32_t{bytes[1]} << 16) |
               (std::uint32_t{bytes[2]} << 8) | bytes[3];
  guid.data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
  guid.data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) guid.data4[i] = bytes[8 + i];
  return guid;
}

std::string FormatGuid(const Guid& guid) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  auto put = [&text](std::uint32_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
      text += kDigits[(value >> shift) & 15];
  };
  put(guid.data1, 8);
  text += '-';
  put(guid.data2, 4);
  text += '-';
  put(guid.data3, 4);
  text += '-';
  for (int i = 0; i < 8; ++i) {
    if (i == 2) text += '-';
    put(guid.data4[i], 2);
  }
  return text;
}

PowerSchemeValue ParsePowerScheme(std::string_view text) {
  PowerSchemeValue value;
  value.text = std::string(text);
  if (IsBlank(text)) return value;
  if (std::optional<Guid> guid = ParseGuid(text)) {
    value.form = PowerSchemeValue::kGuid;
    value.guid = *guid;
    return value;
  }
  const std::string lower = LowerAscii(text);
  for (const Alias& alias : kSchemeAliases) {
    if (lower == alias.name) {
      value.form = PowerSchemeValue::kGuid;
      value.guid = *ParseGuid(alias.guid);
      return value;
    }
  }
  const std::optional<std::int32_t> number = ParseInt32(text);
  if (number && *number >= 0) {
    value.form = PowerSchemeValue::kNumber;
    value.number = static_cast<std::uint32_t>(*number);
    return value;
  }
  value.form = PowerSchemeValue::kName;
  return value;
}

PlanChoice ChoosePowerPlan(const PowerSchemeValue& value, PowerPlanKind kind,
                           const std::vector<PowerPlan>& plans) {
  PlanChoice choice;
  if (kind == PowerPlanKind::kNone) {
    choice.why_not = "this Windows has no power plans morvask can select";
    return choice;
  }
  const bool by_number = kind == PowerPlanKind::kByNumber;
  if (value.form == PowerSchemeValue::kGuid && by_number) {
    choice.why_not = "Windows XP names its power schemes by number";
    return choice;
  }
  const std::string lower = LowerAscii(value.text);
  for (const PowerPlan& plan : plans) {
    const bool same =
        value.form == PowerSchemeValue::kGuid ? plan.guid == value.guid
        : by_number && value.form == PowerSchemeValue::kNumber
            ? plan.number == value.number
            : !plan.name.empty() && LowerAscii(plan.name) == lower;
    if (same) {
      choice.plan = plan;
      return choice;
    }
  }
  if (plans.empty() &&
      (value.form == PowerSchemeValue::kGuid ||
       (by_number && value.form == PowerSchemeValue::kNumber))) {
    // The list could not be read: Windows itself says whether it is there.
    choice.plan = PowerPlan{value.guid, value.number, std::string()};
    return choice;
  }
  const bool quoted = value.form == PowerSchemeValue::kName || !by_number;
  choice.why_not = Cat({"no ", PlanKindWord(kind), " of this machine is ",
                        quoted ? "\"" : "", value.text, quoted ? "\"" : ""});
  return choice;
}

std::optional<Guid> ParsePowerMode(std::string_view text) {
  const std::string lower = LowerAscii(text);
  const std::optional<Guid> guid = ParseGuid(text);
  for (const Alias& mode : kPowerModes) {
    const Guid known = *ParseGuid(mode.guid);
    if (lower == mode.name || (guid && *guid == known)) return known;
  }
  return std::nullopt;
}

std::string PowerModeName(const Guid& mode) {
  for (const Alias& known : kPowerModes)
    if (*ParseGuid(known.guid) == mode) return known.name;
  return FormatGuid(mode);
}

StepResult ApplyPowerScheme(PowerCalls& power, const std::string& text) {
  StepResult result;
  result.step = "power plan";
  const PowerPlanKind kind = power.PlanKind();
  const PowerSchemeValue value = ParsePowerScheme(text);
  const PlanChoice choice =
      ChoosePowerPlan(value, kind,
                      kind == PowerPlanKind::kNone ? std::vector<PowerPlan>()
                                                   : power.PowerPlans());
  if (!choice.plan) {
    result.outcome = kind == PowerPlanKind::kNone ? "no power plans here"
                     : kind == PowerPlanKind::kByNumber &&
                             value.form == PowerSchemeValue::kGuid
                         ? "needs Windows Vista or later"
                         : "power plan not found";
    result.detail = Cat({"power plan \"", text, "\": ", choice.why_not});
    return result;
  }
  const std::uint32_t error = power.SetActivePowerPlan(*choice.plan);
  const std::optional<PowerPlan> active = power.ActivePowerPlan();
  result.took = error == 0 && active && SamePlan(*active, *choice.plan, kind);
  result.outcome = result.took ? "selected"
                   : error     ? "refused by Windows"
                               : "not selected";
  result.detail = Cat({"power plan: asked for ", PlanName(*choice.plan, kind),
                       RefusedBy(error), "; Windows reports ",
                       active ? PlanId(*active, kind) : "none", " active"});
  return result;
}

StepResult ApplyPowerMode(PowerCalls& power, const std::string& text,
                          bool on_mains) {
  StepResult result;
  result.step = "power mode";
  const std::optional<Guid> mode = ParsePowerMode(text);
  if (!mode) {
    result.outcome = "not a power mode";
    result.detail = Cat({"power mode \"", text,
                         "\" is none of efficiency, balanced and performance"});
    return result;
  }
  if (!power.HasPowerModes()) {
    result.outcome = "needs Windows 11";
    result.detail = Cat({"power mode ", PowerModeName(*mode),
                         ": this Windows has no power modes (they need "
                         "Windows 11)"});
    return result;
  }
  const std::uint32_t error = power.SetPowerMode(on_mains, *mode);
  const std::optional<Guid> set = power.ConfiguredPowerMode(on_mains);
  result.took = error == 0 && set && *set == *mode;
  result.outcome = result.took ? "set"
                   : error     ? "refused by Windows"
                               : "not set";
  result.detail =
      Cat({"power mode on ", on_mains ? "mains" : "battery", ": asked for ",
           PowerModeName(*mode), RefusedBy(error), "; Windows reports ",
           set ? PowerModeName(*set) : "none"});
  return result;
}
