// Reading a process command line byte by byte, in the system's ANSI code
// page, as morvask and morvask-watch both read theirs.
#ifndef MORVASK_COMMON_COMMAND_LINE_H_
#define MORVASK_COMMON_COMMAND_LINE_H_

#include <string>
#include <string_view>
#include <vector>

#include "common/path.h"

/// Splits a command line into tokens; token 0 is the program name.
/// Bytes 0x01..0x20 separate tokens outside double quotes, and a pair of
/// double quotes before a token is skipped like a separator. A double quote
/// opens a stretch that runs to the next one (or the end); both quotes are
/// dropped and there is no escape. Double-byte characters are kept whole.
/// An empty token can only come at the end and is not returned.
std::vector<std::string> SplitCommandLine(std::string_view line,
                                          const LeadByteTest& is_lead_byte);

#endif  // MORVASK_COMMON_COMMAND_LINE_H_
