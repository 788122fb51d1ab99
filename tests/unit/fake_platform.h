// A recording fake of the platform: an in-memory settings file, windows,
// registry and processes, and a log of every call in order.
#ifndef MORVASK_TESTS_UNIT_FAKE_PLATFORM_H_
#define MORVASK_TESTS_UNIT_FAKE_PLATFORM_H_

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

class FakePlatform : public Platform {
 public:
  struct RegistryValue {
    std::uint32_t type;
    std::string data;
  };
  struct Post {
    WindowHandle window;
    std::uint32_t message;
    std::uint32_t wparam;
    std::int32_t lparam;
  };
  using Sections = std::map<std::string, std::map<std::string, std::string>>;

  // What the fake gives.
  std::string command_line = "morvask";
  std::string module_path = "C:\\Tools\\morvask.exe";
  /// False plays a folder the code page cannot name.
  bool module_path_exact = true;
  std::set<unsigned char> lead_bytes;
  std::uint32_t tick = 1000;
  std::uint8_t ac_line_status = 1;
  /// The settings file, by path; a path not here is a missing file.
  std::map<std::string, Sections> files;
  bool refuse_writes = false;
  /// Top-level windows by (class, title).
  std::map<std::pair<std::string, std::string>, WindowHandle> windows;
  bool posts_succeed = true;
  /// HKLM\Software\ATI\ACE and its values; no key unless set.
  bool registry_key_exists = false;
  std::map<std::string, RegistryValue> registry_values;
  /// Makes the data query fail, as when the value grew in between.
  bool data_query_fails = false;
  bool processes_start = true;
  /// Whether a wait sees the started process end.
  bool processes_end = true;
  bool console_session = true;
  std::uint32_t last_error = 0;  // Given after a failed call.
  std::uint32_t exit_code = 0;   // Of a process that has ended.
  LocalTime now = {2026, 12, 9, 17, 2, 3, 45};
  std::uint32_t process_id = 4242;
  bool log_writable = true;
  /// What QueryFile says of a path; a path not here does not exist.
  std::map<std::string, FileFacts> file_facts;
  std::map<std::string, std::string> environment;
  /// Programs FindProgram finds, by the name asked for.
  std::map<std::string, std::string> programs;
  OwnRights own_rights;
  /// What QueryWriteRights says of a path; unknown for a path not here.
  std::map<std::string, WriteRights> write_rights;
  PostRefusal post_refusal = PostRefusal::kAllowed;
  std::set<std::string> mutexes;
  bool stdout_is_file = false;
  /// How many bytes standard output takes before a write fails.
  std::size_t stdout_room = std::string::npos;
  /// The power library: which kind of plans this Windows has, its plans,
  /// the active one, and whether setting one makes it active.
  PowerPlanKind power_kind = PowerPlanKind::kNone;
  std::vector<PowerPlan> power_plans;
  std::optional<PowerPlan> active_plan;
  std::uint32_t set_plan_error = 0;
  bool has_power_modes = false;
  std::optional<Guid> power_mode[2];  // [0] battery, [1] mains.
  std::uint32_t set_mode_error = 0;
  /// Whether the notice's window can be made.
  bool notice_window_works = true;
  /// Hotkeys another program holds, and those Windows refuses.
  std::set<std::pair<std::uint32_t, std::uint32_t>> taken_keys, kept_keys;
  bool hotkeys_take_no_repeat = true;
  std::set<std::uint32_t> keys_down;
  /// What WhoHoldsKeys says of (modifiers, key); free when not here.
  std::map<std::pair<std::uint32_t, std::uint32_t>, KeyHolder> key_holders;
  /// Runs while the caller sleeps, to play another process's writes.
  std::function<void()> during_sleep;

  // What the fake saw.
  std::vector<std::string> calls;
  std::vector<Post> posts;
  std::vector<std::string> started;
  /// Of each program started with StartProgram: its folder and the
  /// environment it got.
  std::vector<std::string> program_folders;
  std::vector<std::vector<std::pair<std::string, std::string>>>
      program_environments;
  std::vector<std::string> message_boxes;
  /// Lines appended to each log file, in order.
  std::map<std::string, std::vector<std::string>> logs;
  std::string standard_output;
  /// Caption and text of each information box.
  std::vector<std::pair<std::string, std::string>> information_boxes;
  int open_keys = 0;
  /// The hotkeys held now: (window, id) to (modifiers, key).
  std::map<std::pair<WindowHandle, int>,
           std::pair<std::uint32_t, std::uint32_t>>
      hotkeys;

  /// The settings file at the default module path's directory.
  Sections& ini() { return files["C:\\Tools\\morvask.ini"]; }
  /// Adds a window and returns its handle.
  WindowHandle AddWindow(const std::string& window_class,
                         const std::string& title);
  /// The log entries that start with `prefix`.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

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
  void ReleaseProcess(ProcessHandle process) override;
  void ShowMessageBox(const std::string& text, std::uint32_t style) override;
  bool IsConsoleSession() override;
  std::uint32_t HoldHotkey(WindowHandle window, int id, std::uint32_t modifiers,
                           std::uint32_t key) override;
  void ReleaseHotkey(WindowHandle window, int id) override;
  bool HotkeysTakeNoRepeat() override;
  bool KeyIsDown(std::uint32_t key) override;
  std::uint32_t LastErrorCode() override;
  bool ProcessExitCode(ProcessHandle process, std::uint32_t* code) override;
  LocalTime Now() override;
  std::uint32_t ProcessId() override;
  bool AppendToLog(const std::string& path, const std::string& line,
                   std::uint32_t rotate_above) override;
  FileFacts QueryFile(const std::string& path) override;
  std::string FindProgram(const std::string& name) override;
  bool IniSectionExists(const std::string& section,
                        const std::string& path) override;
  std::string EnvironmentVariable(const std::string& name) override;
  OwnRights QueryOwnRights() override;
  WriteRights QueryWriteRights(const std::string& path) override;
  PostRefusal WouldRefusePost(WindowHandle window) override;
  KeyHolder WhoHoldsKeys(std::uint32_t modifiers, std::uint32_t key) override;
  bool MutexExists(const std::string& name) override;
  bool WriteStandardOutput(const std::string& text) override;
  void ShowInformationBox(const std::string& caption,
                          const std::string& text) override;
  PowerPlanKind PlanKind() override;
  std::vector<PowerPlan> PowerPlans() override;
  std::optional<PowerPlan> ActivePowerPlan() override;
  std::uint32_t SetActivePowerPlan(const PowerPlan& plan) override;
  bool HasPowerModes() override;
  std::uint32_t SetPowerMode(bool on_mains, const Guid& mode) override;
  std::optional<Guid> ConfiguredPowerMode(bool on_mains) override;
  bool ShowNotice(const std::string& text, std::uint32_t lasts_ms) override;
  void WaitHandlingNotice(std::uint32_t milliseconds) override;
  void WaitWhileNoticeShown() override;

 protected:
  ProcessHandle DoStartProgram(
      const std::string& command_line, const std::string& folder,
      const std::vector<std::pair<std::string, std::string>>& environment)
      override;
  ProcessHandle DoStartProcess(const std::string& command_line,
                               std::uint32_t flags) override;
  bool DoWaitForProcess(ProcessHandle process,
                        std::uint32_t milliseconds) override;
  WindowHandle DoFindTopLevelWindow(const std::string& window_class,
                                    const std::string& title) override;
  bool DoPostWindowMessage(WindowHandle window, std::uint32_t message,
                           std::uint32_t wparam, std::int32_t lparam) override;
};

#endif  // MORVASK_TESTS_UNIT_FAKE_PLATFORM_H_
