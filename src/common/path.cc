#include "common/path.h"

#include <algorithm>

std::string DirectoryOf(std::string_view path,
                        const LeadByteTest& is_lead_byte) {
  size_t directory_length = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    char c = path[i];
    if (c == '\\' || c == ':') {
      directory_length = i + 1;
    } else if (is_lead_byte(static_cast<unsigned char>(c))) {
      ++i;  // The trail byte is never a delimiter.
    }
  }
  return std::string(path.substr(0, directory_length));
}

std::string_view CutWhole(std::string_view text, size_t max_bytes,
                          const LeadByteTest& is_lead_byte) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t width =
        is_lead_byte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > max_bytes) break;
    end += width;
  }
  return text.substr(0, std::min(end, text.size()));
}
