// Hexadecimal numbers: as morvask reads them and as it writes them for
// people to read in its log and report.
#ifndef MORVASK_COMMON_HEX_H_
#define MORVASK_COMMON_HEX_H_

#include <cstdint>
#include <string>

/// The value of a hexadecimal digit in either case, or -1 for any other
/// character.
int HexDigitValue(char c);

/// "0x" and eight upper-case hexadecimal digits: 0x0000800E.
std::string Hex32(std::uint32_t value);

#endif  // MORVASK_COMMON_HEX_H_
