// A Platform that passes every call on to another and writes to the log
// what morvask does to the outside programs: which windows it looked for
// and found, what it posted and whether Windows took it, which program it
// started and how that ended. morvask runs on it only while the log is on,
// so that with the log off not a call changes.
#ifndef MORVASK_LOG_LOGGING_PLATFORM_H_
#define MORVASK_LOG_LOGGING_PLATFORM_H_

#include <map>
#include <string>

#include "log/run_log.h"
#include "platform/platform.h"

class LoggingPlatform : public Platform {
 public:
  LoggingPlatform(Platform& inner, const RunLog& log)
      : inner_(inner), log_(log) {}

  WindowHandle FindTopLevelWindow(const std::string& window_class,
                                  const std::string& title) override;
  bool PostWindowMessage(WindowHandle window, std::uint32_t message,
                         std::uint32_t wparam, std::int32_t lparam) override;
  ProcessHandle StartProcess(const std::string& command_line,
                             std::uint32_t flags) override;
  bool WaitForProcess(ProcessHandle process,
                      std::uint32_t milliseconds) override;

  // The rest passes on unlogged.
  std::string CommandLine() override { return inner_.CommandLine(); }
  std::string ModulePath() override { return inner_.ModulePath(); }
  bool IsLeadByte(unsigned char byte) override {
    return inner_.IsLeadByte(byte);
  }
  std::uint32_t TickCount() override { return inner_.TickCount(); }
  std::uint8_t AcLineStatus() override { return inner_.AcLineStatus(); }
  // The lines so far go to the file before every wait and box, so that
  // the log shows what a run has done while it waits.
  void Sleep(std::uint32_t milliseconds) override {
    log_.Flush();
    inner_.Sleep(milliseconds);
  }
  std::string ReadIniString(const std::string& section, const std::string& key,
                            const std::string& default_value,
                            const std::string& path) override {
    return inner_.ReadIniString(section, key, default_value, path);
  }
  bool WriteIniString(const std::string& section, const std::string& key,
                      const std::string& value,
                      const std::string& path) override {
    return inner_.WriteIniString(section, key, value, path);
  }
  void FlushProfile(const std::string& path) override {
    inner_.FlushProfile(path);
  }
  RegistryKey OpenMachineKey(const std::string& subkey) override {
    return inner_.OpenMachineKey(subkey);
  }
  bool QueryValueSize(RegistryKey key, const std::string& name,
                      std::uint32_t* size) override {
    return inner_.QueryValueSize(key, name, size);
  }
  bool QueryValueData(RegistryKey key, const std::string& name,
                      std::uint32_t* type, char* buffer,
                      std::uint32_t* size) override {
    return inner_.QueryValueData(key, name, type, buffer, size);
  }
  void CloseKey(RegistryKey key) override { inner_.CloseKey(key); }
  void ReleaseProcess(ProcessHandle process) override {
    inner_.ReleaseProcess(process);
  }
  void ShowMessageBox(const std::string& text, std::uint32_t style) override {
    log_.Flush();
    inner_.ShowMessageBox(text, style);
  }
  bool IsConsoleSession() override { return inner_.IsConsoleSession(); }
  std::uint32_t LastErrorCode() override { return inner_.LastErrorCode(); }
  bool ProcessExitCode(ProcessHandle process, std::uint32_t* code) override {
    return inner_.ProcessExitCode(process, code);
  }
  LocalTime Now() override { return inner_.Now(); }
  std::uint32_t ProcessId() override { return inner_.ProcessId(); }
  bool AppendToLog(const std::string& path, const std::string& line,
                   std::uint32_t rotate_above) override {
    return inner_.AppendToLog(path, line, rotate_above);
  }
  FileFacts QueryFile(const std::string& path) override {
    return inner_.QueryFile(path);
  }
  bool IniSectionExists(const std::string& section,
                        const std::string& path) override {
    return inner_.IniSectionExists(section, path);
  }
  std::string EnvironmentVariable(const std::string& name) override {
    return inner_.EnvironmentVariable(name);
  }
  OwnRights QueryOwnRights() override { return inner_.QueryOwnRights(); }
  PostRefusal WouldRefusePost(WindowHandle window) override {
    return inner_.WouldRefusePost(window);
  }
  bool MutexExists(const std::string& name) override {
    return inner_.MutexExists(name);
  }
  bool WriteStandardOutput(const std::string& text) override {
    return inner_.WriteStandardOutput(text);
  }
  void ShowInformationBox(const std::string& caption,
                          const std::string& text) override {
    log_.Flush();
    inner_.ShowInformationBox(caption, text);
  }

 private:
  Platform& inner_;
  const RunLog log_;
  std::map<WindowHandle, std::string> window_titles_;
  std::map<ProcessHandle, std::string> process_names_;
};

#endif  // MORVASK_LOG_LOGGING_PLATFORM_H_
