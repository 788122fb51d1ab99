// DLLs of Windows that are not KnownDLLs, loaded only from the system
// folder. Such a DLL imported or loaded by its bare name is looked for in
// the program's own folder first, where a less privileged account may have
// planted one of the same name: so morvask imports only KnownDLLs and loads
// any other system DLL at run time by its full path, its functions looked
// up by name (which also lets a function newer than the oldest supported
// Windows be missing).
#ifndef MORVASK_PLATFORM_SYSTEM_LIBRARY_WIN32_H_
#define MORVASK_PLATFORM_SYSTEM_LIBRARY_WIN32_H_

#include <windows.h>

/// Loads the DLL `file_name` (a bare name such as "wtsapi32.dll") from the
/// system folder by its full path, and the DLLs it needs from there too.
/// Returns its module handle, for FreeLibrary; or nullptr when the system
/// folder cannot be had, the full path would be too long, or the DLL is
/// not there or fails to load (then GetLastError says why).
HMODULE LoadSystemLibrary(const char* file_name);

/// One system DLL, loaded by LoadSystemLibrary for the owner's lifetime
/// and freed with it. A DLL that could not be loaded has no functions.
class SystemLibrary {
 public:
  explicit SystemLibrary(const char* file_name)
      : module_(LoadSystemLibrary(file_name)) {}
  ~SystemLibrary();
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  /// The exported function `name` as a pointer of type `Function`, which
  /// must match its real signature and calling convention; nullptr when
  /// the DLL did not load or does not export it.
  template <typename Function>
  Function Find(const char* name) const {
    if (!module_) return nullptr;
    // A function pointer of one type to another: the caller names the type.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

#endif  // MORVASK_PLATFORM_SYSTEM_LIBRARY_WIN32_H_
