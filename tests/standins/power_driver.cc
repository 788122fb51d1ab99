// Drives a power library as a GUI program like morvask would, so that the
// tests can check the stand-in power library and the run probe on their
// own. It runs its steps in order and writes one line for each to OUT_FILE.
//
//   power_driver.exe OUT_FILE STEP...
//
// Steps, and the line each writes (CODE: the function's result in decimal;
// a function the loaded library lacks writes "STEP missing" instead):
//   load NAME_OR_PATH  LoadLibraryA: "load ok PATH_OF_THE_MODULE" or
//                      "load error LAST_ERROR"; the other power steps call
//                      the library loaded last
//   enum               PowerEnumerate of the plans from index 0 until it
//                      fails: "enum CODE {GUID}..."
//   enumsmall INDEX    PowerEnumerate with a 4-byte buffer:
//                      "enumsmall CODE SIZE"
//   name GUID          PowerReadFriendlyName, size first:
//                      "name CODE SIZE UTF8_HEX"
//   set GUID / get     PowerSetActiveScheme "set CODE" /
//                      PowerGetActiveScheme "get CODE {GUID}"
//   setac GUID / setdc GUID / getac / getdc
//                      the user-configured power mode functions:
//                      "setac CODE", "getac CODE {GUID}"
//   xpset NUMBER       SetActivePwrScheme "xpset RESULT LAST_ERROR"
//   xpget              GetActivePwrScheme "xpget RESULT NUMBER"
//   xpenum             EnumPwrSchemes "xpenum RESULT NUMBER:UTF8_HEX..."
//   run FLAGS HEX_LINE HEX_FOLDER
//                      CreateProcessA of the command line with the
//                      creation flags, in the folder ("-": this one's),
//                      waited for: "run EXIT_CODE" or "run error LAST_ERROR"
//   console            this process's own console: "console WINDOW" (0|1)
// GUIDs are written as StringFromGUID2 writes them.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text.h"

namespace {

typedef DWORD(WINAPI* EnumerateFn)(HKEY, const GUID*, const GUID*, int, ULONG,
                                   UCHAR*, DWORD*);
typedef DWORD(WINAPI* FriendlyNameFn)(HKEY, const GUID*, const GUID*,
                                      const GUID*, UCHAR*, DWORD*);
typedef DWORD(WINAPI* GetSchemeFn)(HKEY, GUID**);
typedef DWORD(WINAPI* SetSchemeFn)(HKEY, const GUID*);
typedef DWORD(WINAPI* SetModeFn)(const GUID*);
typedef DWORD(WINAPI* GetModeFn)(GUID*);
typedef BOOLEAN(WINAPI* XpSetFn)(UINT, void*, void*);
typedef BOOLEAN(WINAPI* XpGetFn)(UINT*);
typedef BOOLEAN(CALLBACK* XpCallback)(UINT, DWORD, LPWSTR, DWORD, LPWSTR, void*,
                                      LPARAM);
typedef BOOLEAN(WINAPI* XpEnumFn)(XpCallback, LPARAM);

HMODULE g_library = nullptr;
FILE* g_out = nullptr;

std::string Unhex(const char* hex) {
  std::string bytes;
  for (const char* p = hex; p[0] && p[1]; p += 2) {
    char byte[3] = {p[0], p[1], 0};
    bytes += static_cast<char>(std::strtoul(byte, nullptr, 16));
  }
  return bytes;
}

std::string Utf8Hex(const wchar_t* wide, size_t length) {
  char text[1024];
  int n = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), text,
                              sizeof text, nullptr, nullptr);
  return Hex(std::string(text, n > 0 ? n : 0));
}

// Parses "{8-4-4-4-12}" hexadecimal; a malformed GUID reads as zeros.
GUID ParseGuid(const char* text) {
  GUID guid = {};
  unsigned long d1 = 0;
  unsigned d[10] = {};
  if (std::sscanf(text, "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &d1, &d[0],
                  &d[1], &d[2], &d[3], &d[4], &d[5], &d[6], &d[7], &d[8],
                  &d[9]) != 11)
    return guid;
  guid.Data1 = d1;
  guid.Data2 = static_cast<WORD>(d[0]);
  guid.Data3 = static_cast<WORD>(d[1]);
  for (int i = 0; i < 8; ++i) guid.Data4[i] = static_cast<BYTE>(d[2 + i]);
  return guid;
}

template <typename Fn>
Fn Find(const char* name) {
  if (!g_library) return nullptr;
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(g_library, name)));
}

void Line(const std::string& text) {
  std::fprintf(g_out, "%s\n", text.c_str());
  std::fflush(g_out);
}

BOOLEAN CALLBACK CollectScheme(UINT number, DWORD name_size, LPWSTR name, DWORD,
                               LPWSTR, void*, LPARAM param) {
  std::string* out = reinterpret_cast<std::string*>(param);
  size_t length = name_size / sizeof(wchar_t);
  if (length > 0 && name[length - 1] == L'\0') --length;
  *out += " " + std::to_string(number) + ":" + Utf8Hex(name, length);
  return TRUE;
}

void Load(const char* name) {
  g_library = LoadLibraryA(name);
  if (!g_library) {
    Line("load error " + std::to_string(GetLastError()));
    return;
  }
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(g_library, path, sizeof path);
  Line("load ok " + std::string(path, length < sizeof path ? length : 0));
}

void Enumerate() {
  auto enumerate = Find<EnumerateFn>("PowerEnumerate");
  if (!enumerate) return Line("enum missing");
  std::string guids;
  DWORD code = ERROR_SUCCESS;
  for (ULONG index = 0; index < 64; ++index) {
    DWORD size = 0;
    code = enumerate(nullptr, nullptr, nullptr, 16, index, nullptr, &size);
    if (code != ERROR_SUCCESS) break;
    GUID guid = {};
    size = sizeof guid;
    code = enumerate(nullptr, nullptr, nullptr, 16, index,
                     reinterpret_cast<UCHAR*>(&guid), &size);
    if (code != ERROR_SUCCESS) break;
    guids += " " + GuidText(guid);
  }
  Line("enum " + std::to_string(code) + guids);
}

void EnumerateSmall(const char* index) {
  auto enumerate = Find<EnumerateFn>("PowerEnumerate");
  if (!enumerate) return Line("enumsmall missing");
  UCHAR buffer[4];
  DWORD size = sizeof buffer;
  DWORD code = enumerate(nullptr, nullptr, nullptr, 16,
                         std::strtoul(index, nullptr, 10), buffer, &size);
  Line("enumsmall " + std::to_string(code) + " " + std::to_string(size));
}

void Name(const char* text) {
  auto read = Find<FriendlyNameFn>("PowerReadFriendlyName");
  if (!read) return Line("name missing");
  GUID guid = ParseGuid(text);
  DWORD size = 0;
  DWORD code = read(nullptr, &guid, nullptr, nullptr, nullptr, &size);
  std::string name;
  if (code == ERROR_SUCCESS) {
    wchar_t buffer[512] = {};
    DWORD room = size <= sizeof buffer ? size : 0;
    code = read(nullptr, &guid, nullptr, nullptr,
                reinterpret_cast<UCHAR*>(buffer), &room);
    size_t length = room / sizeof(wchar_t);
    if (length > 0 && buffer[length - 1] == L'\0') --length;
    if (code == ERROR_SUCCESS) name = Utf8Hex(buffer, length);
  }
  Line("name " + std::to_string(code) + " " + std::to_string(size) + " " +
       name);
}

void GetScheme() {
  auto get = Find<GetSchemeFn>("PowerGetActiveScheme");
  if (!get) return Line("get missing");
  GUID* active = nullptr;
  DWORD code = get(nullptr, &active);
  Line("get " + std::to_string(code) +
       (code == ERROR_SUCCESS && active ? " " + GuidText(*active) : ""));
  if (active) LocalFree(active);
}

void SetScheme(const char* text) {
  auto set = Find<SetSchemeFn>("PowerSetActiveScheme");
  if (!set) return Line("set missing");
  GUID guid = ParseGuid(text);
  Line("set " + std::to_string(set(nullptr, &guid)));
}

void SetMode(const char* step, const char* function, const char* text) {
  auto set = Find<SetModeFn>(function);
  if (!set) return Line(std::string(step) + " missing");
  GUID guid = ParseGuid(text);
  Line(std::string(step) + " " + std::to_string(set(&guid)));
}

void GetMode(const char* step, const char* function) {
  auto get = Find<GetModeFn>(function);
  if (!get) return Line(std::string(step) + " missing");
  GUID guid = {};
  DWORD code = get(&guid);
  Line(std::string(step) + " " + std::to_string(code) + " " + GuidText(guid));
}

void XpSet(const char* number) {
  auto set = Find<XpSetFn>("SetActivePwrScheme");
  if (!set) return Line("xpset missing");
  SetLastError(ERROR_SUCCESS);
  BOOLEAN done = set(std::strtoul(number, nullptr, 10), nullptr, nullptr);
  Line("xpset " + std::to_string(done ? 1 : 0) + " " +
       std::to_string(GetLastError()));
}

void XpGet() {
  auto get = Find<XpGetFn>("GetActivePwrScheme");
  if (!get) return Line("xpget missing");
  UINT number = 0;
  BOOLEAN done = get(&number);
  Line("xpget " + std::to_string(done ? 1 : 0) + " " + std::to_string(number));
}

void XpEnumerate() {
  auto enumerate = Find<XpEnumFn>("EnumPwrSchemes");
  if (!enumerate) return Line("xpenum missing");
  std::string schemes;
  BOOLEAN done = enumerate(CollectScheme, reinterpret_cast<LPARAM>(&schemes));
  Line("xpenum " + std::to_string(done ? 1 : 0) + schemes);
}

void Run(const char* flags, const char* hex_line, const char* hex_folder) {
  std::string command_line = Unhex(hex_line);
  std::string folder = Unhex(hex_folder);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE,
                      std::strtoul(flags, nullptr, 0), nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup,
                      &info))
    return Line("run error " + std::to_string(GetLastError()));
  WaitForSingleObject(info.hProcess, 30000);
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  Line("run " + std::to_string(code));
}

// Runs the step at argv[at]; returns how many arguments it took, 0 for an
// unknown step or one without its argument.
int Step(int argc, char** argv, int at) {
  const char* step = argv[at];
  const char* arg = at + 1 < argc ? argv[at + 1] : nullptr;
  const char* arg2 = at + 2 < argc ? argv[at + 2] : nullptr;
  const char* arg3 = at + 3 < argc ? argv[at + 3] : nullptr;
  auto is = [step](const char* name) { return std::strcmp(step, name) == 0; };
  if (is("enum")) return Enumerate(), 1;
  if (is("get")) return GetScheme(), 1;
  if (is("getac"))
    return GetMode("getac", "PowerGetUserConfiguredACPowerMode"), 1;
  if (is("getdc"))
    return GetMode("getdc", "PowerGetUserConfiguredDCPowerMode"), 1;
  if (is("xpget")) return XpGet(), 1;
  if (is("xpenum")) return XpEnumerate(), 1;
  if (is("console"))
    return Line(std::string("console ") + (GetConsoleWindow() ? "1" : "0")), 1;
  if (!arg) return 0;
  if (is("load")) return Load(arg), 2;
  if (is("enumsmall")) return EnumerateSmall(arg), 2;
  if (is("name")) return Name(arg), 2;
  if (is("set")) return SetScheme(arg), 2;
  if (is("setac"))
    return SetMode("setac", "PowerSetUserConfiguredACPowerMode", arg), 2;
  if (is("setdc"))
    return SetMode("setdc", "PowerSetUserConfiguredDCPowerMode", arg), 2;
  if (is("xpset")) return XpSet(arg), 2;
  if (is("run") && arg3) return Run(arg, arg2, arg3), 4;
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  g_out = std::fopen(__argv[1], "a");
  if (!g_out) return 1;
  for (int at = 2; at < __argc;) {
    int taken = Step(__argc, __argv, at);
    if (taken == 0) {
      Line(std::string("bad step ") + __argv[at]);
      break;
    }
    at += taken;
  }
  std::fclose(g_out);
  return 0;
}
