#include "settings/settings_store.h"

#include <optional>
#include <set>
#include <utility>

#include "common/ascii.h"
#include "common/errors.h"
#include "common/shared_names.h"
#include "platform/platform.h"
#include "settings/int_text.h"

std::int32_t SettingsStore::ReadInt(const std::string& section,
                                    const std::string& key,
                                    std::int32_t default_value) {
  std::optional<std::int32_t> value = ParseInt32(ReadText(section, key, ""));
  return value ? *value : default_value;
}

void SettingsStore::WriteInt(const std::string& section, const std::string& key,
                             std::int32_t value) {
  WriteText(section, key, FormatInt32(value));
}

bool SettingsStore::ReadSwitch(const std::string& section,
                               const std::string& key, bool default_value) {
  return ReadInt(section, key, default_value ? 1 : 0) != 0;
}

std::int32_t SettingsStore::ReadInt(const SettingKey& key) {
  return ReadInt(key.section, key.name, key.default_value);
}

std::int32_t SettingsStore::ReadInt(const SettingKey& key,
                                    std::int32_t profile) {
  return ReadInt(ProfileSection(profile), key.name, key.default_value);
}

bool SettingsStore::ReadSwitch(const SettingKey& key) {
  return ReadSwitch(key.section, key.name, key.default_value != 0);
}

std::string SettingsStore::ReadText(const SettingKey& key) {
  return ReadText(key.section, key.name, "");
}

std::string SettingsStore::ReadText(const SettingKey& key,
                                    std::int32_t profile) {
  return ReadText(ProfileSection(profile), key.name, "");
}

void SettingsStore::WriteInt(const SettingKey& key, std::int32_t value) {
  WriteInt(key.section, key.name, value);
}

std::string ProfileSection(std::int32_t profile) {
  return FormatInt32(profile);
}

std::string SettingsPathFor(std::string_view module_path,
                            const LeadByteTest& is_lead_byte) {
  return DirectoryOf(module_path, is_lead_byte) + kSettingsFileName;
}

IniFileReader::IniFileReader(CommandCalls& platform, std::string path)
    : platform_(platform), path_(std::move(path)) {}

std::string IniFileReader::ReadText(const std::string& section,
                                    const std::string& key,
                                    const std::string& default_value) {
  return platform_.ReadIniString(section, key, default_value, path_);
}

std::vector<std::string> IniFileReader::KeyNames(const std::string& section) {
  std::vector<std::string> names;
  std::set<std::string> seen;
  // Windows reads a name's first line for every line of that name.
  for (std::string& name : platform_.ReadIniKeyNames(section, path_))
    if (seen.insert(LowerAscii(name)).second) names.push_back(std::move(name));
  return names;
}

void IniFileReader::WriteText(const std::string&, const std::string&,
                              const std::string&) {
  throw EIniFileException("Unable to write to " + path_);
}

IniFileStore::IniFileStore(CommandCalls& platform, std::string path)
    : IniFileReader(platform, std::move(path)) {}

IniFileStore::~IniFileStore() { platform_.FlushProfile(path_); }

void IniFileStore::WriteText(const std::string& section, const std::string& key,
                             const std::string& value) {
  if (!platform_.WriteIniString(section, key, value, path_))
    throw EIniFileException("Unable to write to " + path_);
}

std::string UnnamedSettingsFile::ReadText(const std::string&,
                                          const std::string&,
                                          const std::string& default_value) {
  return default_value;
}

void UnnamedSettingsFile::WriteText(const std::string&, const std::string&,
                                    const std::string&) {
  throw EIniFileException("Unable to write to a folder without an ANSI name");
}

std::vector<std::string> UnnamedSettingsFile::KeyNames(const std::string&) {
  return {};
}
