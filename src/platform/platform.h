// The operating-system calls that morvask's logic makes, behind one
// abstract interface so it can be mocked out for tests. The Win32
// implementation lives in platform_win32.cc; tests use a recording fake.
#ifndef MORVASK_PLATFORM_PLATFORM_H_
#define MORVASK_PLATFORM_PLATFORM_H_

#include <cstdint>
#include <string>

/// Opaque handles of the platform's objects; 0 means none.
using WindowHandle = std::uintptr_t;
using RegistryKey = std::uintptr_t;
using ProcessHandle = std::uintptr_t;

/// Registry value types the logic tells apart.
enum : std::uint32_t { kRegSz = 1, kRegExpandSz = 2 };

/// Message numbers and styles the logic passes through.
enum : std::uint32_t { kWmCommand = 0x0111, kMbIconError = 0x10 };

/// Process creation flags: CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS.
constexpr std::uint32_t kToolCreationFlags = 0x220;

/// An answer the system may not be able to give.
enum class Answer { kNo, kYes, kUnknown };

/// What the system says of a path, found without opening it for writing.
struct FileFacts {
  bool exists = false;  // A file or folder is there.
  bool is_folder = false;
  bool read_only = false;  // The read-only attribute.
  /// A file: whether this process may write to it. A folder: whether it
  /// may make a file in it. By the access rules alone, so that nothing is
  /// changed or copied (a write-open would start VirtualStore's copy).
  Answer writable = Answer::kUnknown;
};

/// What this process's rights are (Windows Vista and later; kUnknown
/// before).
struct OwnRights {
  Answer elevated = Answer::kUnknown;
  /// Writes under Program Files go to VirtualStore.
  Answer virtualized = Answer::kUnknown;
};

/// Whether Windows would refuse a message this process posts to a window.
enum class PostRefusal {
  kAllowed,
  kRefused,     // Its program has a higher integrity level.
  kNoSuchRule,  // Before Windows Vista: no integrity levels, no refusal.
  kUnknown,     // Its program's rights cannot be looked at.
};

/// Local date and time.
struct LocalTime {
  std::uint16_t year, month, day, hour, minute, second, millisecond;
};

class Platform {
 public:
  virtual ~Platform() = default;

  /// The process command line as the ANSI byte string the system gives.
  virtual std::string CommandLine() = 0;
  /// Full path of the running executable, however long it is.
  virtual std::string ModulePath() = 0;
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

  /// CreateProcessA with no application name, inherited environment and
  /// directory, and `flags`. Returns the process handle, or 0 on failure.
  virtual ProcessHandle StartProcess(const std::string& command_line,
                                     std::uint32_t flags) = 0;
  /// Waits up to `milliseconds` for the process. Returns true when it has
  /// ended, false when it still runs (or cannot be waited for).
  virtual bool WaitForProcess(ProcessHandle process,
                              std::uint32_t milliseconds) = 0;
  /// Lets go of a started process, which runs on. A short-lived morvask
  /// never needs to: its handles go when it ends; a resident one must.
  virtual void ReleaseProcess(ProcessHandle process) = 0;

  /// Top-level window by class and title, or 0.
  virtual WindowHandle FindTopLevelWindow(const std::string& window_class,
                                          const std::string& title) = 0;
  /// Posts (never sends) a message; returns whether it was queued.
  virtual bool PostWindowMessage(WindowHandle window, std::uint32_t message,
                                 std::uint32_t wparam, std::int32_t lparam) = 0;
  /// Modal message box with no owner and no caption of its own.
  virtual void ShowMessageBox(const std::string& text, std::uint32_t style) = 0;

  /// True when this process runs in the session attached to the physical
  /// console (with fast user switching, the user at the keyboard), and
  /// when the system cannot tell.
  virtual bool IsConsoleSession() = 0;

  // What "morvask check" and the log look at; nothing here changes what a
  // command does.

  /// The system's error code of the last call that failed, read at once.
  virtual std::uint32_t LastErrorCode() = 0;
  /// The exit code of a process that has ended; false when it cannot be
  /// read.
  virtual bool ProcessExitCode(ProcessHandle process, std::uint32_t* code) = 0;
  virtual LocalTime Now() = 0;
  virtual std::uint32_t ProcessId() = 0;
  /// Appends `line` to the file at `path` (made if missing) by one write,
  /// so that lines of processes writing at once never mix. First, when the
  /// file is larger than `rotate_above` bytes, moves it to `path`.1,
  /// replacing that, while holding the file's lock so that two processes
  /// never both move it. Returns false when nothing could be written.
  virtual bool AppendToLog(const std::string& path, const std::string& line,
                           std::uint32_t rotate_above) = 0;

  virtual FileFacts QueryFile(const std::string& path) = 0;
  /// True when the settings file has the section, with a key in it.
  virtual bool IniSectionExists(const std::string& section,
                                const std::string& path) = 0;
  /// An environment variable's value, or the empty text.
  virtual std::string EnvironmentVariable(const std::string& name) = 0;
  virtual OwnRights QueryOwnRights() = 0;
  /// Found without posting anything to the window.
  virtual PostRefusal WouldRefusePost(WindowHandle window) = 0;
  /// True when a named mutex of that name exists in this session.
  virtual bool MutexExists(const std::string& name) = 0;
  /// Writes `text` to standard output when that is a file or a pipe (as a
  /// command prompt makes it with "> file" or "|"). Returns false, having
  /// written nothing, when it is neither.
  virtual bool WriteStandardOutput(const std::string& text) = 0;
  /// Modal message box with no owner, an information icon and `caption`.
  virtual void ShowInformationBox(const std::string& caption,
                                  const std::string& text) = 0;
};

#endif  // MORVASK_PLATFORM_PLATFORM_H_
