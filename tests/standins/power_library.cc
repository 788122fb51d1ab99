// Stand-in for the system's powrprof.dll (Wine's own only stubs the power
// plan functions), copied into the test prefix's system folder. One source,
// built three times, so that a test chooses which Windows it plays:
//   power_win11.dll  every function below
//   power_win10.dll  no user-configured power mode functions (before 11)
//   power_xp.dll     only SetActivePwrScheme, GetActivePwrScheme and
//                    EnumPwrSchemes
// The exports have the documented stdcall signatures and undecorated names.
//
// The folder named by MORVASK_TEST_POWER (a Windows path) holds:
//   plans.txt  one plan a line, "GUID<TAB>name" (UTF-8; the GUID with or
//              without braces, any case) for the plan functions, or
//              "NUMBER<TAB>name" for the XP ones. The first plan of each
//              kind is the active one until one is set.
//   state.txt  read at each call, rewritten at each set, so that a set in
//              one process reads back in the next: "active {GUID}",
//              "active_xp NUMBER", "ac_mode {GUID}", "dc_mode {GUID}", one
//              a line; a missing line holds its default (the first plan,
//              the balanced mode {00000000-0000-0000-0000-000000000000}).
//   calls.log  one line a call, as "PowerSetActiveScheme {GUID}",
//              "PowerGetActiveScheme", "PowerEnumerate INDEX",
//              "PowerReadFriendlyName {GUID}",
//              "PowerSetUserConfiguredACPowerMode {GUID}" (and DC),
//              "PowerGetUserConfiguredACPowerMode" (and DC),
//              "SetActivePwrScheme NUMBER", "GetActivePwrScheme",
//              "EnumPwrSchemes" (GUIDs upper case in braces), and at load
//              "loaded FULL_PATH_OF_THE_PROCESS_EXE" (UTF-8).
// A copy loaded from anywhere but the system folder (one planted beside a
// program) writes its lines to planted.log instead, so the system copy's
// log shows only its own calls.
// With MORVASK_TEST_POWER unset it plays two built-in plans of each kind,
// keeps its state in the process and records nothing.
//
// An unknown plan or mode fails with ERROR_INVALID_PARAMETER (the
// documentation names no code; the XP functions return FALSE with it as
// the last error).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "text.h"

namespace {

const DWORD kUnknown = ERROR_INVALID_PARAMETER;
const int kAccessScheme = 16;  // POWER_DATA_ACCESSOR ACCESS_SCHEME.

struct Plan {
  bool numbered;  // An XP plan: `number`; else a plan of the GUID kind.
  GUID guid;
  UINT number;
  std::wstring name;
};

struct State {
  bool has_active = false;
  GUID active = {};
  bool has_active_xp = false;
  UINT active_xp = 0;
  GUID ac_mode = {};  // The balanced mode is the null GUID.
  GUID dc_mode = {};
};

// The power modes that Windows 11 documents: best power efficiency,
// balanced, better performance, best performance.
const GUID kModes[] = {
    {0x961cc777,
     0x2547,
     0x4f9d,
     {0x81, 0x74, 0x7d, 0x86, 0x18, 0x1b, 0x8a, 0x7a}},
    {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}},
    {0x3af9b8d9,
     0x7c97,
     0x431d,
     {0xad, 0x78, 0x34, 0xa8, 0xbf, 0xea, 0x43, 0x9f}},
    {0xded574b5,
     0x45a0,
     0x4f42,
     {0x87, 0x37, 0x46, 0x34, 0x5c, 0x09, 0xc2, 0x38}},
};

const char kBuiltInPlans[] =
    "381b4222-f694-41f0-9685-ff5bb260df2e\tBalanced\n"
    "8c5e7fda-e8bf-4a96-9a85-a6e23a8c635c\tHigh performance\n"
    "0\tHome/Office Desk\n"
    "1\tPortable/Laptop\n";

std::wstring g_folder;  // Empty: MORVASK_TEST_POWER unset.
const wchar_t* g_log_name = L"calls.log";
State g_memory_state;  // The state when there is no folder.

// Not used by the XP build.
[[maybe_unused]] bool SameGuid(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parses a GUID with or without braces; false when `text` is not one.
bool ParseGuid(std::string text, GUID* guid) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}')
    text = text.substr(1, 36);
  if (text.size() != 36) return false;
  unsigned char bytes[16];
  size_t at = 0;
  for (unsigned char& byte : bytes) {
    if (at == 8 || at == 13 || at == 18 || at == 23) {
      if (text[at] != '-') return false;
      ++at;
    }
    int high = HexDigit(text[at]), low = HexDigit(text[at + 1]);
    if (high < 0 || low < 0) return false;
    byte = static_cast<unsigned char>(high * 16 + low);
    at += 2;
  }
  guid->Data1 = (DWORD(bytes[0]) << 24) | (DWORD(bytes[1]) << 16) |
                (DWORD(bytes[2]) << 8) | bytes[3];
  guid->Data2 = static_cast<WORD>((bytes[4] << 8) | bytes[5]);
  guid->Data3 = static_cast<WORD>((bytes[6] << 8) | bytes[7]);
  std::memcpy(guid->Data4, bytes + 8, 8);
  return true;
}

// Parses a decimal number; false when `text` is not one.
bool ParseNumber(const std::string& text, UINT* number) {
  if (text.empty() || text.size() > 9) return false;
  UINT value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<UINT>(c - '0');
  }
  *number = value;
  return true;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  int length = MultiByteToWideChar(CP_UTF8, 0, text.data(),
                                   static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(length > 0 ? length : 0, L'\0');
  if (length > 0)
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                        &wide[0], length);
  return wide;
}

std::string ToUtf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(),
                                   static_cast<int>(wide.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string text(length > 0 ? length : 0, '\0');
  if (length > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                        &text[0], length, nullptr, nullptr);
  return text;
}

// The whole file in the folder, or false when it cannot be read.
bool ReadFolderFile(const wchar_t* name, std::string* bytes) {
  HANDLE file = CreateFileW((g_folder + L"\\" + name).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  DWORD read = 0;
  bytes->clear();
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes->append(buffer, read);
  CloseHandle(file);
  return true;
}

// Writes (creation CREATE_ALWAYS) or appends (OPEN_ALWAYS) `bytes` in one
// write.
void WriteFolderFile(const wchar_t* name, const std::string& bytes,
                     DWORD creation) {
  DWORD access = creation == OPEN_ALWAYS ? FILE_APPEND_DATA : GENERIC_WRITE;
  HANDLE file = CreateFileW((g_folder + L"\\" + name).c_str(), access,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
            nullptr);
  CloseHandle(file);
}

// Holds the folder's named mutex, so that processes calling at once
// neither tear the state nor interleave log lines.
class FolderLock {
 public:
  FolderLock() : mutex_(CreateMutexW(nullptr, FALSE, L"morvask-test-power")) {
    if (mutex_) WaitForSingleObject(mutex_, 5000);
  }
  ~FolderLock() {
    if (!mutex_) return;
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  HANDLE mutex_;
};

void Record(const std::string& line) {
  if (g_folder.empty()) return;
  FolderLock lock;
  WriteFolderFile(g_log_name, line + "\n", OPEN_ALWAYS);
}

// The lines of `bytes`, without line ends and a leading byte order mark.
std::vector<std::string> Lines(std::string bytes) {
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The plans of plans.txt (the built-in ones without a folder or file);
// lines that are not a plan are skipped.
std::vector<Plan> LoadPlans() {
  std::string bytes;
  if (g_folder.empty() || !ReadFolderFile(L"plans.txt", &bytes))
    bytes = kBuiltInPlans;
  std::vector<Plan> plans;
  for (const std::string& line : Lines(bytes)) {
    size_t tab = line.find('\t');
    std::string key = line.substr(0, tab);
    Plan plan = {false, {}, 0, std::wstring()};
    if (tab != std::string::npos) plan.name = FromUtf8(line.substr(tab + 1));
    if (ParseNumber(key, &plan.number)) {
      plan.numbered = true;
    } else if (!ParseGuid(key, &plan.guid)) {
      continue;
    }
    plans.push_back(plan);
  }
  return plans;
}

const Plan* FindNumbered(const std::vector<Plan>& plans, UINT number) {
  for (const Plan& plan : plans)
    if (plan.numbered && plan.number == number) return &plan;
  return nullptr;
}

// The state: state.txt over the defaults from the plans.
State LoadState(const std::vector<Plan>& plans) {
  State state;
  for (const Plan& plan : plans) {
    if (plan.numbered && !state.has_active_xp) {
      state.has_active_xp = true;
      state.active_xp = plan.number;
    } else if (!plan.numbered && !state.has_active) {
      state.has_active = true;
      state.active = plan.guid;
    }
  }
  if (g_folder.empty()) {
    if (!g_memory_state.has_active) g_memory_state.active = state.active;
    if (!g_memory_state.has_active_xp)
      g_memory_state.active_xp = state.active_xp;
    g_memory_state.has_active |= state.has_active;
    g_memory_state.has_active_xp |= state.has_active_xp;
    return g_memory_state;
  }
  std::string bytes;
  if (!ReadFolderFile(L"state.txt", &bytes)) return state;
  for (const std::string& line : Lines(bytes)) {
    size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    std::string key = line.substr(0, space), value = line.substr(space + 1);
    if (key == "active" && ParseGuid(value, &state.active)) {
      state.has_active = true;
    } else if (key == "active_xp" && ParseNumber(value, &state.active_xp)) {
      state.has_active_xp = true;
    } else if (key == "ac_mode") {
      ParseGuid(value, &state.ac_mode);
    } else if (key == "dc_mode") {
      ParseGuid(value, &state.dc_mode);
    }
  }
  return state;
}

void SaveState(const State& state) {
  if (g_folder.empty()) {
    g_memory_state = state;
    return;
  }
  std::string text;
  if (state.has_active) text += "active " + GuidText(state.active) + "\n";
  if (state.has_active_xp)
    text += "active_xp " + std::to_string(state.active_xp) + "\n";
  text += "ac_mode " + GuidText(state.ac_mode) + "\n";
  text += "dc_mode " + GuidText(state.dc_mode) + "\n";
  WriteFolderFile(L"state.txt", text, CREATE_ALWAYS);
}

#if defined(POWER_VISTA)
const Plan* FindPlan(const std::vector<Plan>& plans, const GUID& guid) {
  for (const Plan& plan : plans)
    if (!plan.numbered && SameGuid(plan.guid, guid)) return &plan;
  return nullptr;
}

// Copies `size` bytes to a caller's buffer by the documented protocol: no
// buffer asks for the size; one too small gets ERROR_MORE_DATA.
DWORD CopyOut(const void* data, DWORD size, UCHAR* buffer, DWORD* buffer_size) {
  if (!buffer_size) return ERROR_INVALID_PARAMETER;
  DWORD room = *buffer_size;
  *buffer_size = size;
  if (!buffer) return ERROR_SUCCESS;
  if (room < size) return ERROR_MORE_DATA;
  std::memcpy(buffer, data, size);
  return ERROR_SUCCESS;
}
#endif

#if defined(POWER_MODES)
DWORD SetMode(const char* name, const GUID* mode, bool ac) {
  Record(std::string(name) + " " + (mode ? GuidText(*mode) : "NULL"));
  if (!mode) return ERROR_INVALID_PARAMETER;
  bool known = false;
  for (const GUID& each : kModes) known |= SameGuid(each, *mode);
  if (!known) return kUnknown;
  FolderLock lock;
  State state = LoadState(LoadPlans());
  (ac ? state.ac_mode : state.dc_mode) = *mode;
  SaveState(state);
  return ERROR_SUCCESS;
}

DWORD GetMode(const char* name, GUID* mode, bool ac) {
  Record(name);
  if (!mode) return ERROR_INVALID_PARAMETER;
  FolderLock lock;
  State state = LoadState(LoadPlans());
  *mode = ac ? state.ac_mode : state.dc_mode;
  return ERROR_SUCCESS;
}
#endif

// Where the folder comes from, and which log this copy writes.
void Configure(HINSTANCE self) {
  wchar_t buffer[MAX_PATH];
  DWORD length =
      GetEnvironmentVariableW(L"MORVASK_TEST_POWER", buffer, MAX_PATH);
  if (length > 0 && length < MAX_PATH) g_folder = buffer;
  wchar_t system[MAX_PATH], own[MAX_PATH];
  UINT system_length = GetSystemDirectoryW(system, MAX_PATH);
  DWORD own_length = GetModuleFileNameW(self, own, MAX_PATH);
  if (system_length == 0 || system_length >= MAX_PATH || own_length == 0 ||
      own_length >= MAX_PATH)
    return;
  wchar_t* slash = wcsrchr(own, L'\\');
  if (slash) *slash = L'\0';
  if (lstrcmpiW(own, system) != 0) g_log_name = L"planted.log";
}

std::wstring ProcessExe() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length < MAX_PATH ? length : 0);
}

}  // namespace

extern "C" {

#define EXPORT __declspec(dllexport)

#if defined(POWER_VISTA)
EXPORT DWORD WINAPI PowerEnumerate(HKEY, const GUID*, const GUID*,
                                   int access_flags, ULONG index, UCHAR* buffer,
                                   DWORD* buffer_size) {
  Record("PowerEnumerate " + std::to_string(index));
  if (access_flags != kAccessScheme) return ERROR_INVALID_PARAMETER;
  ULONG at = 0;
  for (const Plan& plan : LoadPlans()) {
    if (plan.numbered) continue;
    if (at++ == index)
      return CopyOut(&plan.guid, sizeof plan.guid, buffer, buffer_size);
  }
  return ERROR_NO_MORE_ITEMS;
}

EXPORT DWORD WINAPI PowerReadFriendlyName(HKEY, const GUID* scheme,
                                          const GUID* subgroup,
                                          const GUID* setting, UCHAR* buffer,
                                          DWORD* buffer_size) {
  Record(std::string("PowerReadFriendlyName ") +
         (scheme ? GuidText(*scheme) : "NULL"));
  if (!scheme || subgroup || setting) return ERROR_INVALID_PARAMETER;
  std::vector<Plan> plans = LoadPlans();
  const Plan* plan = FindPlan(plans, *scheme);
  if (!plan) return kUnknown;
  DWORD size = static_cast<DWORD>((plan->name.size() + 1) * sizeof(wchar_t));
  return CopyOut(plan->name.c_str(), size, buffer, buffer_size);
}

EXPORT DWORD WINAPI PowerGetActiveScheme(HKEY, GUID** active) {
  Record("PowerGetActiveScheme");
  if (!active) return ERROR_INVALID_PARAMETER;
  FolderLock lock;
  State state = LoadState(LoadPlans());
  if (!state.has_active) return ERROR_FILE_NOT_FOUND;
  *active = static_cast<GUID*>(LocalAlloc(LMEM_FIXED, sizeof(GUID)));
  if (!*active) return ERROR_NOT_ENOUGH_MEMORY;
  **active = state.active;
  return ERROR_SUCCESS;
}

EXPORT DWORD WINAPI PowerSetActiveScheme(HKEY, const GUID* scheme) {
  Record(std::string("PowerSetActiveScheme ") +
         (scheme ? GuidText(*scheme) : "NULL"));
  if (!scheme) return ERROR_INVALID_PARAMETER;
  FolderLock lock;
  std::vector<Plan> plans = LoadPlans();
  if (!FindPlan(plans, *scheme)) return kUnknown;
  State state = LoadState(plans);
  state.has_active = true;
  state.active = *scheme;
  SaveState(state);
  return ERROR_SUCCESS;
}
#endif

#if defined(POWER_MODES)
EXPORT DWORD WINAPI PowerSetUserConfiguredACPowerMode(const GUID* mode) {
  return SetMode("PowerSetUserConfiguredACPowerMode", mode, true);
}

EXPORT DWORD WINAPI PowerSetUserConfiguredDCPowerMode(const GUID* mode) {
  return SetMode("PowerSetUserConfiguredDCPowerMode", mode, false);
}

EXPORT DWORD WINAPI PowerGetUserConfiguredACPowerMode(GUID* mode) {
  return GetMode("PowerGetUserConfiguredACPowerMode", mode, true);
}

EXPORT DWORD WINAPI PowerGetUserConfiguredDCPowerMode(GUID* mode) {
  return GetMode("PowerGetUserConfiguredDCPowerMode", mode, false);
}
#endif

typedef BOOLEAN(CALLBACK* SchemeCallback)(UINT, DWORD, LPWSTR, DWORD, LPWSTR,
                                          void*, LPARAM);

EXPORT BOOLEAN WINAPI SetActivePwrScheme(UINT number, void*, void*) {
  Record("SetActivePwrScheme " + std::to_string(number));
  FolderLock lock;
  std::vector<Plan> plans = LoadPlans();
  if (!FindNumbered(plans, number)) {
    SetLastError(kUnknown);
    return FALSE;
  }
  State state = LoadState(plans);
  state.has_active_xp = true;
  state.active_xp = number;
  SaveState(state);
  return TRUE;
}

EXPORT BOOLEAN WINAPI GetActivePwrScheme(UINT* number) {
  Record("GetActivePwrScheme");
  if (!number) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  FolderLock lock;
  State state = LoadState(LoadPlans());
  if (!state.has_active_xp) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  *number = state.active_xp;
  return TRUE;
}

EXPORT BOOLEAN WINAPI EnumPwrSchemes(SchemeCallback callback, LPARAM param) {
  Record("EnumPwrSchemes");
  if (!callback) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The lock is not held here: the callback may call back into us.
  static unsigned char policy[512];  // A POWER_POLICY of zeros.
  wchar_t description[] = L"";
  for (Plan& plan : LoadPlans()) {
    if (!plan.numbered) continue;
    DWORD name_size =
        static_cast<DWORD>((plan.name.size() + 1) * sizeof(wchar_t));
    if (!callback(plan.number, name_size, &plan.name[0], sizeof description,
                  description, policy, param))
      break;
  }
  return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  Configure(self);
  Record("loaded " + ToUtf8(ProcessExe()));
  return TRUE;
}

}  // extern "C"
