#include "settings/key_bindings.h"

#include "common/command_forms.h"
#include "common/command_line.h"
#include "common/text.h"
#include "settings/int_text.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

namespace {

// Longer names and values are cut in the log and the report.
constexpr std::size_t kShownLength = 40;

std::string Shown(const std::string& text, const LeadByteTest& is_lead_byte) {
  return text.size() <= kShownLength
             ? text
             : Cat({CutWhole(text, kShownLength, is_lead_byte), "..."});
}

/// Why `command_line` is not one that morvask accepts, or the empty text.
std::string CommandLineProblem(const std::string& command_line,
                               const LeadByteTest& is_lead_byte) {
  // Quotes would be dropped by morvask's reading: the line would run
  // something else than it says.
  if (command_line.find('"') != std::string::npos)
    return "has a double quote, which morvask's command lines never need";
  const std::vector<std::string> tokens =
      SplitCommandLine(Cat({"morvask ", command_line}), is_lead_byte);
  if (!MatchCommandForm(tokens)) return "is not a command line morvask accepts";
  for (std::size_t i = 2; i < tokens.size(); ++i)
    if (!ParseInt32(tokens[i]))
      return Cat({"has \"", Shown(tokens[i], is_lead_byte),
                  "\", which is not an integer"});
  return std::string();
}

}  // namespace

KeyBindings ReadKeyBindings(SettingsStore& settings,
                            const LeadByteTest& is_lead_byte) {
  KeyBindings bindings;
  const std::vector<std::string> names = settings.KeyNames(key::kKeys.section);
  for (const std::string& name : names) {
    if (bindings.lines.size() == kMostKeyLines) {
      bindings.lines_not_read = names.size() - kMostKeyLines;
      break;
    }
    KeyBinding line;
    line.command_line = name;
    line.value = settings.ReadText(key::kKeys.section, name, "");
    line.name = Cat({"[Keys] ", Shown(name, is_lead_byte), "=",
                     Shown(line.value, is_lead_byte)});
    line.problem = CommandLineProblem(name, is_lead_byte);
    if (line.problem.empty()) {
      const ParsedKeys parsed = ParseKeyCombination(line.value);
      line.keys = parsed.keys;
      if (parsed.problem)
        line.problem = Cat({"has a value that ", parsed.problem});
    }
    for (const KeyBinding& earlier : bindings.lines) {
      if (!line.problem.empty()) break;
      if (earlier.problem.empty() && earlier.keys == line.keys)
        line.problem = Cat({"has the same keys as the earlier ", earlier.name,
                            ", which wins"});
    }
    bindings.lines.push_back(std::move(line));
  }
  return bindings;
}
