#include "common/path.h"

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
