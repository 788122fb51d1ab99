// The lock that makes each call on a settings file whole with respect to
// other morvask processes on the same file. Several presses of "next" run
// at once, and the system's private-profile calls re-read, truncate and
// rewrite the file without any lock between processes: a reader could see
// a half-written file and a writer could write back a file another writer
// had just emptied. The Win32 layer therefore holds a named mutex of the
// file around every single read, write and flush, and never across calls.
#ifndef MORVASK_PLATFORM_SETTINGS_LOCK_H_
#define MORVASK_PLATFORM_SETTINGS_LOCK_H_

#include <cstdint>
#include <string>
#include <string_view>

/// How long a settings call waits for the lock. After a timeout the call
/// goes ahead unlocked, and so does every later call of that process, so
/// that a press never hangs and waits at most about this much longer.
constexpr std::uint32_t kSettingsLockWaitMs = 1000;

/// The mutex name for the settings file at `path`, in the session's own
/// namespace: "Local\morvask-" and 16 hexadecimal digits of a 64-bit hash
/// of the path with "A" to "Z" folded to lower case, so that the same file
/// named in another case (as Windows' file names match) gets the same lock.
std::string SettingsLockName(std::string_view path);

#endif  // MORVASK_PLATFORM_SETTINGS_LOCK_H_
