// The values that pass through the platform's interfaces.
#ifndef MORVASK_PLATFORM_PLATFORM_TYPES_H_
#define MORVASK_PLATFORM_PLATFORM_TYPES_H_

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
  /// A reparse point (a symbolic link, a junction), looked at itself.
  bool is_link = false;
  /// How many names (hard links) the file has; 1 when it cannot be told.
  std::uint32_t names = 1;
};

/// What this process's rights are (Windows Vista and later; kUnknown
/// before).
struct OwnRights {
  Answer elevated = Answer::kUnknown;
  /// Writes under Program Files go to VirtualStore.
  Answer virtualized = Answer::kUnknown;
};

/// Who besides this process may change a file or folder by its access list:
/// write to it, or, for a folder, add or delete what it holds, and in both
/// cases change its access list or owner.
struct WriteRights {
  /// Whether an account other than this user, SYSTEM, Administrators,
  /// TrustedInstaller and CREATOR OWNER may.
  Answer others = Answer::kUnknown;
  /// The first such account as the system names it (its SID when nameless).
  std::string other_name;
  /// Whether this user's programs that are not elevated may: its own
  /// account, or a group of its other than Administrators.
  Answer own_unelevated = Answer::kUnknown;
};

/// Whether Windows would refuse a message this process posts to a window.
enum class PostRefusal {
  kAllowed,
  kRefused,     // Its program has a higher integrity level.
  kNoSuchRule,  // Before Windows Vista: no integrity levels, no refusal.
  kUnknown,     // Its program's rights cannot be looked at.
};

/// Who holds a hotkey.
enum class KeyHolder {
  kWatcher,  // The running morvask-watch of this session.
  kFree,     // Nobody: it could be registered.
  kOther,    // Another program (ERROR_HOTKEY_ALREADY_REGISTERED).
  kWindows,  // Windows refuses it for another reason: it keeps it.
};

/// Local date and time.
struct LocalTime {
  std::uint16_t year, month, day, hour, minute, second, millisecond;
};

/// A GUID, laid out as Windows lays out its own.
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0, data3 = 0;
  std::uint8_t data4[8] = {};
};
inline bool operator==(const Guid& a, const Guid& b) {
  for (int i = 0; i < 8; ++i)
    if (a.data4[i] != b.data4[i]) return false;
  return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3;
}
inline bool operator!=(const Guid& a, const Guid& b) { return !(a == b); }

/// How this Windows names its power plans.
enum class PowerPlanKind {
  kNone,      // No power library, or it lacks the calls.
  kByNumber,  // Windows XP: power schemes by number.
  kByGuid,    // Windows Vista and later: power plans by GUID.
};

/// A power plan (by `guid`) or, on Windows XP, a power scheme (by
/// `number`), and its name as Windows shows it, in the ANSI code page.
struct PowerPlan {
  Guid guid;
  std::uint32_t number = 0;
  std::string name;
};

#endif  // MORVASK_PLATFORM_PLATFORM_TYPES_H_
