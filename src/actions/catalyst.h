// The graphics driver profile loader: starts the ATI Catalyst command-line
// tool with a command that loads a named driver profile.
#ifndef MORVASK_ACTIONS_CATALYST_H_
#define MORVASK_ACTIONS_CATALYST_H_

#include <cstdint>
#include <string>

#include "actions/steps.h"

class CommandCalls;
class Platform;

/// The key under HKEY_LOCAL_MACHINE whose value "Path" names the tool's
/// folder.
inline constexpr char kCatalystKey[] = "Software\\ATI\\ACE";

/// Where the tool is looked for when the registry names no folder.
extern const char kDefaultCatalystFolder[];

/// What HKLM\Software\ATI\ACE, value "Path", holds, as morvask reads it
/// (in the process's registry view), for the report of "check".
struct CatalystPathValue {
  enum Status {
    kNoKey,       // The key is missing or may not be read.
    kNoValue,     // No such value.
    kEmpty,       // The value has no data, whatever its type.
    kUnreadable,  // The data could not be read (it grew in between).
    kNotText,     // Its type (`type`) is neither REG_SZ nor REG_EXPAND_SZ.
    kText,        // `text` is the folder, up to its first NUL.
  };
  Status status = kNoKey;
  std::uint32_t type = 0;
  std::string text;
};

/// Reads the value; never throws. The key is closed before it returns.
CatalystPathValue ReadCatalystPathValue(CommandCalls& platform);

/// The tool's install folder from HKLM\Software\ATI\ACE, value "Path", in
/// the process's registry view: the text up to its first NUL, unexpanded.
/// Returns the empty text when the key or the value is missing or empty.
/// Throws ERegistryException when the value is not text or cannot be read.
std::string ReadCatalystFolder(CommandCalls& platform);

/// The tool's path: `folder` (used as given, no delimiter added), or
/// kDefaultCatalystFolder when it is empty, then "CLI.exe".
std::string CatalystTool(const std::string& folder);

/// The tool's command line: the quoted program path (CatalystTool) and the
/// quoted profile name.
std::string CatalystCommandLine(const std::string& folder,
                                const std::string& profile_name);

/// Starts the tool and waits for it up to one second. Throws
/// ERegistryException as ReadCatalystFolder does.
ProgramRun RunCatalystTool(Platform& platform, const std::string& profile_name);

#endif  // MORVASK_ACTIONS_CATALYST_H_
