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
HANDLE OpenFileMutex(const std::string& name) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  if (!mutex && GetLastError() == ERROR_ACCESS_DENIED)
    mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str());
  return mutex;
}

/// GetLongPathNameA of a folder that ends in a backslash, keeping it; the
/// empty text when the system cannot lengthen it.
std::string LongFolder(const std::string& folder) {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    DWORD length = GetLongPathNameA(folder.c_str(), buffer.data(),
                                    static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      std::string result(buffer.data(), length);
      if (folder.back() == '\\' && result.back() != '\\') result += '\\';
      return result;
    }
    buffer.resize(length + 1);  // Too small: the length it needs.
  }
}

/// The path in UTF-16 with every letter in upper case by the invariant
/// rules, which know every script's letters and no locale's exceptions
/// (such as the Turkish dotted I), as file names compare.
std::u16string FoldFileNameCase(const std::string& path) {
  const int length = static_cast<int>(path.size());
  int units = MultiByteToWideChar(CP_ACP, 0, path.data(), length, nullptr, 0);
  std::vector<wchar_t> wide(units > 0 ? units : 0);
  if (units <= 0 || MultiByteToWideChar(CP_ACP, 0, path.data(), length,
                                        wide.data(), units) != units)
    wide.assign(path.begin(), path.end());  // Bytes as they are.
  std::vector<wchar_t> upper(wide.size());
  const int size = static_cast<int>(wide.size());
  if (wide.empty() ||
      LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), size,
                   upper.data(), size) != size) {
    upper = wide;
    for (wchar_t& c : upper) {
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
  }
  return std::u16string(upper.begin(), upper.end());
}

}  // namespace

bool RealPlatform::FileLock::Acquire(const FileNameRules& rules,
                                     const std::string& path) {
  if (given_up_) return false;
  if (!mutex_ || path != path_) {
    if (mutex_) CloseHandle(mutex_);
    path_ = path;
    mutex_ = OpenFileMutex(FileLockName(path, rules));
    if (!mutex_) {
      given_up_ = true;
      return false;
    }
  }
  switch (WaitForSingleObject(mutex_, kSettingsLockWaitMs)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // Its holder died mid-call; the lock is ours now.
      return true;
    default:
      // Whoever holds it is stuck: go ahead, and stop waiting from now on,
      // so that a press is never more than about a second late.
      given_up_ = true;
      return false;
  }
}

void RealPlatform::FileLock::Release() { ReleaseMutex(mutex_); }

/// Holds a file's lock for exactly one call on it: taken on construction,
/// released when the call's scope ends, before any failure that follows it
/// can show the usage box.
class RealPlatform::LockedCall {
 public:
  LockedCall(RealPlatform& platform, FileLock& lock, const std::string& path)
      : lock_(lock), held_(lock.Acquire(platform.file_names_, path)) {}
  ~LockedCall() {
    if (held_) lock_.Release();
  }
  LockedCall(const LockedCall&) = delete;
  LockedCall& operator=(const LockedCall&) = delete;

 private:
  FileLock& lock_;
  bool held_;
};

FileNameRules SystemFileNameRules() {
  FileNameRules rules;
  rules.is_lead_byte = [](unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
  };
  rules.long_folder = LongFolder;
  rules.fold_case = FoldFileNameCase;
  return rules;
}

RealPlatform::RealPlatform() : file_names_(SystemFileNameRules()) {}

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
  LockedCall locked(*this, settings_lock_, path);
  DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(),
                                          default_value.c_str(), buffer,
                                          sizeof buffer, path.c_str());
  return std::string(buffer, length);
}

bool RealPlatform::WriteIniString(const std::string& section,
                                  const std::string& key,
                                  const std::string& value,
                                  const std::string& path) {
  LockedCall locked(*this, settings_lock_, path);
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                    path.c_str()) != FALSE;
}

void RealPlatform::FlushProfile(const std::string& path) {
  LockedCall locked(*this, settings_lock_, path);
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

bool RealPlatform::WaitForProcess(ProcessHandle process,
                                  std::uint32_t milliseconds) {
  return WaitForSingleObject(reinterpret_cast<HANDLE>(process), milliseconds) ==
         WAIT_OBJECT_0;
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

bool RealPlatform::IsConsoleSession() {
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) return true;
  // 0xFFFFFFFF while the console is between sessions: none is attached.
  return session == WTSGetActiveConsoleSessionId();
}
