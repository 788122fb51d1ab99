// The settings file: a general layer that defines integers and switches in
// terms of two text operations, and a file layer that implements those with
// the platform's private-profile calls. Nothing is cached: every read and
// every write is one platform call on the file, so that processes running
// at the same time see each other's writes.
#ifndef MORVASK_SETTINGS_SETTINGS_STORE_H_
#define MORVASK_SETTINGS_SETTINGS_STORE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/path.h"
#include "settings/keys.h"

class CommandCalls;

/// Longest value a read returns; longer values come back cut to this.
constexpr size_t kMaxSettingLength = 2047;

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  /// The value's text, or `default_value` when the file, section or key is
  /// missing. Never fails.
  virtual std::string ReadText(const std::string& section,
                               const std::string& key,
                               const std::string& default_value) = 0;
  /// Creates file, section and key as needed.
  /// Throws EIniFileException when the write is refused.
  virtual void WriteText(const std::string& section, const std::string& key,
                         const std::string& value) = 0;

  /// The names of the section's keys in the file's order, each once as
  /// its first line writes it; none when the file or section is missing.
  /// Never fails.
  virtual std::vector<std::string> KeyNames(const std::string& section) = 0;

  /// The value by the integer text rule, or `default_value` when it is
  /// missing, empty or not an integer. Never fails.
  std::int32_t ReadInt(const std::string& section, const std::string& key,
                       std::int32_t default_value);
  /// Writes signed decimal. Throws EIniFileException when refused.
  void WriteInt(const std::string& section, const std::string& key,
                std::int32_t value);
  /// On when the integer read is not 0; `default_value` when it is not an
  /// integer. Never fails.
  bool ReadSwitch(const std::string& section, const std::string& key,
                  bool default_value);

  // The same for a key of the table (settings/keys.h), with its default:
  // keys of [Main], [System] and [Watch] by the key alone, a key of a
  // profile's section with the profile's number.
  std::int32_t ReadInt(const SettingKey& key);
  std::int32_t ReadInt(const SettingKey& key, std::int32_t profile);
  bool ReadSwitch(const SettingKey& key);
  std::string ReadText(const SettingKey& key);
  std::string ReadText(const SettingKey& key, std::int32_t profile);
  void WriteInt(const SettingKey& key, std::int32_t value);
};

/// The name of profile `profile`'s section: plain signed decimal.
std::string ProfileSection(std::int32_t profile);

/// The settings file next to the executable at `module_path`: its folder
/// (DirectoryOf), then "morvask.ini".
std::string SettingsPathFor(std::string_view module_path,
                            const LeadByteTest& is_lead_byte);

/// The settings file at a full path, only read, through `platform`: for
/// the programs and commands that must never change it. Creating it
/// touches no file, and neither does destroying it.
class IniFileReader : public SettingsStore {
 public:
  IniFileReader(CommandCalls& platform, std::string path);
  IniFileReader(const IniFileReader&) = delete;
  IniFileReader& operator=(const IniFileReader&) = delete;

  using SettingsStore::ReadText;  // The table's keys too.
  std::string ReadText(const std::string& section, const std::string& key,
                       const std::string& default_value) override;
  std::vector<std::string> KeyNames(const std::string& section) override;
  /// Writes nothing. Throws EIniFileException, as a refused write does.
  void WriteText(const std::string& section, const std::string& key,
                 const std::string& value) override;

  const std::string& path() const { return path_; }

 protected:
  CommandCalls& platform_;
  const std::string path_;
};

/// The settings file at a full path, read and written through `platform`.
/// Creating it touches no file; destroying it flushes the file.
class IniFileStore : public IniFileReader {
 public:
  IniFileStore(CommandCalls& platform, std::string path);
  ~IniFileStore() override;

  void WriteText(const std::string& section, const std::string& key,
                 const std::string& value) override;
};

/// The settings file of a folder that cannot be named (the system's code
/// page lacks its letters and it has no short name): nothing is read or
/// written. Every read gives its default; every write throws
/// EIniFileException, as a refused write does.
class UnnamedSettingsFile : public SettingsStore {
 public:
  using SettingsStore::ReadText;
  std::string ReadText(const std::string& section, const std::string& key,
                       const std::string& default_value) override;
  void WriteText(const std::string& section, const std::string& key,
                 const std::string& value) override;
  /// None: no section has keys.
  std::vector<std::string> KeyNames(const std::string& section) override;
};

#endif  // MORVASK_SETTINGS_SETTINGS_STORE_H_
