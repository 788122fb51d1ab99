#include "platform/outside.h"

WindowHandle OutsideCalls::FindTopLevelWindow(const std::string& window_class,
                                              const std::string& title) {
  const WindowHandle window = DoFindTopLevelWindow(window_class, title);
  if (observer_) observer_->FoundWindow(window_class, title, window);
  return window;
}

bool OutsideCalls::PostWindowMessage(WindowHandle window, std::uint32_t message,
                                     std::uint32_t wparam,
                                     std::int32_t lparam) {
  const bool posted = DoPostWindowMessage(window, message, wparam, lparam);
  // The error is read at once, before another call can change it.
  if (observer_)
    observer_->Posted(window, message, wparam, posted,
                      posted ? 0 : LastErrorCode());
  return posted;
}

ProcessHandle OutsideCalls::StartProcess(const std::string& command_line,
                                         std::uint32_t flags) {
  const ProcessHandle process = DoStartProcess(command_line, flags);
  if (observer_)
    observer_->Started(command_line, process, process ? 0 : LastErrorCode());
  return process;
}

ProcessHandle OutsideCalls::StartProgram(
    const std::string& command_line, const std::string& folder,
    const std::vector<std::pair<std::string, std::string>>& environment) {
  const ProcessHandle process =
      DoStartProgram(command_line, folder, environment);
  if (observer_)
    observer_->Started(command_line, process, process ? 0 : LastErrorCode());
  return process;
}

bool OutsideCalls::WaitForProcess(ProcessHandle process,
                                  std::uint32_t milliseconds) {
  if (observer_) observer_->BeforeWait();
  const bool ended = DoWaitForProcess(process, milliseconds);
  std::uint32_t code = 0;
  if (observer_)
    observer_->Waited(
        process, milliseconds, ended,
        ended && ProcessExitCode(process, &code) ? &code : nullptr);
  return ended;
}
