// The values that pass through the platform's interfaces.
#ifndef MORVASK_PLATFORM_PLATFORM_TYPES_H_
#define MORVASK_PLATFORM_PLATFORM_TYPES_H_

#include <cstdint>

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

#endif  // MORVASK_PLATFORM_PLATFORM_TYPES_H_
