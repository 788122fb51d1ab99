// The graphics driver profile loader: starts the ATI Catalyst command-line
// tool with a command that loads a named driver profile.
#ifndef MORVASK_ACTIONS_CATALYST_H_
#define MORVASK_ACTIONS_CATALYST_H_

#include <string>

class Platform;

/// Where the tool is looked for when the registry names no folder.
extern const char kDefaultCatalystFolder[];

/// The tool's install folder from HKLM\Software\ATI\ACE, value "Path", in
/// the process's registry view: the text up to its first NUL, unexpanded.
/// Returns the empty text when the key or the value is missing or empty.
/// Throws ERegistryException when the value is not text or cannot be read.
std::string ReadCatalystFolder(Platform& platform);

/// The tool's command line: the quoted program path (folder used as given,
/// no delimiter added) and the quoted profile name.
std::string CatalystCommandLine(const std::string& folder,
                                const std::string& profile_name);

/// Starts the tool and waits for it up to one second. Returns whether it
/// started. Throws ERegistryException as ReadCatalystFolder does.
bool LoadCatalystProfile(Platform& platform, const std::string& profile_name);

#endif  // MORVASK_ACTIONS_CATALYST_H_
