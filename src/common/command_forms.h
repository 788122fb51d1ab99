// The command lines morvask accepts: each command's word and how many
// arguments follow it. morvask runs them (app/commands.cc); morvask-watch
// and "check" tell from them whether a [Keys] line names one.
#ifndef MORVASK_COMMON_COMMAND_FORMS_H_
#define MORVASK_COMMON_COMMAND_FORMS_H_

#include <cstddef>
#include <string>
#include <vector>

struct CommandForm {
  const char* word;  // In lower case; matched in any case.
  /// Arguments after the word. Every argument of every command is an
  /// integer by the integer text rule (settings/int_text.h).
  std::size_t argument_count;
};

namespace command {
inline constexpr CommandForm kNext{"next", 0};
inline constexpr CommandForm kCurrent{"current", 0};
inline constexpr CommandForm kProfile{"profile", 1};
inline constexpr CommandForm kShow{"show", 0};
inline constexpr CommandForm kOsd{"osd", 2};
inline constexpr CommandForm kPrev{"prev", 0};
inline constexpr CommandForm kCheck{"check", 0};
}  // namespace command

/// Every form, in the order a command line is matched against them.
inline constexpr const CommandForm* kCommandForms[] = {
    &command::kNext, &command::kCurrent, &command::kProfile, &command::kShow,
    &command::kOsd,  &command::kPrev,    &command::kCheck,
};

/// The form that the tokens (token 0 being the program name) match by word
/// and argument count, or nullptr.
const CommandForm* MatchCommandForm(const std::vector<std::string>& tokens);

#endif  // MORVASK_COMMON_COMMAND_FORMS_H_
