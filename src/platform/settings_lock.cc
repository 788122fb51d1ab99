#include "platform/settings_lock.h"

std::string FileLockName(std::string_view path, const FileNameRules& rules) {
  const std::string folder = DirectoryOf(path, rules.is_lead_byte);
  std::u16string long_folder =
      folder.empty() ? u"" : rules.long_folder(rules.widen(folder));
  if (long_folder.empty()) long_folder = rules.widen(folder);
  const std::u16string folded = rules.fold_case(
      long_folder + rules.widen(std::string(path.substr(folder.size()))));

  // FNV-1a, 64 bits, over the UTF-16 code units low byte first: short, and
  // enough to tell a user's files apart.
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (char16_t unit : folded) {
    const unsigned bytes[] = {unit & 0xFFu, unit / 0x100u};
    for (unsigned byte : bytes) hash = (hash ^ byte) * 0x100000001b3u;
  }
  static const char kDigits[] = "0123456789abcdef";
  std::string name = "Local\\morvask-";
  for (int shift = 60; shift >= 0; shift -= 4)
    name += kDigits[(hash >> shift) & 15];
  return name;
}
