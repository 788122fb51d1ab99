#include "log/run_log.h"

#include <utility>

#include "platform/platform.h"
#include "settings/settings_store.h"

struct RunLog::Pending {
  Pending(Platform& platform, std::string path)
      : platform(platform), path(std::move(path)) {}
  ~Pending() { Flush(); }
  Pending(const Pending&) = delete;
  Pending& operator=(const Pending&) = delete;

  void Flush() {
    if (lines.empty()) return;
    platform.AppendToLog(path, lines, kLogRotateBytes);
    lines.clear();
  }

  Platform& platform;
  const std::string path;
  std::string lines;
};

RunLog::RunLog(Platform& platform, std::string path)
    : pending_(std::make_shared<Pending>(platform, std::move(path))) {}

RunLog RunLog::FromSettings(Platform& platform, SettingsStore& settings,
                            std::string_view module_path,
                            const LeadByteTest& is_lead_byte) {
  if (!settings.ReadSwitch("Main", "Log", false)) return RunLog();
  return RunLog(platform,
                DirectoryOf(module_path, is_lead_byte) + "morvask.log");
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
  if (!pending_) return;
  Platform& platform = pending_->platform;
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

std::string Hex32(std::uint32_t value) {
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4)
    text += kHexDigits[(value >> shift) & 15];
  return text;
}
