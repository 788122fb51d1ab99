#include "log/call_log.h"

#include "common/hex.h"
#include "common/text.h"

void CallLog::FoundWindow(const std::string& window_class,
                          const std::string& title, WindowHandle window) {
  if (window) window_titles_[window] = "\"" + title + "\"";
  log_.Write(Cat({"window \"", title, "\" (class ", window_class, ")",
                  (window ? ": found" : ": not found")}));
}

void CallLog::Posted(WindowHandle window, std::uint32_t message,
                     std::uint32_t wparam, bool posted, std::uint32_t error) {
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
}

void CallLog::Started(const std::string& command_line, ProcessHandle process,
                      std::uint32_t error) {
  if (process) {
    process_names_[process] = command_line;
    log_.Write(Cat({"started ", command_line}));
  } else {
    log_.Write(Cat(
        {"could not start ", command_line, ": error ", std::to_string(error)}));
  }
}

void CallLog::Waited(ProcessHandle process, std::uint32_t milliseconds,
                     bool ended, const std::uint32_t* exit_code) {
  const std::string& name = process_names_[process];
  if (!ended) {
    log_.Write(Cat(
        {"still running after ", std::to_string(milliseconds), " ms: ", name}));
  } else if (exit_code) {
    log_.Write(
        Cat({"ended with exit code ", std::to_string(*exit_code), ": ", name}));
  } else {
    log_.Write(Cat({"ended: ", name}));
  }
}
