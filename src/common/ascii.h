// Case folding as morvask does it everywhere: the ASCII letters only, with
// no locale rules, so that a byte of any code page is left as it is.
#ifndef MORVASK_COMMON_ASCII_H_
#define MORVASK_COMMON_ASCII_H_

#include <string>
#include <string_view>

/// Folds "A" to "Z" to lower case and leaves every other byte alone.
std::string LowerAscii(std::string_view text);

#endif  // MORVASK_COMMON_ASCII_H_
