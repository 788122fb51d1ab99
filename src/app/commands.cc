#include "app/commands.h"

#include <optional>

#include "actions/apply.h"
#include "actions/osd.h"
#include "app/command_line.h"
#include "app/cycle.h"
#include "app/session.h"
#include "common/errors.h"
#include "platform/platform.h"
#include "settings/int_text.h"
#include "settings/settings_store.h"

const char kUsageText[] =
    "Usage:\r\n"
    "\r\n"
    "morvask current ... reactivate current profile\r\n"
    "morvask next ... activate next profile\r\n"
    "morvask profile profile_index ... activate specified profile\r\n"
    "morvask osd image_set image_index ... shows specified AtkOsd\r\n"
    "morvask show ... shows current profile";

std::int32_t ArgumentToInt(const std::string& text) {
  std::optional<std::int32_t> value = ParseInt32(text);
  if (!value)
    throw EConvertError("'" + text + "' is not a valid integer value");
  return *value;
}

namespace {

void ReadSlotProfile(Session& s) {
  s.current_profile = s.settings.ReadInt("System", SlotKey(s.slot), 0);
}

void RunNext(Session& s) { CycleNextProfile(s); }

void RunPrev(Session& s) { CycleProfile(s, CycleDirection::kPrev); }

void RunCurrent(Session& s) {
  ReadSlotProfile(s);
  ShowProfile(s.platform, s.settings, s.current_profile);
  ApplyProfile(s.platform, s.settings, s.current_profile);
}

void RunProfile(Session& s) {
  s.current_profile = ArgumentToInt(s.Argument(2));
  s.settings.WriteInt("System", SlotKey(s.slot), s.current_profile);
  ShowProfile(s.platform, s.settings, s.current_profile);
  ApplyProfile(s.platform, s.settings, s.current_profile);
}

void RunShow(Session& s) {
  ReadSlotProfile(s);
  ShowProfile(s.platform, s.settings, s.current_profile);
}

void RunOsd(Session& s) {
  // The index is converted before the set.
  std::int32_t index = ArgumentToInt(s.Argument(3));
  std::int32_t set = ArgumentToInt(s.Argument(2));
  ShowAtkOsdImage(s.platform, static_cast<std::uint16_t>(set),
                  static_cast<std::uint16_t>(index));
}

struct Command {
  const char* word;
  size_t argument_count;  // Arguments after the program name.
  void (*run)(Session&);
};

// Searched in order; the first row whose word and count match runs.
const Command kCommands[] = {
    {"next", 1, RunNext},       {"current", 1, RunCurrent},
    {"profile", 2, RunProfile}, {"show", 1, RunShow},
    {"osd", 3, RunOsd},         {"prev", 1, RunPrev},
};

}  // namespace

void RunCommand(Session& session) {
  const size_t count = session.tokens.empty() ? 0 : session.tokens.size() - 1;
  const std::string word = LowerAscii(session.Argument(1));
  for (const Command& command : kCommands) {
    if (word == command.word && count == command.argument_count) {
      command.run(session);
      return;
    }
  }
  throw EAbort();
}

int RunMorvask(Platform& platform) {
  LeadByteTest is_lead_byte = [&platform](unsigned char byte) {
    return platform.IsLeadByte(byte);
  };
  IniFileStore settings(platform,
                        SettingsPathFor(platform.ModulePath(), is_lead_byte));
  try {
    Session session(platform, settings);
    session.start_tick = platform.TickCount();
    session.slot = PowerSlotFor(platform.AcLineStatus());
    session.tokens = SplitCommandLine(platform.CommandLine(), is_lead_byte);
    RunCommand(session);
  } catch (...) {
    // Every failure, whatever its kind, ends here and shows the same text.
    platform.ShowMessageBox(kUsageText, kMbIconError);
  }
  return 0;
}
