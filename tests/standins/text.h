// How the stand-ins write what they saw: bytes in hexadecimal, so that
// every byte survives a text log, and GUIDs as Windows writes them.
#ifndef MORVASK_TESTS_STANDINS_TEXT_H_
#define MORVASK_TESTS_STANDINS_TEXT_H_

#include <windows.h>

#include <cstdio>
#include <string>

/// Two lower-case hexadecimal digits a byte; the empty text for none.
inline std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

/// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", as StringFromGUID2 writes it.
inline std::string GuidText(const GUID& guid) {
  char text[40];
  std::snprintf(text, sizeof text,
                "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3,
                guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}

#endif  // MORVASK_TESTS_STANDINS_TEXT_H_
