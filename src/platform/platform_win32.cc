#include "platform/platform_win32.h"

#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <vector>

#include "common/shared_names.h"
#include "platform/settings_lock.h"
#include "platform/token_win32.h"

namespace {

HKEY AsKey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }
HWND AsWindow(WindowHandle window) { return reinterpret_cast<HWND>(window); }

/// The token user's SID as text ("S-1-5-21-..."), or the empty text.
std::string OwnUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return std::string();
  const std::vector<BYTE> user = TokenInfo(token, TokenUser);
  CloseHandle(token);
  return user.empty()
             ? std::string()
             : SidText(
                   reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
}

/// A security descriptor (LocalFree it) that lets every process of this
/// user wait for and release the mutex, elevated or not, whichever made
/// it: the user's SID is allowed SYNCHRONIZE | MUTEX_MODIFY_STATE, where
/// an elevated creator's default would allow only Administrators and
/// SYSTEM. Its label is medium integrity with no write up, so that the
/// label of a high-integrity creator refuses no medium process. Windows
/// XP knows no labels: there it is the access list alone. Null when
/// neither can be made.
PSECURITY_DESCRIPTOR SharedMutexSecurity() {
  const std::string sid = OwnUserSid();
  if (sid.empty()) return nullptr;
  const std::string access = "D:(A;;0x100001;;;" + sid + ")";
  for (const std::string& text : {access + "S:(ML;;NW;;;ME)", access}) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA(
            text.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
      return descriptor;
  }
  return nullptr;
}

/// The ANSI text in UTF-16, as the system reads it; byte for byte when
/// it cannot be converted.
std::u16string Widen(const std::string& text) {
  const int length = static_cast<int>(text.size());
  int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  std::u16string wide(units > 0 ? units : 0, u'\0');
  if (units <= 0 ||
      MultiByteToWideChar(CP_ACP, 0, text.data(), length,
                          reinterpret_cast<wchar_t*>(&wide[0]), units) != units)
    wide.assign(text.begin(), text.end());
  return wide;
}

/// GetLongPathNameW of a folder that ends in a backslash, keeping it; the
/// empty text when the system cannot lengthen it. In UTF-16, so that a
/// folder whose long name the code page lacks is still told apart.
std::u16string LongFolder(const std::u16string& folder) {
  const wchar_t* name = reinterpret_cast<const wchar_t*>(folder.c_str());
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    DWORD length = GetLongPathNameW(name, buffer.data(),
                                    static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::u16string();
    if (length < buffer.size()) {
      std::u16string result(buffer.begin(), buffer.begin() + length);
      if (folder.back() == u'\\' && result.back() != u'\\') result += u'\\';
      return result;
    }
    buffer.resize(length + 1);  // Too small: the length it needs.
  }
}

/// The path with every letter in upper case by the invariant rules, which
/// know every script's letters and no locale's exceptions (such as the
/// Turkish dotted I), as file names compare.
std::u16string FoldFileNameCase(const std::u16string& path) {
  std::u16string upper(path.size(), u'\0');
  const int size = static_cast<int>(path.size());
  if (path.empty() ||
      LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE,
                   reinterpret_cast<const wchar_t*>(path.data()), size,
                   reinterpret_cast<wchar_t*>(&upper[0]), size) != size) {
    upper = path;
    for (char16_t& c : upper) {
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
  }
  return upper;
}

}  // namespace

void* OpenSharedMutex(const std::string& name) {
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, SharedMutexSecurity(),
                                    FALSE};
  HANDLE mutex =
      CreateMutexA(attributes.lpSecurityDescriptor ? &attributes : nullptr,
                   FALSE, name.c_str());
  // Made by another, its access list allows less than the full access
  // that CreateMutexA asks for.
  if (!mutex && GetLastError() == ERROR_ACCESS_DENIED)
    mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str());
  if (attributes.lpSecurityDescriptor)
    LocalFree(attributes.lpSecurityDescriptor);
  return mutex;
}

bool RealPlatform::FileLock::Acquire(const FileNameRules& rules,
                                     const std::string& path) {
  if (!mutex_ || path != path_) {
    if (mutex_) CloseHandle(mutex_);
    path_ = path;
    // Null when it cannot be had: the call goes ahead unlocked, and the
    // next one tries again.
    mutex_ = OpenSharedMutex(FileLockName(path, rules));
    if (!mutex_) return false;
  }
  switch (WaitForSingleObject(mutex_, wait_ms_)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // Its holder died mid-call; the lock is ours now.
      return true;
    default:
      // Whoever holds it is stuck: this call goes ahead, so that it is
      // never more than about a second late; the next call waits again,
      // as the holder may have let go by then.
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
  bool held() const { return held_; }
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
  rules.widen = Widen;
  rules.long_folder = LongFolder;
  rules.fold_case = FoldFileNameCase;
  return rules;
}

RealPlatform::RealPlatform() : file_names_(SystemFileNameRules()) {}

std::string RealPlatform::CommandLine() { return GetCommandLineA(); }

namespace {

/// The executable's full path in UTF-16, however long it is: the buffer
/// grows until the path fits whole rather than naming a settings file in a
/// cut-off directory. Empty when the system cannot give it.
std::u16string WideModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return std::u16string();
    if (length < size - 1 || buffer.size() >= 0x10000)
      return std::u16string(buffer.begin(), buffer.begin() + length);
    buffer.resize(buffer.size() * 2);
  }
}

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

/// `wide` in the ANSI code page into `*ansi`, '?' for what it lacks.
/// True when the text names the same file: no default character and no
/// best-fit letter (which could name another file) was used, and it reads
/// back as the same UTF-16.
bool ToAnsiExactly(const std::u16string& wide, std::string* ansi) {
  ansi->clear();
  if (wide.empty()) return true;
  const int units = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL* used = &used_default;
  int bytes = WideCharToMultiByte(CP_ACP, flags, Wide(wide), units, nullptr, 0,
                                  nullptr, used);
  if (bytes <= 0) {
    // A code page that takes no flags (UTF-8): the round trip decides.
    flags = 0;
    used = nullptr;
    bytes = WideCharToMultiByte(CP_ACP, 0, Wide(wide), units, nullptr, 0,
                                nullptr, nullptr);
    if (bytes <= 0) return false;
  }
  ansi->resize(bytes);
  if (WideCharToMultiByte(CP_ACP, flags, Wide(wide), units, &(*ansi)[0], bytes,
                          nullptr, used) != bytes ||
      used_default)
    return false;
  std::vector<wchar_t> back(wide.size() + 1);
  const int read =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi->data(), bytes,
                          back.data(), static_cast<int>(back.size()));
  return read == units &&
         std::u16string(back.begin(), back.begin() + read) == wide;
}

/// The short (8.3) form of a path, or the empty text.
std::u16string ShortPath(const std::u16string& path) {
  std::vector<wchar_t> buffer(path.size() + 1);
  for (;;) {
    DWORD length = GetShortPathNameW(Wide(path), buffer.data(),
                                     static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::u16string();
    if (length < buffer.size())
      return std::u16string(buffer.begin(), buffer.begin() + length);
    buffer.resize(length + 1);
  }
}

/// ModulePath into `*path`, and whether it names the executable.
bool AnsiModulePath(std::string* path) {
  const std::u16string wide = WideModulePath();
  if (ToAnsiExactly(wide, path)) return true;
  std::string short_form;
  if (ToAnsiExactly(ShortPath(wide), &short_form) && !short_form.empty()) {
    *path = short_form;
    return true;
  }
  return false;  // `*path` keeps the long form with its '?'.
}

}  // namespace

const RealPlatform::ModuleName& RealPlatform::Module() {
  if (!module_) {
    ModuleName name;
    name.exact = AnsiModulePath(&name.path);
    module_ = name;
  }
  return *module_;
}

std::string RealPlatform::ModulePath() { return Module().path; }

bool RealPlatform::ModulePathIsExact() { return Module().exact; }

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

std::vector<std::string> RealPlatform::ReadIniKeyNames(
    const std::string& section, const std::string& path) {
  // Each name ends in a zero, the list in one more; a buffer too small
  // comes back filled to its size less two. Grown to at most 1 MiB.
  std::vector<char> buffer(4096);
  DWORD length = 0;
  for (;;) {
    LockedCall locked(*this, settings_lock_, path);
    const DWORD size = static_cast<DWORD>(buffer.size());
    length = GetPrivateProfileStringA(section.c_str(), nullptr, "",
                                      buffer.data(), size, path.c_str());
    if (length + 2 < size || size >= (1u << 20)) break;
    buffer.resize(buffer.size() * 4);
  }
  std::vector<std::string> names;
  for (DWORD start = 0; start < length;) {
    DWORD end = start;
    while (end < length && buffer[end]) ++end;
    // A name cut off by a full buffer is no name.
    if (end < length) names.emplace_back(buffer.data() + start, end - start);
    start = end + 1;
  }
  return names;
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

namespace {

/// CreateProcessA with no application name, the inherited environment,
/// `flags`, and `folder` as its current folder (the inherited one when
/// empty). The process handle, or 0 when it could not be started.
ProcessHandle Start(const std::string& command_line, std::uint32_t flags,
                    const std::string& folder) {
  std::vector<char> writable(command_line.begin(), command_line.end());
  writable.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, flags,
                      nullptr, folder.empty() ? nullptr : folder.c_str(),
                      &startup, &info))
    return 0;
  CloseHandle(info.hThread);  // Never used.
  return reinterpret_cast<ProcessHandle>(info.hProcess);
}

}  // namespace

ProcessHandle RealPlatform::DoStartProcess(const std::string& command_line,
                                           std::uint32_t flags) {
  return Start(command_line, flags, std::string());
}

ProcessHandle RealPlatform::DoStartProgram(
    const std::string& command_line, const std::string& folder,
    const std::vector<std::pair<std::string, std::string>>& environment) {
  // morvask's own environment, which the program inherits: a short run
  // needs it for nothing else.
  for (const auto& [name, value] : environment)
    SetEnvironmentVariableA(name.c_str(), value.c_str());
  // A console program gets no window of its own.
  return Start(command_line, CREATE_NO_WINDOW, folder);
}

bool RealPlatform::DoWaitForProcess(ProcessHandle process,
                                    std::uint32_t milliseconds) {
  return WaitForSingleObject(reinterpret_cast<HANDLE>(process), milliseconds) ==
         WAIT_OBJECT_0;
}

void RealPlatform::ReleaseProcess(ProcessHandle process) {
  CloseHandle(reinterpret_cast<HANDLE>(process));
}

WindowHandle RealPlatform::DoFindTopLevelWindow(const std::string& window_class,
                                                const std::string& title) {
  return reinterpret_cast<WindowHandle>(
      FindWindowA(window_class.c_str(), title.c_str()));
}

bool RealPlatform::DoPostWindowMessage(WindowHandle window,
                                       std::uint32_t message,
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

std::uint32_t RealPlatform::HoldHotkey(WindowHandle window, int id,
                                       std::uint32_t modifiers,
                                       std::uint32_t key) {
  return RegisterHotKey(AsWindow(window), id, modifiers, key) ? 0
                                                              : GetLastError();
}

void RealPlatform::ReleaseHotkey(WindowHandle window, int id) {
  UnregisterHotKey(AsWindow(window), id);
}

bool RealPlatform::HotkeysTakeNoRepeat() {
  // Without a manifest Windows 8.1 and later say 6.2: still 6.1 or later.
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return false;
  return version.dwMajorVersion > 6 ||
         (version.dwMajorVersion == 6 && version.dwMinorVersion >= 1);
}

bool RealPlatform::KeyIsDown(std::uint32_t key) {
  return (GetAsyncKeyState(static_cast<int>(key)) & 0x8000) != 0;
}

std::uint32_t RealPlatform::LastErrorCode() { return GetLastError(); }

bool RealPlatform::ProcessExitCode(ProcessHandle process, std::uint32_t* code) {
  DWORD exit_code = 0;
  if (!GetExitCodeProcess(reinterpret_cast<HANDLE>(process), &exit_code))
    return false;
  *code = exit_code;
  return true;
}

LocalTime RealPlatform::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear,   now.wMonth,  now.wDay,         now.wHour,
          now.wMinute, now.wSecond, now.wMilliseconds};
}

std::uint32_t RealPlatform::ProcessId() { return GetCurrentProcessId(); }

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/// True when the open file is a plain file with one name: no reparse point
/// (the handle was opened on the link itself, never through it) and no
/// other hard link, either of which a less privileged user could have
/// planted to make morvask write to another file. Fills `*info`.
bool IsPlainFile(HANDLE file, BY_HANDLE_FILE_INFORMATION* info) {
  return GetFileInformationByHandle(file, info) &&
         !(info->dwFileAttributes &
           (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
         info->nNumberOfLinks == 1;
}

/// Opens a plain file to append to (made if missing): every write goes to
/// its end, whole, whatever other processes write at the same time. The
/// check is made on the handle that writes, so nothing can swap the file
/// in between. INVALID_HANDLE_VALUE when it cannot be opened or is not a
/// plain file (see IsPlainFile), with nothing written.
HANDLE OpenPlainForAppend(const std::string& path,
                          BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE file = CreateFileA(
      path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
      nullptr);
  if (file != INVALID_HANDLE_VALUE && !IsPlainFile(file, info)) {
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

/// True when `path` still names the plain file that `info` describes.
bool StillNames(const std::string& path,
                const BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE file =
      CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION now;
  const bool same = IsPlainFile(file, &now) &&
                    now.dwVolumeSerialNumber == info.dwVolumeSerialNumber &&
                    now.nFileIndexHigh == info.nFileIndexHigh &&
                    now.nFileIndexLow == info.nFileIndexLow;
  CloseHandle(file);
  return same;
}

}  // namespace

bool RealPlatform::AppendToLog(const std::string& path, const std::string& line,
                               std::uint32_t rotate_above) {
  LockedCall locked(*this, log_lock_, path);
  BY_HANDLE_FILE_INFORMATION info;
  HANDLE file = OpenPlainForAppend(path, &info);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Only the lock's holder moves the file: two moves in a row would put
  // the new file where the old one belongs. It moves only the file it
  // looked at, still open, and still the plain file under that name.
  if (locked.held() &&
      (info.nFileSizeHigh != 0 || info.nFileSizeLow > rotate_above) &&
      StillNames(path, info)) {
    CloseHandle(file);
    // If the move fails (a viewer holds the file without sharing its
    // deletion), the line still goes to the file as it is.
    MoveFileExA(path.c_str(), (path + ".1").c_str(), MOVEFILE_REPLACE_EXISTING);
    file = OpenPlainForAppend(path, &info);
    if (file == INVALID_HANDLE_VALUE) return false;
  }
  DWORD written = 0;
  BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()),
                      &written, nullptr);
  CloseHandle(file);
  return ok && written == line.size();
}

namespace {

/// Whether the process's own access token is granted `access` to the file
/// or folder at `path` by its security descriptor.
Answer AccessAllowed(const std::string& path, DWORD access) {
  const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION |
                                      GROUP_SECURITY_INFORMATION |
                                      DACL_SECURITY_INFORMATION;
  DWORD needed = 0;
  GetFileSecurityA(path.c_str(), wanted, nullptr, 0, &needed);
  if (needed == 0) return Answer::kUnknown;
  std::vector<BYTE> descriptor(needed);
  if (!GetFileSecurityA(path.c_str(), wanted, descriptor.data(), needed,
                        &needed))
    return Answer::kUnknown;
  HANDLE token = nullptr;
  HANDLE impersonation = nullptr;
  Answer answer = Answer::kUnknown;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE,
                       &token) &&
      DuplicateToken(token, SecurityImpersonation, &impersonation)) {
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE,
                               FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    MapGenericMask(&access, &mapping);
    PRIVILEGE_SET privileges = {};
    DWORD privileges_size = sizeof privileges;
    DWORD granted = 0;
    BOOL allowed = FALSE;
    if (AccessCheck(descriptor.data(), impersonation, access, &mapping,
                    &privileges, &privileges_size, &granted, &allowed))
      answer = allowed ? Answer::kYes : Answer::kNo;
  }
  if (impersonation) CloseHandle(impersonation);
  if (token) CloseHandle(token);
  return answer;
}

}  // namespace

FileFacts RealPlatform::QueryFile(const std::string& path) {
  FileFacts facts;
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return facts;
  facts.exists = true;
  facts.is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.is_link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  // Opened for its attributes alone, on the link itself: nothing changes.
  HANDLE handle = CreateFileA(
      path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  BY_HANDLE_FILE_INFORMATION info;
  if (handle != INVALID_HANDLE_VALUE) {
    if (GetFileInformationByHandle(handle, &info))
      facts.names = info.nNumberOfLinks;
    CloseHandle(handle);
  }
  facts.read_only = !facts.is_folder && (attributes & FILE_ATTRIBUTE_READONLY);
  facts.writable = facts.read_only
                       ? Answer::kNo
                       : AccessAllowed(path, facts.is_folder ? FILE_ADD_FILE
                                                             : FILE_WRITE_DATA);
  return facts;
}

std::string RealPlatform::FindProgram(const std::string& name) {
  char found[MAX_PATH];
  char* file_part = nullptr;
  // With no path of its own SearchPath looks where CreateProcess does:
  // the program's folder, the current folder, the system folders, PATH.
  const DWORD length = SearchPathA(nullptr, name.c_str(), ".exe", sizeof found,
                                   found, &file_part);
  return length > 0 && length < sizeof found ? std::string(found, length)
                                             : std::string();
}

bool RealPlatform::IniSectionExists(const std::string& section,
                                    const std::string& path) {
  // With no key, the call gives the section's key names.
  char keys[64];
  LockedCall locked(*this, settings_lock_, path);
  return GetPrivateProfileStringA(section.c_str(), nullptr, "", keys,
                                  sizeof keys, path.c_str()) > 0;
}

std::string RealPlatform::EnvironmentVariable(const std::string& name) {
  char buffer[MAX_PATH * 2];
  DWORD length = GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length)
                                              : std::string();
}

namespace {

// The token information classes of Windows Vista, by number: older
// headers and Windows XP do not know them.
const TOKEN_INFORMATION_CLASS kTokenElevation =
    static_cast<TOKEN_INFORMATION_CLASS>(20);
const TOKEN_INFORMATION_CLASS kTokenVirtualizationEnabled =
    static_cast<TOKEN_INFORMATION_CLASS>(24);
const TOKEN_INFORMATION_CLASS kTokenIntegrityLevel =
    static_cast<TOKEN_INFORMATION_CLASS>(25);
const DWORD kProcessQueryLimitedInformation = 0x1000;

Answer TokenFlag(HANDLE token, TOKEN_INFORMATION_CLASS which) {
  DWORD value = 0;
  DWORD size = 0;
  if (!GetTokenInformation(token, which, &value, sizeof value, &size))
    return Answer::kUnknown;
  return value ? Answer::kYes : Answer::kNo;
}

/// The integrity level (the last sub-authority of the label's SID) of a
/// process's token. False with `*before_vista` set when the system has no
/// integrity levels.
bool IntegrityLevel(HANDLE process, DWORD* level, bool* before_vista) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, kTokenIntegrityLevel, nullptr, 0, &size);
  *before_vista = GetLastError() == ERROR_INVALID_PARAMETER;
  std::vector<BYTE> label(size ? size : 1);
  bool found = size != 0 && GetTokenInformation(token, kTokenIntegrityLevel,
                                                label.data(), size, &size);
  CloseHandle(token);
  if (!found) return false;
  PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
  *level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
  return true;
}

}  // namespace

OwnRights RealPlatform::QueryOwnRights() {
  OwnRights rights;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return rights;
  rights.elevated = TokenFlag(token, kTokenElevation);
  rights.virtualized = TokenFlag(token, kTokenVirtualizationEnabled);
  CloseHandle(token);
  return rights;
}

PostRefusal RealPlatform::WouldRefusePost(WindowHandle window) {
  // Windows refuses a post to the window of a program of a higher
  // integrity level (User Interface Privilege Isolation).
  DWORD own_level = 0;
  bool before_vista = false;
  if (!IntegrityLevel(GetCurrentProcess(), &own_level, &before_vista))
    return before_vista ? PostRefusal::kNoSuchRule : PostRefusal::kUnknown;
  DWORD process_id = 0;
  GetWindowThreadProcessId(AsWindow(window), &process_id);
  HANDLE process =
      OpenProcess(kProcessQueryLimitedInformation, FALSE, process_id);
  if (!process) return PostRefusal::kUnknown;
  DWORD level = 0;
  bool found = IntegrityLevel(process, &level, &before_vista);
  CloseHandle(process);
  if (!found) return PostRefusal::kUnknown;
  return level > own_level ? PostRefusal::kRefused : PostRefusal::kAllowed;
}

KeyHolder RealPlatform::WhoHoldsKeys(std::uint32_t modifiers,
                                     std::uint32_t key) {
  const UINT question = RegisterWindowMessageA(kWatchHoldsKeysMessage);
  HWND watcher = FindWindowA(kWatchWindowClass, nullptr);
  DWORD_PTR answer = 0;
  // A watcher that does not answer within the time holds nothing for us.
  if (watcher && question &&
      SendMessageTimeoutA(watcher, question, modifiers, key,
                          SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &answer) &&
      answer == 1)
    return KeyHolder::kWatcher;
  // Held by this thread for an instant, and at once let go.
  const int kProbeId = 0xBFFF;
  if (RegisterHotKey(nullptr, kProbeId, modifiers, key)) {
    UnregisterHotKey(nullptr, kProbeId);
    return KeyHolder::kFree;
  }
  return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED
             ? KeyHolder::kOther
             : KeyHolder::kWindows;
}

bool RealPlatform::MutexExists(const std::string& name) {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
  if (mutex) {
    CloseHandle(mutex);
    return true;
  }
  // One made with higher rights is there, though this process may not
  // open it.
  return GetLastError() == ERROR_ACCESS_DENIED;
}

bool RealPlatform::WriteStandardOutput(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!out || out == INVALID_HANDLE_VALUE) return false;
  DWORD type = GetFileType(out);
  if (type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE) return false;
  size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    if (!WriteFile(out, text.data() + done,
                   static_cast<DWORD>(text.size() - done), &written, nullptr) ||
        written == 0)
      break;  // A full disk, a pipe whose reader has gone.
    done += written;
  }
  return done == text.size();
}

void RealPlatform::ShowInformationBox(const std::string& caption,
                                      const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(),
              MB_OK | MB_ICONINFORMATION);
}
