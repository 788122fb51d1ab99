// Windows paths as ANSI byte strings: where a folder ends, with double-byte
// characters of the code page kept whole.
#ifndef MORVASK_COMMON_PATH_H_
#define MORVASK_COMMON_PATH_H_

#include <functional>
#include <string>
#include <string_view>

/// Tells whether a byte starts a double-byte character of the code page.
using LeadByteTest = std::function<bool(unsigned char)>;

/// The first bytes of `text`, at most `max_bytes` of them, never ending
/// inside a double-byte character: where one would be split, it is left
/// out whole.
std::string_view CutWhole(std::string_view text, size_t max_bytes,
                          const LeadByteTest& is_lead_byte);

/// The folder part of `path`: everything up to and including its last
/// backslash or colon (empty when it has neither). A backslash that is the
/// second byte of a double-byte character does not count.
std::string DirectoryOf(std::string_view path,
                        const LeadByteTest& is_lead_byte);

#endif  // MORVASK_COMMON_PATH_H_
