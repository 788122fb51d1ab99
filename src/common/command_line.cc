#include "common/command_line.h"

namespace {

bool IsSeparator(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return byte >= 0x01 && byte <= 0x20;
}

/// Skips separators and pairs of double quotes before a token. Stops at the
/// end of the line, which the terminating NUL also marks.
size_t SkipToToken(std::string_view line, size_t pos) {
  while (pos < line.size()) {
    if (IsSeparator(line[pos])) {
      ++pos;
    } else if (line[pos] == '"' && pos + 1 < line.size() &&
               line[pos + 1] == '"') {
      pos += 2;
    } else {
      break;
    }
  }
  return pos;
}

/// Reads one token starting at `pos` into `token`; returns the position
/// after it.
size_t ReadToken(std::string_view line, size_t pos,
                 const LeadByteTest& is_lead_byte, std::string* token) {
  bool quoted = false;
  while (pos < line.size() && line[pos] != '\0') {
    char c = line[pos];
    if (c == '"') {
      quoted = !quoted;
      ++pos;
    } else if (!quoted && IsSeparator(c)) {
      break;
    } else if (is_lead_byte(static_cast<unsigned char>(c)) &&
               pos + 1 < line.size() && line[pos + 1] != '\0') {
      token->append(line.substr(pos, 2));
      pos += 2;
    } else {
      token->push_back(c);
      ++pos;
    }
  }
  return pos;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line,
                                          const LeadByteTest& is_lead_byte) {
  line = line.substr(0, line.find('\0'));
  std::vector<std::string> tokens;
  size_t pos = 0;
  for (;;) {
    pos = SkipToToken(line, pos);
    std::string token;
    pos = ReadToken(line, pos, is_lead_byte, &token);
    if (token.empty()) return tokens;
    tokens.push_back(std::move(token));
  }
}
