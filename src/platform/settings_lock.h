// The lock that makes each call on a file that morvask's processes share
// (the settings file, the log) whole with respect to the other processes.
// Several presses of "next" run at once, and the system's private-profile
// calls re-read, truncate and rewrite the file without any lock between
// processes: a reader could see a half-written file and a writer could
// write back a file another writer had just emptied. The Win32 layer
// therefore holds a named mutex of the file around every single read,
// write and flush, and never across calls.
//
// One file must get one lock however its path is spelled: a program
// started through a short 8.3 folder name has that spelling in its module
// path, and Windows matches file names in any case, non-ASCII letters too.
#ifndef MORVASK_PLATFORM_SETTINGS_LOCK_H_
#define MORVASK_PLATFORM_SETTINGS_LOCK_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/path.h"

/// How long a call waits for the lock. After a timeout the call goes ahead
/// unlocked, and so does every later call of that process on that file,
/// so that a press never hangs and waits at most about this much longer.
constexpr std::uint32_t kSettingsLockWaitMs = 1000;

/// How the system spells and compares file names; the Win32 layer gives
/// its own, tests a table.
struct FileNameRules {
  LeadByteTest is_lead_byte;
  /// The long form of a folder's path (GetLongPathNameA), or the empty
  /// text when the system cannot give it.
  std::function<std::string(const std::string&)> long_folder;
  /// The path as UTF-16 with every letter in one case, as Windows matches
  /// file names.
  std::function<std::u16string(const std::string&)> fold_case;
};

/// The mutex name for the file at `path`, in the session's own namespace:
/// "Local\morvask-" and 16 hexadecimal digits of a 64-bit hash of the path
/// with its folder in long form (the file itself may not exist yet; as
/// given when that fails) and every letter folded.
std::string FileLockName(std::string_view path, const FileNameRules& rules);

#endif  // MORVASK_PLATFORM_SETTINGS_LOCK_H_
