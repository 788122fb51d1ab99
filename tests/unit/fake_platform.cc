#include "fake_platform.h"

#include <algorithm>
#include <cstring>

namespace {
const RegistryKey kAceKey = 0x4ce;
}

WindowHandle FakePlatform::AddWindow(const std::string& window_class,
                                     const std::string& title) {
  WindowHandle handle = 0x100 + windows.size();
  windows[{window_class, title}] = handle;
  return handle;
}

std::vector<std::string> FakePlatform::CallsStartingWith(
    const std::string& prefix) const {
  std::vector<std::string> result;
  for (const std::string& call : calls) {
    if (call.compare(0, prefix.size(), prefix) == 0) result.push_back(call);
  }
  return result;
}

std::string FakePlatform::CommandLine() {
  calls.push_back("CommandLine");
  return command_line;
}

std::string FakePlatform::ModulePath() {
  calls.push_back("ModulePath");
  return module_path;
}

bool FakePlatform::ModulePathIsExact() { return module_path_exact; }

bool FakePlatform::IsLeadByte(unsigned char byte) {
  return lead_bytes.count(byte) != 0;
}

std::uint32_t FakePlatform::TickCount() {
  calls.push_back("TickCount");
  return tick;
}

std::uint8_t FakePlatform::AcLineStatus() {
  calls.push_back("PowerStatus");
  return ac_line_status;
}

void FakePlatform::Sleep(std::uint32_t milliseconds) {
  calls.push_back("Sleep " + std::to_string(milliseconds));
  if (during_sleep) during_sleep();
}

std::string FakePlatform::ReadIniString(const std::string& section,
                                        const std::string& key,
                                        const std::string& default_value,
                                        const std::string& path) {
  calls.push_back("Read [" + section + "] " + key);
  std::string value = default_value;
  auto file = files.find(path);
  if (file != files.end()) {
    auto found = file->second.find(section);
    if (found != file->second.end() && found->second.count(key))
      value = found->second.at(key);
  }
  // The platform cuts the value to fit 2048 bytes with the terminator.
  return value.substr(0, 2047);
}

std::vector<std::string> FakePlatform::ReadIniKeyNames(
    const std::string& section, const std::string& path) {
  calls.push_back("KeyNames [" + section + "]");
  std::vector<std::string> names;
  auto file = files.find(path);
  if (file == files.end()) return names;
  auto found = file->second.find(section);
  if (found == file->second.end()) return names;
  for (const auto& entry : found->second) names.push_back(entry.first);
  return names;
}

bool FakePlatform::WriteIniString(const std::string& section,
                                  const std::string& key,
                                  const std::string& value,
                                  const std::string& path) {
  calls.push_back("Write [" + section + "] " + key + "=" + value);
  if (refuse_writes) return false;
  files[path][section][key] = value;
  return true;
}

void FakePlatform::FlushProfile(const std::string& path) {
  calls.push_back("Flush " + path);
}

RegistryKey FakePlatform::OpenMachineKey(const std::string& subkey) {
  calls.push_back("OpenKey " + subkey);
  if (!registry_key_exists || subkey != "Software\\ATI\\ACE") return 0;
  ++open_keys;
  return kAceKey;
}

bool FakePlatform::QueryValueSize(RegistryKey key, const std::string& name,
                                  std::uint32_t* size) {
  calls.push_back("QuerySize " + name);
  auto found = registry_values.find(name);
  if (key != kAceKey || found == registry_values.end()) return false;
  *size = static_cast<std::uint32_t>(found->second.data.size());
  return true;
}

bool FakePlatform::QueryValueData(RegistryKey key, const std::string& name,
                                  std::uint32_t* type, char* buffer,
                                  std::uint32_t* size) {
  calls.push_back("QueryData " + name);
  auto found = registry_values.find(name);
  if (key != kAceKey || found == registry_values.end() || data_query_fails)
    return false;
  const std::string& data = found->second.data;
  if (data.size() > *size) return false;
  std::memcpy(buffer, data.data(), data.size());
  *size = static_cast<std::uint32_t>(data.size());
  *type = found->second.type;
  return true;
}

void FakePlatform::CloseKey(RegistryKey key) {
  calls.push_back("CloseKey");
  if (key == kAceKey) --open_keys;
}

ProcessHandle FakePlatform::DoStartProcess(const std::string& command_line,
                                           std::uint32_t flags) {
  calls.push_back("StartProcess " + std::to_string(flags) + " " + command_line);
  started.push_back(command_line);
  return processes_start ? 0x9a0 : 0;
}

bool FakePlatform::DoWaitForProcess(ProcessHandle process,
                                    std::uint32_t milliseconds) {
  calls.push_back("Wait " + std::to_string(process) + " " +
                  std::to_string(milliseconds));
  return processes_end;
}

void FakePlatform::ReleaseProcess(ProcessHandle process) {
  calls.push_back("Release " + std::to_string(process));
}

WindowHandle FakePlatform::DoFindTopLevelWindow(const std::string& window_class,
                                                const std::string& title) {
  calls.push_back("FindWindow " + window_class + "|" + title);
  auto found = windows.find({window_class, title});
  return found == windows.end() ? 0 : found->second;
}

bool FakePlatform::DoPostWindowMessage(WindowHandle window,
                                       std::uint32_t message,
                                       std::uint32_t wparam,
                                       std::int32_t lparam) {
  calls.push_back("Post " + std::to_string(wparam));
  posts.push_back({window, message, wparam, lparam});
  return posts_succeed;
}

void FakePlatform::ShowMessageBox(const std::string& text,
                                  std::uint32_t style) {
  calls.push_back("MessageBox " + std::to_string(style));
  message_boxes.push_back(text);
}

bool FakePlatform::IsConsoleSession() {
  calls.push_back("IsConsoleSession");
  return console_session;
}

std::uint32_t FakePlatform::LastErrorCode() { return last_error; }

bool FakePlatform::ProcessExitCode(ProcessHandle, std::uint32_t* code) {
  if (!processes_end) return false;
  *code = exit_code;
  return true;
}

LocalTime FakePlatform::Now() { return now; }

std::uint32_t FakePlatform::ProcessId() { return process_id; }

bool FakePlatform::AppendToLog(const std::string& path, const std::string& line,
                               std::uint32_t) {
  calls.push_back("AppendToLog " + path);
  if (!log_writable) return false;
  // One append may carry several lines; each is kept with its line end.
  for (size_t start = 0; start < line.size();) {
    size_t end = line.find("\r\n", start);
    end = end == std::string::npos ? line.size() : end + 2;
    logs[path].push_back(line.substr(start, end - start));
    start = end;
  }
  return true;
}

FileFacts FakePlatform::QueryFile(const std::string& path) {
  calls.push_back("QueryFile " + path);
  auto found = file_facts.find(path);
  return found == file_facts.end() ? FileFacts() : found->second;
}

bool FakePlatform::IniSectionExists(const std::string& section,
                                    const std::string& path) {
  calls.push_back("SectionExists [" + section + "]");
  auto file = files.find(path);
  if (file == files.end()) return false;
  auto found = file->second.find(section);
  return found != file->second.end() && !found->second.empty();
}

std::string FakePlatform::EnvironmentVariable(const std::string& name) {
  auto found = environment.find(name);
  return found == environment.end() ? "" : found->second;
}

OwnRights FakePlatform::QueryOwnRights() { return own_rights; }

WriteRights FakePlatform::QueryWriteRights(const std::string& path) {
  auto found = write_rights.find(path);
  return found == write_rights.end() ? WriteRights() : found->second;
}

PostRefusal FakePlatform::WouldRefusePost(WindowHandle) {
  calls.push_back("WouldRefusePost");
  return post_refusal;
}

std::uint32_t FakePlatform::HoldHotkey(WindowHandle window, int id,
                                       std::uint32_t modifiers,
                                       std::uint32_t key) {
  calls.push_back("HoldHotkey " + std::to_string(id) + " " +
                  std::to_string(modifiers) + " " + std::to_string(key));
  const auto keys = std::make_pair(modifiers & ~0x4000u, key);
  if (kept_keys.count(keys)) return 87;
  if (taken_keys.count(keys)) return 1409;
  for (const auto& held : hotkeys)
    if (held.second.first == keys.first && held.second.second == key)
      return 1409;
  if (!hotkeys.emplace(std::make_pair(window, id), keys).second) return 1409;
  return 0;
}

void FakePlatform::ReleaseHotkey(WindowHandle window, int id) {
  calls.push_back("ReleaseHotkey " + std::to_string(id));
  hotkeys.erase({window, id});
}

bool FakePlatform::HotkeysTakeNoRepeat() { return hotkeys_take_no_repeat; }

bool FakePlatform::KeyIsDown(std::uint32_t key) {
  return keys_down.count(key) != 0;
}

KeyHolder FakePlatform::WhoHoldsKeys(std::uint32_t modifiers,
                                     std::uint32_t key) {
  auto found = key_holders.find({modifiers, key});
  return found == key_holders.end() ? KeyHolder::kFree : found->second;
}

bool FakePlatform::MutexExists(const std::string& name) {
  return mutexes.count(name) != 0;
}

bool FakePlatform::WriteStandardOutput(const std::string& text) {
  if (!stdout_is_file) return false;
  const std::size_t room =
      stdout_room - std::min(stdout_room, standard_output.size());
  standard_output += text.substr(0, room);
  return text.size() <= room;
}

void FakePlatform::ShowInformationBox(const std::string& caption,
                                      const std::string& text) {
  calls.push_back("InformationBox");
  information_boxes.emplace_back(caption, text);
}

ProcessHandle FakePlatform::DoStartProgram(
    const std::string& command_line, const std::string& folder,
    const std::vector<std::pair<std::string, std::string>>& environment) {
  calls.push_back("StartProgram " + command_line);
  started.push_back(command_line);
  program_folders.push_back(folder);
  program_environments.push_back(environment);
  return processes_start ? 0x9b0 : 0;
}

PowerPlanKind FakePlatform::PlanKind() { return power_kind; }

std::vector<PowerPlan> FakePlatform::PowerPlans() {
  calls.push_back("PowerPlans");
  return power_plans;
}

std::optional<PowerPlan> FakePlatform::ActivePowerPlan() { return active_plan; }

std::uint32_t FakePlatform::SetActivePowerPlan(const PowerPlan& plan) {
  calls.push_back("SetPowerPlan " + (power_kind == PowerPlanKind::kByNumber
                                         ? std::to_string(plan.number)
                                         : std::to_string(plan.guid.data1)));
  if (set_plan_error == 0) active_plan = plan;
  return set_plan_error;
}

bool FakePlatform::HasPowerModes() { return has_power_modes; }

std::uint32_t FakePlatform::SetPowerMode(bool on_mains, const Guid& mode) {
  calls.push_back(std::string("SetPowerMode ") + (on_mains ? "AC " : "DC ") +
                  std::to_string(mode.data1));
  if (!has_power_modes) return kErrorCallNotImplemented;
  if (set_mode_error == 0) power_mode[on_mains] = mode;
  return set_mode_error;
}

std::optional<Guid> FakePlatform::ConfiguredPowerMode(bool on_mains) {
  return power_mode[on_mains];
}

std::string FakePlatform::FindProgram(const std::string& name) {
  auto found = programs.find(name);
  return found == programs.end() ? std::string() : found->second;
}

bool FakePlatform::ShowNotice(const std::string& text, std::uint32_t lasts_ms) {
  calls.push_back("Notice " + text + " for " + std::to_string(lasts_ms));
  return notice_window_works;
}

void FakePlatform::WaitHandlingNotice(std::uint32_t milliseconds) {
  calls.push_back("NoticeWait " + std::to_string(milliseconds));
  if (during_sleep) during_sleep();
}

void FakePlatform::WaitWhileNoticeShown() { calls.push_back("NoticeHold"); }
