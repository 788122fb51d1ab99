#include "platform/platform_win32.h"

#include <windows.h>

#include <vector>

#include "platform/settings_lock.h"

namespace {

HKEY AsKey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }
HWND AsWindow(WindowHandle window) { return reinterpret_cast<HWND>(window); }

/// The named mutex, made by the first process that asks. Null when it can
/// be neither made nor opened, as when an elevated morvask made it and this
/// one may not use it.
HANDLE OpenSettingsMutex(const std::string& name) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  if (!mutex && GetLastError() == ERROR_ACCESS_DENIED)
    mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str());
  return mutex;
}

}  // namespace

/// Holds the settings lock for exactly one private-profile call: taken on
/// construction, released when the call's scope ends, before any failure
/// that follows it can show the usage box.
class RealPlatform::SettingsCall {
 public:
  SettingsCall(RealPlatform& platform, const std::string& path)
      : mutex_(platform.TakeSettingsLock(path)) {}
  ~SettingsCall() {
    if (mutex_) ReleaseMutex(mutex_);
  }
  SettingsCall(const SettingsCall&) = delete;
  SettingsCall& operator=(const SettingsCall&) = delete;

 private:
  void* mutex_;
};

void* RealPlatform::TakeSettingsLock(const std::string& path) {
  if (lock_given_up_) return nullptr;
  if (!lock_ || path != lock_path_) {
    if (lock_) CloseHandle(lock_);
    lock_path_ = path;
    lock_ = OpenSettingsMutex(SettingsLockName(path));
    if (!lock_) {
      lock_given_up_ = true;
      return nullptr;
    }
  }
  switch (WaitForSingleObject(lock_, kSettingsLockWaitMs)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // Its holder died mid-call; the lock is ours now.
      return lock_;
    default:
      // Whoever holds it is stuck: go ahead, and stop waiting from now on,
      // so that a press is never more than about a second late.
      lock_given_up_ = true;
      return nullptr;
  }
}

std::string RealPlatform::CommandLine() { return GetCommandLineA(); }

std::string RealPlatform::ModulePath() {
  // Paths may exceed MAX_PATH; grow the buffer until the path fits whole
  // rather than naming a settings file in a cut-off directory.
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
    if (length == 0) return std::string();
    if (length < size - 1) return std::string(buffer.data(), length);
    if (buffer.size() >= 0x10000) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

bool RealPlatform::IsLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

std::uint32_t RealPlatform::TickCount() { return GetTickCount(); }

std::uint8_t RealPlatform::AcLineStatus() {
  SYSTEM_POWER_STATUS status = {};  // Stays zero if the call fails.
  GetSystemPowerStatus(&status);
  return status.ACLineStatus;
}

void RealPlatform::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::string RealPlatform::ReadIniString(const std::string& section,
                                        const std::string& key,
                                        const std::string& default_value,
                                        const std::string& path) {
  char buffer[2048];
  SettingsCall locked(*this, path);
  DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(),
                                          default_value.c_str(), buffer,
                                          sizeof buffer, path.c_str());
  return std::string(buffer, length);
}

bool RealPlatform::WriteIniString(const std::string& section,
                                  const std::string& key,
                                  const std::string& value,
                                  const std::string& path) {
  SettingsCall locked(*this, path);
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                    path.c_str()) != FALSE;
}

void RealPlatform::FlushProfile(const std::string& path) {
  SettingsCall locked(*this, path);
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

RegistryKey RealPlatform::OpenMachineKey(const std::string& subkey) {
  HKEY key = nullptr;
  // Read access only: a standard account may read the key but not open it
  // with full access.
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return 0;
  return reinterpret_cast<RegistryKey>(key);
}

bool RealPlatform::QueryValueSize(RegistryKey key, const std::string& name,
                                  std::uint32_t* size) {
  DWORD bytes = 0;
  LONG result = RegQueryValueExA(AsKey(key), name.c_str(), nullptr, nullptr,
                                 nullptr, &bytes);
  *size = bytes;
  return result == ERROR_SUCCESS;
}

bool RealPlatform::QueryValueData(RegistryKey key, const std::string& name,
                                  std::uint32_t* type, char* buffer,
                                  std::uint32_t* size) {
  DWORD value_type = 0;
  DWORD bytes = *size;
  LONG result = RegQueryValueExA(AsKey(key), name.c_str(), nullptr, &value_type,
                                 reinterpret_cast<BYTE*>(buffer), &bytes);
  *type = value_type;
  *size = bytes;
  return result == ERROR_SUCCESS;
}

void RealPlatform::CloseKey(RegistryKey key) { RegCloseKey(AsKey(key)); }

ProcessHandle RealPlatform::StartProcess(const std::string& command_line,
                                         std::uint32_t flags) {
  std::vector<char> writable(command_line.begin(), command_line.end());
  writable.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, flags,
                      nullptr, nullptr, &startup, &info))
    return 0;
  CloseHandle(info.hThread);  // Never used.
  return reinterpret_cast<ProcessHandle>(info.hProcess);
}

void RealPlatform::WaitForProcess(ProcessHandle process,
                                  std::uint32_t milliseconds) {
  WaitForSingleObject(reinterpret_cast<HANDLE>(process), milliseconds);
}

void RealPlatform::ReleaseProcess(ProcessHandle process) {
  CloseHandle(reinterpret_cast<HANDLE>(process));
}

WindowHandle RealPlatform::FindTopLevelWindow(const std::string& window_class,
                                              const std::string& title) {
  return reinterpret_cast<WindowHandle>(
      FindWindowA(window_class.c_str(), title.c_str()));
}

bool RealPlatform::PostWindowMessage(WindowHandle window, std::uint32_t message,
                                     std::uint32_t wparam,
                                     std::int32_t lparam) {
  return PostMessageA(AsWindow(window), message, wparam, lparam) != FALSE;
}

void RealPlatform::ShowMessageBox(const std::string& text,
                                  std::uint32_t style) {
  MessageBoxA(nullptr, text.c_str(), nullptr, style);
}
