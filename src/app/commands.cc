#include "app/commands.h"

#include <optional>

#include "actions/osd.h"
#include "app/applying.h"
#include "app/check.h"
#include "app/cycle.h"
#include "app/noticing.h"
#include "app/session.h"
#include "common/command_forms.h"
#include "common/command_line.h"
#include "common/errors.h"
#include "common/text.h"
#include "log/call_log.h"
#include "platform/platform.h"
#include "settings/int_text.h"
#include "settings/keys.h"
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
  s.current_profile = s.settings.ReadInt(SlotKey(s.slot));
  s.log.Write(Cat({std::string("profile "), std::to_string(s.current_profile),
                   " of ", SlotName(s.slot), " (", SlotKey(s.slot).name, ")"}));
}

void RunNext(Session& s) { CycleNextProfile(s); }

void RunPrev(Session& s) { CycleProfile(s, CycleDirection::kPrev); }

void RunCurrent(Session& s) {
  ReadSlotProfile(s);
  ShowSessionProfile(s);
  ApplySessionProfile(s);
}

void RunProfile(Session& s) {
  s.current_profile = ArgumentToInt(s.Argument(2));
  s.log.Write(
      Cat({std::string("profile "), std::to_string(s.current_profile), " for ",
           SlotName(s.slot), " (", SlotKey(s.slot).name, ")"}));
  s.settings.WriteInt(SlotKey(s.slot), s.current_profile);
  ShowSessionProfile(s);
  ApplySessionProfile(s);
}

void RunShow(Session& s) {
  ReadSlotProfile(s);
  ShowSessionProfile(s);
}

void RunOsd(Session& s) {
  // The index is converted before the set.
  std::int32_t index = ArgumentToInt(s.Argument(3));
  std::int32_t set = ArgumentToInt(s.Argument(2));
  s.log.Write(Cat(
      {"image set ", std::to_string(set), ", index ", std::to_string(index)}));
  ShowAtkOsdImage(s.platform, static_cast<std::uint16_t>(set),
                  static_cast<std::uint16_t>(index));
}

void RunCheckUnlogged(Session& s) {
  // It promises to change nothing: not even the log gets a line.
  s.log.Discard();
  RunCheck(s);
}

struct Command {
  const CommandForm* form;  // Its word and argument count.
  void (*run)(Session&);
};

// One row for each form of common/command_forms.h.
const Command kCommands[] = {
    {&command::kNext, RunNext},
    {&command::kCurrent, RunCurrent},
    {&command::kProfile, RunProfile},
    {&command::kShow, RunShow},
    {&command::kOsd, RunOsd},
    {&command::kPrev, RunPrev},
    {&command::kCheck, RunCheckUnlogged},
};

}  // namespace

void RunCommand(Session& session) {
  const CommandForm* form = MatchCommandForm(session.tokens);
  for (const Command& command : kCommands) {
    if (form && command.form == form) {
      command.run(session);
      // The run lives as long as its notice.
      HoldSessionNotice(session);
      return;
    }
  }
  throw EAbort();
}

namespace {

/// The kind and message of the failure being handled.
std::string DescribeFailure() {
  try {
    throw;
  } catch (const EIniFileException& e) {
    return std::string("EIniFileException: ") + e.what();
  } catch (const ERegistryException& e) {
    return std::string("ERegistryException: ") + e.what();
  } catch (const EConvertError& e) {
    return std::string("EConvertError: ") + e.what();
  } catch (const EAbort& e) {
    return std::string("EAbort: ") + e.what();
  } catch (const std::exception& e) {
    return std::string("exception: ") + e.what();
  } catch (...) {
    return "unknown failure";
  }
}

}  // namespace

int RunMorvask(Platform& platform) {
  LeadByteTest is_lead_byte = [&platform](unsigned char byte) {
    return platform.IsLeadByte(byte);
  };
  const std::string module_path = platform.ModulePath();
  const std::string settings_path = SettingsPathFor(module_path, is_lead_byte);
  // A folder the code page cannot name has a path with '?' for its
  // letters, or best-fit ones that may name another file: its settings
  // then read as their defaults and no write is tried.
  const bool exact = platform.ModulePathIsExact();
  std::optional<IniFileStore> file;
  UnnamedSettingsFile unnamed;
  SettingsStore* store = &unnamed;
  if (exact) store = &file.emplace(platform, settings_path);
  SettingsStore& settings = *store;
  // [Main] Log is read at the log's first flush, after a press has shown
  // its profile: nothing is read for the log before the display.
  const RunLog log =
      RunLog::Deferred(platform, settings, module_path, is_lead_byte);
  // The outside programs' calls of this run are told to the log.
  CallLog calls(log);
  platform.ObserveWith(&calls);
  try {
    const std::uint32_t start_tick = platform.TickCount();
    const std::uint8_t ac_line_status = platform.AcLineStatus();
    const std::string command_line = platform.CommandLine();
    log.Write(Cat({"command line: ", command_line}));
    Session session(platform, settings);
    session.log = log;
    session.module_path = module_path;
    session.settings_path = settings_path;
    session.settings_path_exact = exact;
    session.start_tick = start_tick;
    session.ac_line_status = ac_line_status;
    session.slot = PowerSlotFor(ac_line_status);
    session.tokens = SplitCommandLine(command_line, is_lead_byte);
    RunCommand(session);
  } catch (...) {
    // Every failure, whatever its kind, ends here and shows the same text.
    log.Write(Cat({"failed, ", DescribeFailure(), "; showing the usage box"}));
    log.Flush();
    platform.ShowMessageBox(kUsageText, kMbIconError);
  }
  platform.ObserveWith(nullptr);
  return 0;
}
