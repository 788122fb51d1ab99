#include "settings/settings_store.h"

#include <optional>
#include <utility>

#include "common/errors.h"
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

IniFileReader::IniFileReader(Platform& platform, std::string path)
    : platform_(platform), path_(std::move(path)) {}

std::string IniFileReader::ReadText(const std::string& section,
                                    const std::string& key,
                                    const std::string& default_value) {
  return platform_.ReadIniString(section, key, default_value, path_);
}

void IniFileReader::WriteText(const std::string&, const std::string&,
                              const std::string&) {
  throw EIniFileException("Unable to write to " + path_);
}

IniFileStore::IniFileStore(Platform& platform, std::string path)
    : IniFileReader(platform, std::move(path)) {}

IniFileStore::~IniFileStore() { platform_.FlushProfile(path_); }

void IniFileStore::WriteText(const std::string& section, const std::string& key,
                             const std::string& value) {
  if (!platform_.WriteIniString(section, key, value, path_))
    throw EIniFileException("Unable to write to " + path_);
}
