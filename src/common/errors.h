// The failure kinds raised anywhere in morvask. All of them end in the one
// handler of the entry point, which shows the usage box; their messages are
// kept for debugging and tests, never shown to the user.
#ifndef MORVASK_COMMON_ERRORS_H_
#define MORVASK_COMMON_ERRORS_H_

#include <stdexcept>
#include <string>

/// A settings write the platform refused: "Unable to write to <path>".
class EIniFileException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A command-line argument that is not an integer.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// No command matched: "Operation aborted".
class EAbort : public std::runtime_error {
 public:
  EAbort() : std::runtime_error("Operation aborted") {}
};

/// The graphics driver tool's install path could not be read as text.
class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

#endif  // MORVASK_COMMON_ERRORS_H_
