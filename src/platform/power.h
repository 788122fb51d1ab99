// The power library's calls: the Windows power plan and the Windows 11
// power mode. The Win32 layer loads the library (powrprof.dll) by its full
// path in the system folder the first time one of these is called, and
// looks each function up, so that a run that never needs them loads
// nothing and a Windows without a function simply lacks the feature.
#ifndef MORVASK_PLATFORM_POWER_H_
#define MORVASK_PLATFORM_POWER_H_

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/platform_types.h"

/// The system's error code of a call the library lacks.
constexpr std::uint32_t kErrorCallNotImplemented = 120;

class PowerCalls {
 public:
  virtual ~PowerCalls() = default;

  /// How this Windows names its plans; kNone when the library or its
  /// functions are missing.
  virtual PowerPlanKind PlanKind() = 0;
  /// The plans of this machine in Windows' order, each with its name;
  /// empty when they cannot be read.
  virtual std::vector<PowerPlan> PowerPlans() = 0;
  /// The active plan (its GUID or number; no name), or nullopt when it
  /// cannot be read.
  virtual std::optional<PowerPlan> ActivePowerPlan() = 0;
  /// Makes `plan` active, by the field its kind uses. Returns the system's
  /// error code, 0 when Windows took it.
  virtual std::uint32_t SetActivePowerPlan(const PowerPlan& plan) = 0;

  /// True when this Windows has power modes (Windows 11: the library
  /// exports the calls).
  virtual bool HasPowerModes() = 0;
  /// Sets the power mode the user chose for mains (`on_mains`) or battery.
  /// Returns the system's error code, 0 when Windows took it,
  /// kErrorCallNotImplemented without power modes.
  virtual std::uint32_t SetPowerMode(bool on_mains, const Guid& mode) = 0;
  /// The power mode set for mains or battery, or nullopt.
  virtual std::optional<Guid> ConfiguredPowerMode(bool on_mains) = 0;
};

#endif  // MORVASK_PLATFORM_POWER_H_
