// Lead-byte tests of two code pages, for tests of double-byte handling.
#ifndef MORVASK_TESTS_UNIT_CODE_PAGES_H_
#define MORVASK_TESTS_UNIT_CODE_PAGES_H_

/// A single-byte code page: no byte starts a double-byte character.
inline bool NoLeadBytes(unsigned char) { return false; }

/// Shift-JIS (code page 932) lead bytes.
inline bool ShiftJisLead(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

#endif  // MORVASK_TESTS_UNIT_CODE_PAGES_H_
