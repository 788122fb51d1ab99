#include "common/text.h"

std::string Cat(std::initializer_list<std::string_view> pieces) {
  std::size_t size = 0;
  for (std::string_view piece : pieces) size += piece.size();
  std::string text;
  text.reserve(size);
  for (std::string_view piece : pieces) text.append(piece);
  return text;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

Num::Num(std::uint32_t value) {
  do {
    digits_[--start_] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value);
}

Num::Num(std::int32_t value)
    // Unsigned, so that the least value is negated without overflow.
    : Num(value < 0 ? 0u - static_cast<std::uint32_t>(value)
                    : static_cast<std::uint32_t>(value)) {
  if (value < 0) digits_[--start_] = '-';
}
