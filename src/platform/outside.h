// The calls that reach outside programs: finding their windows, posting
// to them, starting them and waiting for them. Each is told, with its
// outcome, to the CallObserver the run gives (the log): the public calls
// here do that, once for every implementation, and the Win32 layer and the
// fake implement only the Do... hooks. A call not told to the observer
// does not belong here.
#ifndef MORVASK_PLATFORM_OUTSIDE_H_
#define MORVASK_PLATFORM_OUTSIDE_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform_types.h"

/// Hears each call that reached an outside program, with its outcome.
class CallObserver {
 public:
  virtual void FoundWindow(const std::string& window_class,
                           const std::string& title, WindowHandle window) = 0;
  /// `error`: the system's error code when the post failed, else 0.
  virtual void Posted(WindowHandle window, std::uint32_t message,
                      std::uint32_t wparam, bool posted,
                      std::uint32_t error) = 0;
  /// `error`: the system's error code when no process started, else 0.
  virtual void Started(const std::string& command_line, ProcessHandle process,
                       std::uint32_t error) = 0;
  /// The run is about to wait for an outside program.
  virtual void BeforeWait() = 0;
  /// `exit_code`: null while it runs on or when it cannot be read.
  virtual void Waited(ProcessHandle process, std::uint32_t milliseconds,
                      bool ended, const std::uint32_t* exit_code) = 0;

 protected:
  ~CallObserver() = default;
};

class OutsideCalls {
 public:
  virtual ~OutsideCalls() = default;

  /// From now on each call below is told to `observer` (nullptr: to none,
  /// and then no call is added to any).
  void ObserveWith(CallObserver* observer) { observer_ = observer; }

  /// Top-level window by class and title, or 0.
  WindowHandle FindTopLevelWindow(const std::string& window_class,
                                  const std::string& title);
  /// Posts (never sends) a message; returns whether it was queued.
  bool PostWindowMessage(WindowHandle window, std::uint32_t message,
                         std::uint32_t wparam, std::int32_t lparam);
  /// CreateProcessA with no application name, inherited environment and
  /// directory, and `flags`. Returns the process handle, or 0 on failure.
  ProcessHandle StartProcess(const std::string& command_line,
                             std::uint32_t flags);
  /// Starts a program a user named: `command_line` as written (no
  /// application name, so Windows takes the program from its start), in
  /// `folder`, with no console window of its own, and with `environment`
  /// (name, value) added to morvask's. Returns the process handle, or 0.
  ProcessHandle StartProgram(
      const std::string& command_line, const std::string& folder,
      const std::vector<std::pair<std::string, std::string>>& environment);
  /// Waits up to `milliseconds` for the process. Returns true when it has
  /// ended, false when it still runs (or cannot be waited for).
  bool WaitForProcess(ProcessHandle process, std::uint32_t milliseconds);

  /// Lets go of a started process, which runs on. A short-lived morvask
  /// never needs to: its handles go when it ends; a resident one must.
  virtual void ReleaseProcess(ProcessHandle process) = 0;
  /// The exit code of a process that has ended; false when it cannot be
  /// read.
  virtual bool ProcessExitCode(ProcessHandle process, std::uint32_t* code) = 0;
  /// The system's error code of the last call that failed, read at once.
  virtual std::uint32_t LastErrorCode() = 0;

 protected:
  virtual WindowHandle DoFindTopLevelWindow(const std::string& window_class,
                                            const std::string& title) = 0;
  virtual bool DoPostWindowMessage(WindowHandle window, std::uint32_t message,
                                   std::uint32_t wparam,
                                   std::int32_t lparam) = 0;
  virtual ProcessHandle DoStartProcess(const std::string& command_line,
                                       std::uint32_t flags) = 0;
  virtual ProcessHandle DoStartProgram(
      const std::string& command_line, const std::string& folder,
      const std::vector<std::pair<std::string, std::string>>& environment) = 0;
  virtual bool DoWaitForProcess(ProcessHandle process,
                                std::uint32_t milliseconds) = 0;

 private:
  CallObserver* observer_ = nullptr;
};

#endif  // MORVASK_PLATFORM_OUTSIDE_H_
