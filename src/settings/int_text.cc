#include "settings/int_text.h"

#include "common/hex.h"

namespace {

/// Length of the hexadecimal prefix at the start of `text`, or 0.
size_t HexPrefixLength(std::string_view text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return 2;
  if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X'))
    return 1;
  return 0;
}

std::optional<std::uint32_t> ParseHexDigits(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  int significant = 0;
  for (char c : digits) {
    int d = HexDigitValue(c);
    if (d < 0) return std::nullopt;
    if (significant > 0 || d != 0) ++significant;
    if (significant > 8) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return value;
}

/// Magnitude of a decimal number, capped just above 2^31 so that the
/// range check sees any overflow.
std::optional<std::uint64_t> ParseDecimalDigits(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  const std::uint64_t kCap = std::uint64_t{1} << 32;
  std::uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kCap) value = kCap;
  }
  return value;
}

}  // namespace

std::optional<std::int32_t> ParseInt32(std::string_view text) {
  size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return std::nullopt;
  text.remove_prefix(start);
  bool negative = text[0] == '-';
  if (negative || text[0] == '+') text.remove_prefix(1);

  if (size_t prefix = HexPrefixLength(text)) {
    std::optional<std::uint32_t> bits = ParseHexDigits(text.substr(prefix));
    if (!bits) return std::nullopt;
    // The pattern is read as signed and then negated, both modulo 2^32.
    std::uint32_t result = negative ? 0u - *bits : *bits;
    return static_cast<std::int32_t>(result);
  }

  std::optional<std::uint64_t> magnitude = ParseDecimalDigits(text);
  if (!magnitude) return std::nullopt;
  const std::uint64_t kLimit = negative ? 2147483648u : 2147483647u;
  if (*magnitude > kLimit) return std::nullopt;
  std::int64_t value = static_cast<std::int64_t>(*magnitude);
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::string FormatInt32(std::int32_t value) { return std::to_string(value); }
