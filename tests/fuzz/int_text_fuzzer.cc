// Fuzzes the integer text rule against a second, independent reading of
// it, and checks that every value formats back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "settings/int_text.h"

namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
         (c >= 'A' && c <= 'F');
}

/// The rule read another way: wide arithmetic and explicit counting.
std::optional<std::int32_t> Reference(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  std::string rest = text.substr(i);
  bool hex = false;
  for (const char* prefix : {"0x", "0X", "$", "x", "X"}) {
    if (rest.rfind(prefix, 0) == 0) {
      rest = rest.substr(std::string(prefix).size());
      hex = true;
      break;
    }
  }
  if (rest.empty()) return std::nullopt;
  __int128 value = 0;
  for (char c : rest) {
    if (hex ? !IsHexDigit(c) : !(c >= '0' && c <= '9')) return std::nullopt;
    int d = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = value * (hex ? 16 : 10) + d;
    if (value > (__int128{1} << 40)) return std::nullopt;  // Far out of range.
  }
  if (hex) {
    if (value > 0xFFFFFFFF) return std::nullopt;
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::optional<std::int32_t> value = ParseInt32(text);
  if (value != Reference(text)) std::abort();
  if (value && ParseInt32(FormatInt32(*value)) != value) std::abort();
  return 0;
}
