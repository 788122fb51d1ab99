// "morvask check": everything morvask sees for the present power source,
// in plain words, so that a user can tell why a profile did not apply. It
// changes nothing: no post that commands a program, no tool started, no
// settings write, no file made.
#ifndef MORVASK_APP_CHECK_H_
#define MORVASK_APP_CHECK_H_

#include <cstddef>
#include <string>
#include <vector>

struct Session;

/// The report, in parts, so that a message box can shorten the problems.
struct CheckReport {
  std::vector<std::string> head;      // Files, power, settings as read.
  std::vector<std::string> problems;  // Values and sections that are wrong.
  std::vector<std::string> tail;      // The outside programs, the watcher.
};

/// The most problems a message box lists; the rest are counted.
constexpr std::size_t kBoxProblems = 8;

/// Looks at everything; changes nothing.
CheckReport MakeCheckReport(Session& session);

/// The report as text with CR LF line ends, listing at most
/// `max_problems` problems and counting the rest.
std::string FormatCheckReport(const CheckReport& report,
                              std::size_t max_problems);

/// Writes the report to standard output when that is a file or a pipe,
/// else shows it in one message box of its own. Never fails for what it
/// finds.
void RunCheck(Session& session);

#endif  // MORVASK_APP_CHECK_H_
