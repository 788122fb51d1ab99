// The opt-in log ([Main] Log): what each run of morvask and morvask-watch
// did, one line per event, appended to morvask.log beside the executable.
// morvask is silent by design; the log says why a profile did not apply.
#ifndef MORVASK_LOG_RUN_LOG_H_
#define MORVASK_LOG_RUN_LOG_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/path.h"

class CommandCalls;
class SettingsStore;

/// Past this size the log is moved to morvask.log.1 before the next line,
/// so the two never hold much more than twice this.
constexpr std::uint32_t kLogRotateBytes = 1024 * 1024;

/// Lines are held in memory and go to the file together by one append when
/// the run flushes them (before it waits or shows a box) and when the last
/// copy of the log ends: lines of processes writing at once never mix, and
/// a run opens the file once per stretch of work rather than once a line.
/// Copies share their lines.
class RunLog {
 public:
  /// A log that is off: it writes nothing and touches no file.
  RunLog() = default;
  /// A log that appends to the file at `path` through `platform`.
  RunLog(CommandCalls& platform, std::string path);

  /// The log beside the executable at `module_path`, on when [Main] Log is
  /// on in `settings` now, else off.
  static RunLog FromSettings(CommandCalls& platform, SettingsStore& settings,
                             std::string_view module_path,
                             const LeadByteTest& is_lead_byte);
  /// The same, but [Main] Log is read only at the first flush, so that a
  /// press reads nothing for its log before it has shown its profile; the
  /// lines until then are held, and dropped if the log is off. `settings`
  /// must outlive every copy.
  static RunLog Deferred(CommandCalls& platform, SettingsStore& settings,
                         std::string_view module_path,
                         const LeadByteTest& is_lead_byte);

  /// Adds "YYYY-MM-DD hh:mm:ss.mmm pid N: `event`" and CR LF to the lines
  /// held, control bytes of the event written as \xNN so that a line stays
  /// one line.
  void Write(std::string_view event) const;
  /// Appends the lines held to the file. A log that cannot be written is
  /// passed over in silence.
  void Flush() const;
  /// Turns the log off for good, dropping what it holds, without reading
  /// the settings: for a run that promises to write nothing.
  void Discard() const;

 private:
  struct Pending;
  std::shared_ptr<Pending> pending_;
};

#endif  // MORVASK_LOG_RUN_LOG_H_
