#include "platform/system_library_win32.h"

#include <cstring>

namespace {

// From Windows 8, and Vista and 7 with update KB2533623: the DLL and the
// DLLs it needs are looked for in the system folder alone. Defined here
// because older headers lack it.
const DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

/// Whether LoadLibraryEx takes kSearchSystem32: Windows has it where
/// kernel32 exports AddDllDirectory, which came with that flag. An older
/// Windows fails LoadLibraryEx on the unknown flag.
bool HasSystemFolderSearch() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel && GetProcAddress(kernel, "AddDllDirectory");
}

}  // namespace

HMODULE LoadSystemLibrary(const char* file_name) {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  // 0 is a failure; a length that fills the buffer is the size it needs.
  if (length == 0 || length >= MAX_PATH) return nullptr;
  bool has_separator = path[length - 1] == '\\';
  std::size_t name_size = std::strlen(file_name) + 1;  // With its end.
  if (length + !has_separator + name_size > MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  if (!has_separator) path[length++] = '\\';
  std::memcpy(path + length, file_name, name_size);
  // The DLLs it needs are looked for as carefully: with a full path, the
  // altered search order starts in the DLL's own folder, the system folder,
  // and never looks in the program's; where it can, Windows looks in the
  // system folder alone.
  DWORD flags =
      HasSystemFolderSearch() ? kSearchSystem32 : LOAD_WITH_ALTERED_SEARCH_PATH;
  return LoadLibraryExA(path, nullptr, flags);
}

SystemLibrary::~SystemLibrary() {
  if (module_) FreeLibrary(module_);
}
