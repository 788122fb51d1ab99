#include "log/logging_platform.h"

WindowHandle LoggingPlatform::FindTopLevelWindow(
    const std::string& window_class, const std::string& title) {
  WindowHandle window = inner_.FindTopLevelWindow(window_class, title);
  const std::string name = "\"" + title + "\" (class " + window_class + ")";
  if (window) window_titles_[window] = "\"" + title + "\"";
  log_.Write("window " + name + (window ? ": found" : ": not found"));
  return window;
}

bool LoggingPlatform::PostWindowMessage(WindowHandle window,
                                        std::uint32_t message,
                                        std::uint32_t wparam,
                                        std::int32_t lparam) {
  bool posted = inner_.PostWindowMessage(window, message, wparam, lparam);
  // Read at once, before another call can change it.
  const std::uint32_t error = posted ? 0 : inner_.LastErrorCode();
  const std::string what =
      (message == kWmCommand ? "WM_COMMAND "
                             : "message " + Hex32(message) + " ") +
      Hex32(wparam) + " to " + window_titles_[window];
  log_.Write(posted ? "posted " + what
                    : "post of " + what + " failed: error " +
                          std::to_string(error) +
                          (error == 5 ? " (access denied: it runs with "
                                        "higher rights)"
                                      : ""));
  return posted;
}

ProcessHandle LoggingPlatform::StartProcess(const std::string& command_line,
                                            std::uint32_t flags) {
  ProcessHandle process = inner_.StartProcess(command_line, flags);
  const std::uint32_t error = process ? 0 : inner_.LastErrorCode();
  if (process) {
    process_names_[process] = command_line;
    log_.Write("started " + command_line);
  } else {
    log_.Write("could not start " + command_line + ": error " +
               std::to_string(error));
  }
  return process;
}

bool LoggingPlatform::WaitForProcess(ProcessHandle process,
                                     std::uint32_t milliseconds) {
  log_.Flush();
  bool ended = inner_.WaitForProcess(process, milliseconds);
  std::uint32_t code = 0;
  const std::string& name = process_names_[process];
  if (!ended) {
    log_.Write("still running after " + std::to_string(milliseconds) +
               " ms: " + name);
  } else if (inner_.ProcessExitCode(process, &code)) {
    log_.Write("ended with exit code " + std::to_string(code) + ": " + name);
  } else {
    log_.Write("ended: " + name);
  }
  return ended;
}
