// The operating-system calls that morvask's logic makes, behind abstract
// interfaces so they can be mocked out for tests, split by concern: what a
// command does itself (CommandCalls, here), what reaches outside programs
// (OutsideCalls, outside.h), what "morvask check" looks at
// (DiagnosticCalls, diagnostics.h), the power plan and mode (PowerCalls,
// power.h) and morvask's own notice (NoticeCalls, notice.h). Platform is
// all five, as the Win32
// implementation (platform_win32.cc) and the tests' recording fake are;
// code that needs only one concern takes only that one.
#ifndef MORVASK_PLATFORM_PLATFORM_H_
#define MORVASK_PLATFORM_PLATFORM_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/diagnostics.h"
#include "platform/notice.h"
#include "platform/outside.h"
#include "platform/platform_types.h"
#include "platform/power.h"

/// What a run of morvask or morvask-watch does itself: its command line,
/// time and power source, the settings file and the log, the registry and
/// its own boxes.
class CommandCalls {
 public:
  virtual ~CommandCalls() = default;

  /// The process command line as the ANSI byte string the system gives.
  virtual std::string CommandLine() = 0;
  /// Full path of the running executable, however long it is, in the ANSI
  /// code page: its long form when the code page holds every character of
  /// it, else its short (8.3) form. When neither converts exactly (a
  /// volume that keeps no short names), the long form with '?' for what
  /// the code page lacks, which names no file: ModulePathIsExact says so.
  virtual std::string ModulePath() = 0;
  /// False when ModulePath cannot name the executable: no file beside it
  /// may be opened by that name.
  virtual bool ModulePathIsExact() = 0;
  /// True if `byte` is a lead byte of the ANSI code page.
  virtual bool IsLeadByte(unsigned char byte) = 0;
  /// Milliseconds since system start; wraps after about 49.7 days.
  virtual std::uint32_t TickCount() = 0;
  /// First byte of the power status record (1 means on mains). The record
  /// starts zeroed at every call, so a call that fills nothing yields 0.
  virtual std::uint8_t AcLineStatus() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  /// GetPrivateProfileStringA with a 2048-byte buffer: the first n bytes of
  /// the buffer, n being the count the call returns.
  virtual std::string ReadIniString(const std::string& section,
                                    const std::string& key,
                                    const std::string& default_value,
                                    const std::string& path) = 0;
  /// The key names of a section (GetPrivateProfileStringA with no key), in
  /// the file's order, however many; none when the file or section is
  /// missing.
  virtual std::vector<std::string> ReadIniKeyNames(const std::string& section,
                                                   const std::string& path) = 0;
  /// WritePrivateProfileStringA; returns false when the write was refused.
  virtual bool WriteIniString(const std::string& section,
                              const std::string& key, const std::string& value,
                              const std::string& path) = 0;
  /// WritePrivateProfileStringA with section, key and value all absent,
  /// which flushes any cached copy of the file. The result is ignored.
  virtual void FlushProfile(const std::string& path) = 0;

  /// Opens a key under HKEY_LOCAL_MACHINE for reading, in the process's own
  /// registry view. Never creates it. Returns 0 when it cannot be opened.
  virtual RegistryKey OpenMachineKey(const std::string& subkey) = 0;
  /// Size query: RegQueryValueExA with no data buffer. False on failure.
  virtual bool QueryValueSize(RegistryKey key, const std::string& name,
                              std::uint32_t* size) = 0;
  /// Data query into `buffer` of `*size` bytes; sets `*type` and `*size`.
  virtual bool QueryValueData(RegistryKey key, const std::string& name,
                              std::uint32_t* type, char* buffer,
                              std::uint32_t* size) = 0;
  virtual void CloseKey(RegistryKey key) = 0;

  /// Modal message box with no owner and no caption of its own.
  virtual void ShowMessageBox(const std::string& text, std::uint32_t style) = 0;

  /// True when this process runs in the session attached to the physical
  /// console (with fast user switching, the user at the keyboard), and
  /// when the system cannot tell.
  virtual bool IsConsoleSession() = 0;

  /// RegisterHotKey of `keys` (modifier flags, virtual-key code) as hotkey
  /// `id` of `window`. Returns 0 when held, else the system's error code
  /// (1409 when another program holds them).
  virtual std::uint32_t HoldHotkey(WindowHandle window, int id,
                                   std::uint32_t modifiers,
                                   std::uint32_t key) = 0;
  /// UnregisterHotKey; a hotkey not held is no failure.
  virtual void ReleaseHotkey(WindowHandle window, int id) = 0;
  /// Whether RegisterHotKey takes MOD_NOREPEAT: Windows 7 and later.
  virtual bool HotkeysTakeNoRepeat() = 0;
  /// Whether the key of that virtual-key code is down now, as the keyboard
  /// says (GetAsyncKeyState); false when it cannot be told.
  virtual bool KeyIsDown(std::uint32_t key) = 0;

  virtual LocalTime Now() = 0;
  virtual std::uint32_t ProcessId() = 0;
  /// Appends `line` to the file at `path` (made if missing) by one write,
  /// so that lines of processes writing at once never mix. First, when the
  /// file is larger than `rotate_above` bytes, moves it to `path`.1,
  /// replacing that, while holding the file's lock so that two processes
  /// never both move it. Returns false when nothing could be written.
  virtual bool AppendToLog(const std::string& path, const std::string& line,
                           std::uint32_t rotate_above) = 0;
};

class Platform : public CommandCalls,
                 public OutsideCalls,
                 public DiagnosticCalls,
                 public PowerCalls,
                 public NoticeCalls {};

#endif  // MORVASK_PLATFORM_PLATFORM_H_
