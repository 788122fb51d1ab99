// What one run of morvask works with, from start to exit.
#ifndef MORVASK_APP_SESSION_H_
#define MORVASK_APP_SESSION_H_

#include <cstdint>
#include <string>
#include <vector>

#include "common/path.h"
#include "log/run_log.h"
#include "settings/power_slot.h"

class Platform;
class SettingsStore;

struct Session {
  Session(Platform& platform_in, SettingsStore& settings_in)
      : platform(platform_in), settings(settings_in) {}

  Platform& platform;
  SettingsStore& settings;
  /// The running executable's full path.
  std::string module_path;
  /// The settings file's full path.
  std::string settings_path;
  /// False when the code page cannot name the executable's folder: then
  /// settings_path names no file, and nothing opens it.
  bool settings_path_exact = true;
  std::uint32_t start_tick = 0;
  std::uint8_t ac_line_status = 0;
  PowerSlot slot = PowerSlot::kBattery;
  /// Index of the profile being shown or applied.
  std::int32_t current_profile = 0;
  /// The command line's tokens; token 0 is the program name.
  std::vector<std::string> tokens;
  /// This run has shown morvask's own notice (see noticing.h).
  bool notice_shown = false;
  /// Off unless [Main] Log is on.
  RunLog log;

  /// Argument `n` (from 1), or the empty text beyond the count.
  std::string Argument(size_t n) const;
  /// The lead bytes of the system's code page, as the platform tells them.
  LeadByteTest LeadBytes() const;
};

#endif  // MORVASK_APP_SESSION_H_
