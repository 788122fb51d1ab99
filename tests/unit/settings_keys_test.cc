// The settings table against the guide's settings reference: every key of
// the table has its row there, under its section, with its kind and
// default, and the reference lists no key the table does not know.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "settings/int_text.h"
#include "settings/keys.h"

namespace {

struct Row {
  std::string type;          // cppcheck-suppress unusedStructMember
  std::string default_text;  // cppcheck-suppress unusedStructMember
};

/// The settings reference's rows, by "[Section] Key": its sections
/// "### [Main]...", "### [Watch]...", "### [Keys]...", "### [System]..." and
/// "### [0], ..." (a profile's keys, filed under "[0]").
std::map<std::string, Row> ReferenceRows() {
  std::ifstream guide(MORVASK_SOURCE_DIR "/docs/USER-GUIDE.md");
  std::map<std::string, Row> rows;
  std::string line, section;
  bool in_reference = false;
  while (std::getline(guide, line)) {
    if (line.rfind("## ", 0) == 0)
      in_reference = line == "## Settings reference";
    if (!in_reference) continue;
    if (line.rfind("### [", 0) == 0) {
      section = line.substr(4, line.find(']') - 3);
      continue;
    }
    if (section.empty() || line.rfind("| `", 0) != 0) continue;
    std::vector<std::string> cells;
    std::stringstream split(line.substr(1));
    for (std::string cell; std::getline(split, cell, '|');)
      cells.push_back(cell.substr(1, cell.size() - 2));
    if (cells.size() < 3) continue;
    const std::string key = cells[0].substr(1, cells[0].size() - 2);
    rows[section + " " + key] = {cells[1], cells[2]};
  }
  return rows;
}

std::string Place(const SettingKey& key) {
  return std::string("[") + (key.section ? key.section : "0") + "] " + key.name;
}

/// The default as the reference must write it.
bool DefaultMatches(const SettingKey& key, const std::string& text) {
  switch (key.kind) {
    case SettingKind::kSwitch:
      return text == (key.default_value ? "on" : "off");
    case SettingKind::kInteger: {
      // The number may be followed by another spelling: "32782 (`$800E`)".
      const auto value = ParseInt32(text.substr(0, text.find(' ')));
      return value && *value == key.default_value;
    }
    case SettingKind::kText:
    case SettingKind::kList:
    case SettingKind::kKeys:
      return text == "none" || text == "empty";
  }
  return false;
}

const char* KindWord(SettingKind kind) {
  switch (kind) {
    case SettingKind::kInteger:
      return "integer";
    case SettingKind::kSwitch:
      return "switch";
    case SettingKind::kText:
      return "text";
    case SettingKind::kList:
      return "list";
    case SettingKind::kKeys:
      return "keys";
  }
  return "";
}

TEST(SettingsKeysTest, GuideReferenceAgreesWithTheTable) {
  const std::map<std::string, Row> rows = ReferenceRows();
  ASSERT_FALSE(rows.empty()) << "no settings reference in the guide";
  std::set<std::string> known;
  for (const SettingKey* key : kSettingKeys) {
    const std::string place = Place(*key);
    known.insert(place);
    auto row = rows.find(place);
    if (row == rows.end()) {
      ADD_FAILURE() << place << ": no row in the guide's settings reference";
      continue;
    }
    EXPECT_EQ(0u, row->second.type.rfind(KindWord(key->kind), 0))
        << place << ": the guide says " << row->second.type;
    EXPECT_TRUE(DefaultMatches(*key, row->second.default_text))
        << place << ": the guide's default is " << row->second.default_text
        << ", the table's " << key->default_value;
  }
  for (const auto& row : rows)
    EXPECT_TRUE(known.count(row.first))
        << row.first << ": in the guide, but no key of the table";
}

}  // namespace
