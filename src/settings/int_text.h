// The one rule by which text becomes a signed 32-bit integer, shared by the
// settings store and the command arguments, and its inverse.
#ifndef MORVASK_SETTINGS_INT_TEXT_H_
#define MORVASK_SETTINGS_INT_TEXT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// Parses leading spaces, an optional sign, then either decimal digits within
/// the signed 32-bit range or a hexadecimal prefix ("$", "x", "X", "0x",
/// "0X") with at most 8 significant digits, and nothing after.
/// Returns nullopt for any other text, the empty text included.
std::optional<std::int32_t> ParseInt32(std::string_view text);

/// Plain signed decimal: "-1", "0", "2147483647".
std::string FormatInt32(std::int32_t value);

#endif  // MORVASK_SETTINGS_INT_TEXT_H_
