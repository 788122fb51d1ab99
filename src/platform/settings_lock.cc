#include "platform/settings_lock.h"

#include "common/ascii.h"

std::string SettingsLockName(std::string_view path) {
  // FNV-1a, 64 bits: short, and enough to tell a user's files apart.
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (char c : LowerAscii(path))
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  static const char kDigits[] = "0123456789abcdef";
  std::string name = "Local\\morvask-";
  for (int shift = 60; shift >= 0; shift -= 4)
    name += kDigits[(hash >> shift) & 15];
  return name;
}
