// Fuzzes a whole run on any command line: tokenizing, command matching,
// argument conversion and the commands themselves, against the fake
// platform with every outside program present.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/commands.h"
#include "code_pages.h"
#include "common/command_line.h"
#include "fake_platform.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckTokens(const std::string& line, bool double_byte) {
  LeadByteTest lead =
      double_byte ? LeadByteTest(ShiftJisLead) : LeadByteTest(NoLeadBytes);
  for (const std::string& token : SplitCommandLine(line, lead)) {
    Check(!token.empty());
    // Without double-byte characters no token can hold a double quote.
    if (!double_byte) Check(token.find('"') == std::string::npos);
  }
}

void Configure(FakePlatform& platform, bool double_byte) {
  if (double_byte) {
    for (int b = 0x81; b <= 0xFC; ++b)
      if (ShiftJisLead(static_cast<unsigned char>(b)))
        platform.lead_bytes.insert(b);
  }
  auto& ini = platform.ini();
  ini["Main"] = {{"ShowAtkOsd", "1"},
                 {"RMClock", "1"},
                 {"AtiCatalyst", "1"},
                 {"ProfileCount", "3"},
                 {"Delay", "-1"}};
  ini["System"] = {{"CurrentProfileAC", "2"}, {"TickId", "999"}};
  ini["1"] = {{"AtkOsdImageSet", "92"}, {"AtiCatalystProfile", "P"}};
  platform.AddWindow("ATKOSD", "ATKOSD");
  platform.AddWindow("#32770", "RightMark CPU Clock Utility");
  platform.registry_key_exists = true;
  platform.registry_values["Path"] = {kRegSz, std::string("D:\\\0", 4)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool double_byte = data[0] & 1;
  const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckTokens(line, double_byte);

  FakePlatform platform;
  Configure(platform, double_byte);
  platform.command_line = line;
  Check(RunMorvask(platform) == 0);
  // One usage box at most, and the settings file is always released.
  Check(platform.message_boxes.size() <= 1);
  Check(platform.calls.back().rfind("Flush ", 0) == 0);
  // The user's sections are never touched.
  Check(platform.ini()["Main"].size() == 5 && platform.ini()["1"].size() == 2);
  return 0;
}
