// What "morvask check" looks at, and how it hands over its report. Nothing
// here changes what a command does, and no command but "check" calls it.
#ifndef MORVASK_PLATFORM_DIAGNOSTICS_H_
#define MORVASK_PLATFORM_DIAGNOSTICS_H_

#include <string>

#include "platform/platform_types.h"

class DiagnosticCalls {
 public:
  virtual ~DiagnosticCalls() = default;

  virtual FileFacts QueryFile(const std::string& path) = 0;
  /// The full path of the program `name` (".exe" added when it has no
  /// extension) as Windows would look for it to start it: in morvask's
  /// folder, the current folder, the system folders and the PATH; the
  /// empty text when it is not found.
  virtual std::string FindProgram(const std::string& name) = 0;
  /// True when the settings file has the section, with a key in it.
  virtual bool IniSectionExists(const std::string& section,
                                const std::string& path) = 0;
  /// An environment variable's value, or the empty text.
  virtual std::string EnvironmentVariable(const std::string& name) = 0;
  virtual OwnRights QueryOwnRights() = 0;
  /// Who may change the file or folder at `path`; kUnknown answers when
  /// it is not there or its access list cannot be read.
  virtual WriteRights QueryWriteRights(const std::string& path) = 0;
  /// Found without posting anything to the window.
  virtual PostRefusal WouldRefusePost(WindowHandle window) = 0;
  /// Who holds the hotkey (modifier flags, virtual-key code): asks the
  /// running watcher's window first, then tries to register it for an
  /// instant, which changes nothing lasting.
  virtual KeyHolder WhoHoldsKeys(std::uint32_t modifiers,
                                 std::uint32_t key) = 0;
  /// True when a named mutex of that name exists in this session.
  virtual bool MutexExists(const std::string& name) = 0;
  /// Writes `text` to standard output when that is a file or a pipe (as a
  /// command prompt makes it with "> file" or "|"). Returns true when all
  /// of it was written; false when standard output is neither, having
  /// written nothing, or when a write failed (a full disk, a pipe whose
  /// reader has gone), having written part of it.
  virtual bool WriteStandardOutput(const std::string& text) = 0;
  /// Modal message box with no owner, an information icon and `caption`.
  virtual void ShowInformationBox(const std::string& caption,
                                  const std::string& text) = 0;
};

#endif  // MORVASK_PLATFORM_DIAGNOSTICS_H_
