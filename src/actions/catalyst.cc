#include "actions/catalyst.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/errors.h"
#include "platform/platform.h"

const char kDefaultCatalystFolder[] =
    "c:\\Program Files\\ATI Technologies\\ATI.ACE\\";

namespace {

const char kValueName[] = "Path";

/// Closes an open registry key when its scope ends, thrown out of or not.
class KeyCloser {
 public:
  KeyCloser(CommandCalls& platform, RegistryKey key)
      : platform_(platform), key_(key) {}
  ~KeyCloser() { platform_.CloseKey(key_); }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  CommandCalls& platform_;
  RegistryKey key_;
};

CatalystPathValue ReadPathValue(CommandCalls& platform, RegistryKey key) {
  CatalystPathValue value;
  std::uint32_t size = 0;
  if (!platform.QueryValueSize(key, kValueName, &size)) {
    value.status = CatalystPathValue::kNoValue;
    return value;
  }
  if (size == 0) {
    value.status = CatalystPathValue::kEmpty;
    return value;
  }
  std::vector<char> buffer(size, '\0');
  if (!platform.QueryValueData(key, kValueName, &value.type, buffer.data(),
                               &size)) {
    value.status = CatalystPathValue::kUnreadable;
  } else if (value.type != kRegSz && value.type != kRegExpandSz) {
    value.status = CatalystPathValue::kNotText;
  } else {
    const char* begin = buffer.data();
    const char* end = begin + std::min<size_t>(size, buffer.size());
    value.text = std::string(begin, std::find(begin, end, '\0'));
    value.status = CatalystPathValue::kText;
  }
  return value;
}

}  // namespace

CatalystPathValue ReadCatalystPathValue(CommandCalls& platform) {
  RegistryKey key = platform.OpenMachineKey(kCatalystKey);
  if (!key) return CatalystPathValue();
  KeyCloser closer(platform, key);
  return ReadPathValue(platform, key);
}

std::string ReadCatalystFolder(CommandCalls& platform) {
  CatalystPathValue value = ReadCatalystPathValue(platform);
  if (value.status == CatalystPathValue::kUnreadable)
    throw ERegistryException("Failed to get data for 'Path'");
  if (value.status == CatalystPathValue::kNotText)
    throw ERegistryException("Invalid data type for 'Path'");
  return value.text;
}

std::string CatalystTool(const std::string& folder) {
  return (folder.empty() ? std::string(kDefaultCatalystFolder) : folder) +
         "CLI.exe";
}

std::string CatalystCommandLine(const std::string& folder,
                                const std::string& profile_name) {
  // The program path is quoted so that a folder with blanks cannot make the
  // system run a planted "c:\Program.exe" first.
  return "\"" + CatalystTool(folder) + "\" Load profilename=\"" + profile_name +
         "\"";
}

ProgramRun RunCatalystTool(Platform& platform,
                           const std::string& profile_name) {
  const ProcessHandle process = platform.StartProcess(
      CatalystCommandLine(ReadCatalystFolder(platform), profile_name),
      kToolCreationFlags);
  return AwaitProgram(platform, process, 1000);
}
