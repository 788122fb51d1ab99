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
// path (and so does one in a folder whose long name the code page lacks),
// and Windows matches file names in any case, non-ASCII letters too.
//
// One lock also for every process of the user, elevated or not: the Win32
// layer makes the mutex with an access list that allows the user's own
// SID, and on Windows Vista and later a medium integrity label, so that
// whichever process makes it first, the others may wait for it.
#ifndef MORVASK_PLATFORM_SETTINGS_LOCK_H_
#define MORVASK_PLATFORM_SETTINGS_LOCK_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/path.h"

/// How long a call waits for the lock. After a timeout that call goes ahead
/// unlocked, so that no call hangs behind a stuck holder; the next call
/// waits again, so that one stuck moment does not leave a long-running
/// process (morvask-watch) unlocked for the rest of its session.
constexpr std::uint32_t kSettingsLockWaitMs = 1000;

/// How the system spells and compares file names; the Win32 layer gives
/// its own, tests a table.
struct FileNameRules {
  LeadByteTest is_lead_byte;
  /// The ANSI path in UTF-16, as the system reads it.
  std::function<std::u16string(const std::string&)> widen;
  /// The long form of a folder's path (GetLongPathNameW), or the empty
  /// text when the system cannot give it. In UTF-16: the long names of a
  /// folder reached by its short name may be letters the code page lacks.
  std::function<std::u16string(const std::u16string&)> long_folder;
  /// The path with every letter in one case, as Windows matches file names.
  std::function<std::u16string(const std::u16string&)> fold_case;
};

/// The mutex name for the file at `path`, in the session's own namespace:
/// "Local\morvask-" and 16 hexadecimal digits of a 64-bit hash of the path
/// with its folder in long form (the file itself may not exist yet; as
/// given when that fails) and every letter folded.
std::string FileLockName(std::string_view path, const FileNameRules& rules);

#endif  // MORVASK_PLATFORM_SETTINGS_LOCK_H_
