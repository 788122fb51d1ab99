#include "common/hex.h"

std::string Hex32(std::uint32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4)
    text += kDigits[(value >> shift) & 15];
  return text;
}
