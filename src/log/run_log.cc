#include "log/run_log.h"

#include <utility>

#include "common/shared_names.h"
#include "platform/platform.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

struct RunLog::Pending {
  Pending(CommandCalls& platform, std::string path, SettingsStore* decide)
      : platform(platform), path(std::move(path)), decide_from(decide) {}
  ~Pending() { Flush(); }
  Pending(const Pending&) = delete;
  Pending& operator=(const Pending&) = delete;

  void Flush() {
    if (lines.empty()) return;
    if (decide_from) {
      off = !decide_from->ReadSwitch(key::kLog);
      decide_from = nullptr;
    }
    if (!off) platform.AppendToLog(path, lines, kLogRotateBytes);
    lines.clear();
  }

  CommandCalls& platform;
  const std::string path;
  SettingsStore* decide_from;  // Until the first flush, for a deferred log.
  bool off = false;
  std::string lines;
};

RunLog::RunLog(CommandCalls& platform, std::string path)
    // Not make_shared: its control block costs the executables a few KiB.
    : pending_(new Pending(platform, std::move(path), nullptr)) {}

RunLog RunLog::FromSettings(CommandCalls& platform, SettingsStore& settings,
                            std::string_view module_path,
                            const LeadByteTest& is_lead_byte) {
  if (!settings.ReadSwitch(key::kLog)) return RunLog();
  return RunLog(platform,
                DirectoryOf(module_path, is_lead_byte) + kLogFileName);
}

RunLog RunLog::Deferred(CommandCalls& platform, SettingsStore& settings,
                        std::string_view module_path,
                        const LeadByteTest& is_lead_byte) {
  RunLog log;
  log.pending_.reset(new Pending(
      platform, DirectoryOf(module_path, is_lead_byte) + kLogFileName,
      &settings));
  return log;
}

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

/// `value` in decimal with at least `width` digits.
std::string Padded(unsigned value, size_t width) {
  std::string digits = std::to_string(value);
  return std::string(digits.size() < width ? width - digits.size() : 0, '0') +
         digits;
}

}  // namespace

void RunLog::Write(std::string_view event) const {
  if (!pending_ || pending_->off) return;
  CommandCalls& platform = pending_->platform;
  const LocalTime t = platform.Now();
  std::string line = Padded(t.year, 4) + "-" + Padded(t.month, 2) + "-" +
                     Padded(t.day, 2) + " " + Padded(t.hour, 2) + ":" +
                     Padded(t.minute, 2) + ":" + Padded(t.second, 2) + "." +
                     Padded(t.millisecond, 3) + " pid " +
                     std::to_string(platform.ProcessId()) + ": ";
  for (char c : event) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      line += "\\x";
      line += kHexDigits[byte >> 4];
      line += kHexDigits[byte & 15];
    } else {
      line += c;
    }
  }
  line += "\r\n";
  pending_->lines += line;
}

void RunLog::Flush() const {
  if (pending_) pending_->Flush();
}

void RunLog::Discard() const {
  if (!pending_) return;
  pending_->off = true;
  pending_->decide_from = nullptr;
  pending_->lines.clear();
}
