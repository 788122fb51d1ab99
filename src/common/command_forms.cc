#include "common/command_forms.h"

#include "common/ascii.h"

const CommandForm* MatchCommandForm(const std::vector<std::string>& tokens) {
  if (tokens.size() < 2) return nullptr;
  const std::string word = LowerAscii(tokens[1]);
  for (const CommandForm* form : kCommandForms)
    if (word == form->word && tokens.size() - 2 == form->argument_count)
      return form;
  return nullptr;
}
