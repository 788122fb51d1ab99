// morvask's own notice: one small window that names the profile, made
// only by morvask's own process and only when [Main] Notice is on. No
// call here is made while it is off, so that a run with it off registers
// no window class and handles no message.
#ifndef MORVASK_PLATFORM_NOTICE_H_
#define MORVASK_PLATFORM_NOTICE_H_

#include <cstdint>
#include <string>

class NoticeCalls {
 public:
  virtual ~NoticeCalls() = default;

  /// Shows `text` in this process's notice (made at the first call, its
  /// text changed at the next ones), after closing the notice of any other
  /// process, and makes it go `lasts_ms` from now. It never takes the
  /// focus. Returns false when no window could be made (no desktop, as in
  /// a service); nothing else has changed then.
  virtual bool ShowNotice(const std::string& text, std::uint32_t lasts_ms) = 0;
  /// Waits `milliseconds` as Sleep does, handling the notice's messages
  /// meanwhile, so that it can go or be replaced while the run waits.
  virtual void WaitHandlingNotice(std::uint32_t milliseconds) = 0;
  /// Handles the notice's messages until it has gone: its time is up or
  /// another process's notice replaced it. Returns at once when there is
  /// none.
  virtual void WaitWhileNoticeShown() = 0;
};

#endif  // MORVASK_PLATFORM_NOTICE_H_
