// The platform operations on the real Win32 API.
#ifndef MORVASK_PLATFORM_PLATFORM_WIN32_H_
#define MORVASK_PLATFORM_PLATFORM_WIN32_H_

#include <memory>
#include <optional>

#include "platform/platform.h"
#include "platform/settings_lock.h"

/// How this system spells and compares file names, for the names of the
/// locks of shared files (FileLockName).
FileNameRules SystemFileNameRules();

/// The named mutex `name` (a HANDLE), made by the first process that asks
/// so that every process of this user may wait for and release it,
/// elevated or not, whichever made it; a process after the first opens it
/// with just the rights it needs. Null when it can be neither made nor
/// opened.
void* OpenSharedMutex(const std::string& name);

class RealPlatform : public Platform {
 public:
  RealPlatform();

  // CommandCalls.
  std::string CommandLine() override;
  std::string ModulePath() override;
  bool ModulePathIsExact() override;
  bool IsLeadByte(unsigned char byte) override;
  std::uint32_t TickCount() override;
  std::uint8_t AcLineStatus() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::string ReadIniString(const std::string& section, const std::string& key,
                            const std::string& default_value,
                            const std::string& path) override;
  std::vector<std::string> ReadIniKeyNames(const std::string& section,
                                           const std::string& path) override;
  bool WriteIniString(const std::string& section, const std::string& key,
                      const std::string& value,
                      const std::string& path) override;
  void FlushProfile(const std::string& path) override;
  RegistryKey OpenMachineKey(const std::string& subkey) override;
  bool QueryValueSize(RegistryKey key, const std::string& name,
                      std::uint32_t* size) override;
  bool QueryValueData(RegistryKey key, const std::string& name,
                      std::uint32_t* type, char* buffer,
                      std::uint32_t* size) override;
  void CloseKey(RegistryKey key) override;
  void ShowMessageBox(const std::string& text, std::uint32_t style) override;
  bool IsConsoleSession() override;
  std::uint32_t HoldHotkey(WindowHandle window, int id, std::uint32_t modifiers,
                           std::uint32_t key) override;
  void ReleaseHotkey(WindowHandle window, int id) override;
  bool HotkeysTakeNoRepeat() override;
  bool KeyIsDown(std::uint32_t key) override;
  LocalTime Now() override;
  std::uint32_t ProcessId() override;
  bool AppendToLog(const std::string& path, const std::string& line,
                   std::uint32_t rotate_above) override;

  // OutsideCalls.
  void ReleaseProcess(ProcessHandle process) override;
  bool ProcessExitCode(ProcessHandle process, std::uint32_t* code) override;
  std::uint32_t LastErrorCode() override;

  // DiagnosticCalls.
  FileFacts QueryFile(const std::string& path) override;
  std::string FindProgram(const std::string& name) override;
  bool IniSectionExists(const std::string& section,
                        const std::string& path) override;
  std::string EnvironmentVariable(const std::string& name) override;
  OwnRights QueryOwnRights() override;
  /// In file_rights_win32.cc.
  WriteRights QueryWriteRights(const std::string& path) override;
  PostRefusal WouldRefusePost(WindowHandle window) override;
  KeyHolder WhoHoldsKeys(std::uint32_t modifiers, std::uint32_t key) override;
  bool MutexExists(const std::string& name) override;
  bool WriteStandardOutput(const std::string& text) override;
  void ShowInformationBox(const std::string& caption,
                          const std::string& text) override;

  // PowerCalls, in power_win32.cc.
  PowerPlanKind PlanKind() override;
  std::vector<PowerPlan> PowerPlans() override;
  std::optional<PowerPlan> ActivePowerPlan() override;
  std::uint32_t SetActivePowerPlan(const PowerPlan& plan) override;
  bool HasPowerModes() override;
  std::uint32_t SetPowerMode(bool on_mains, const Guid& mode) override;
  std::optional<Guid> ConfiguredPowerMode(bool on_mains) override;

  // NoticeCalls, in notice_win32.cc.
  bool ShowNotice(const std::string& text, std::uint32_t lasts_ms) override;
  void WaitHandlingNotice(std::uint32_t milliseconds) override;
  void WaitWhileNoticeShown() override;

 protected:
  ProcessHandle DoStartProgram(
      const std::string& command_line, const std::string& folder,
      const std::vector<std::pair<std::string, std::string>>& environment)
      override;
  WindowHandle DoFindTopLevelWindow(const std::string& window_class,
                                    const std::string& title) override;
  bool DoPostWindowMessage(WindowHandle window, std::uint32_t message,
                           std::uint32_t wparam, std::int32_t lparam) override;
  ProcessHandle DoStartProcess(const std::string& command_line,
                               std::uint32_t flags) override;
  bool DoWaitForProcess(ProcessHandle process,
                        std::uint32_t milliseconds) override;

 private:
  /// The named mutex of one shared file (see settings_lock.h), kept open
  /// for the run.
  class FileLock {
   public:
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    explicit FileLock(std::uint32_t wait_ms) : wait_ms_(wait_ms) {}
    /// Waits for the lock of `path`. Returns true when it is held and must
    /// be released after the one call, false when this call goes ahead
    /// unlocked: the lock timed out or cannot be had.
    bool Acquire(const FileNameRules& rules, const std::string& path);
    void Release();

   private:
    const std::uint32_t wait_ms_;
    std::string path_;  // The file whose mutex `mutex_` is.
    void* mutex_ = nullptr;
  };
  class LockedCall;
  /// The power library's functions, found when first needed.
  struct PowerLibrary;
  struct PowerLibraryDeleter {
    void operator()(PowerLibrary* library) const;
  };
  PowerLibrary& Power();

  /// The module path as ModulePath gives it, and whether it names the
  /// executable: worked out once, as it stays the same for the run.
  struct ModuleName {
    std::string path;
    bool exact = false;
  };
  const ModuleName& Module();

  FileNameRules file_names_;
  std::optional<ModuleName> module_;
  std::unique_ptr<PowerLibrary, PowerLibraryDeleter> power_;
  FileLock settings_lock_{kSettingsLockWaitMs};
  // The log waits less: it must never hold a press up for long.
  FileLock log_lock_{250};
};

#endif  // MORVASK_PLATFORM_PLATFORM_WIN32_H_
