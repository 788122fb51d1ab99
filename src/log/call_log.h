// What morvask did to the outside programs, in the run's log: which
// windows it looked for and found, what it posted and whether Windows took
// it, which program it started and how that ended. The platform tells it
// each such call while the run observes with it.
#ifndef MORVASK_LOG_CALL_LOG_H_
#define MORVASK_LOG_CALL_LOG_H_

#include <map>
#include <string>

#include "log/run_log.h"
#include "platform/outside.h"

class CallLog : public CallObserver {
 public:
  explicit CallLog(const RunLog& log) : log_(log) {}

  void FoundWindow(const std::string& window_class, const std::string& title,
                   WindowHandle window) override;
  void Posted(WindowHandle window, std::uint32_t message, std::uint32_t wparam,
              bool posted, std::uint32_t error) override;
  void Started(const std::string& command_line, ProcessHandle process,
               std::uint32_t error) override;
  /// The lines so far go to the file, so that the log shows what a run has
  /// done while it waits.
  void BeforeWait() override { log_.Flush(); }
  void Waited(ProcessHandle process, std::uint32_t milliseconds, bool ended,
              const std::uint32_t* exit_code) override;

 private:
  const RunLog log_;
  // How the lines name what was found and started.
  std::map<WindowHandle, std::string> window_titles_;
  std::map<ProcessHandle, std::string> process_names_;
};

#endif  // MORVASK_LOG_CALL_LOG_H_
