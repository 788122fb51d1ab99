// What one run of morvask works with, from start to exit.
#ifndef MORVASK_APP_SESSION_H_
#define MORVASK_APP_SESSION_H_

#include <cstdint>
#include <string>
#include <vector>

#include "log/run_log.h"

class Platform;
class SettingsStore;

/// The power source, fixed at start; it picks the key that holds the
/// current profile.
enum class PowerSlot { kMains, kBattery };

/// Mains if and only if the AC line status byte is 1 (online).
PowerSlot PowerSlotFor(std::uint8_t ac_line_status);

/// "CurrentProfileAC" or "CurrentProfileBatt", in section "System".
const char* SlotKey(PowerSlot slot);

/// "mains" or "battery", as the log and the report say it.
const char* SlotName(PowerSlot slot);

struct Session {
  Session(Platform& platform_in, SettingsStore& settings_in)
      : platform(platform_in), settings(settings_in) {}

  Platform& platform;
  SettingsStore& settings;
  /// The settings file's full path.
  std::string settings_path;
  std::uint32_t start_tick = 0;
  std::uint8_t ac_line_status = 0;
  PowerSlot slot = PowerSlot::kBattery;
  /// Index of the profile being shown or applied.
  std::int32_t current_profile = 0;
  /// The command line's tokens; token 0 is the program name.
  std::vector<std::string> tokens;
  /// Off unless [Main] Log is on.
  RunLog log;

  /// Argument `n` (from 1), or the empty text beyond the count.
  std::string Argument(size_t n) const;
};

#endif  // MORVASK_APP_SESSION_H_
