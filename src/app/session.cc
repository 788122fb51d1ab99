#include "app/session.h"

#include "platform/platform.h"

std::string Session::Argument(size_t n) const {
  return n < tokens.size() ? tokens[n] : std::string();
}

LeadByteTest Session::LeadBytes() const {
  Platform& system = platform;
  return [&system](unsigned char byte) { return system.IsLeadByte(byte); };
}
