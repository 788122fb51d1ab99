#include "app/check.h"

#include <optional>
#include <set>

#include "actions/apply.h"
#include "actions/catalyst.h"
#include "app/cycle.h"
#include "app/session.h"
#include "common/ascii.h"
#include "common/path.h"
#include "log/run_log.h"
#include "platform/platform.h"
#include "settings/int_text.h"
#include "settings/settings_store.h"
#include "watch/watcher.h"

#ifndef MORVASK_VERSION
#define MORVASK_VERSION "unknown"
#endif

namespace {

// Profiles beyond this many of ProfileCount are not looked at, so that a
// huge count cannot make the check run for long.
constexpr std::int32_t kMostProfilesChecked = 64;

// A default no settings file holds, to tell a missing key from an empty
// value.
const char kAbsent[] = "\x7f<absent>\x7f";

const char* OnOff(bool on) { return on ? "on" : "off"; }

/// What Windows would do with a post to a found window, in words.
std::string PostVerdict(PostRefusal refusal) {
  switch (refusal) {
    case PostRefusal::kAllowed:
      return "morvask's post would reach it";
    case PostRefusal::kRefused:
      return "Windows would refuse morvask's post: it runs with higher "
             "rights than morvask (run both with the same rights)";
    case PostRefusal::kNoSuchRule:
      return "this Windows (before Vista) refuses no post between programs";
    case PostRefusal::kUnknown:
      break;
  }
  return "whether Windows would refuse morvask's post cannot be told: its "
         "program may not be looked at, as when it runs with higher rights";
}

std::string RegistryTypeName(std::uint32_t type) {
  static const char* const kNames[] = {"REG_NONE",
                                       "REG_SZ",
                                       "REG_EXPAND_SZ",
                                       "REG_BINARY",
                                       "REG_DWORD",
                                       "REG_DWORD_BIG_ENDIAN",
                                       "REG_LINK",
                                       "REG_MULTI_SZ",
                                       "REG_RESOURCE_LIST",
                                       "REG_FULL_RESOURCE_DESCRIPTOR",
                                       "REG_RESOURCE_REQUIREMENTS_LIST",
                                       "REG_QWORD"};
  if (type < sizeof kNames / sizeof kNames[0]) return kNames[type];
  return "type " + std::to_string(type);
}

class Checker {
 public:
  explicit Checker(Session& session)
      : s_(session),
        platform_(session.platform),
        settings_(session.settings),
        lead_([this](unsigned char c) { return platform_.IsLeadByte(c); }) {}

  CheckReport Run() {
    report_.head.push_back(std::string("morvask ") + MORVASK_VERSION +
                           " check: what morvask sees here (nothing was "
                           "changed)");
    SettingsFile();
    PowerAndProfiles();
    MainValues();
    Cycle();
    Profiles();
    ClockUtility();
    DriverTool();
    Display();
    report_.tail.push_back(std::string("morvask-watch: ") +
                           (platform_.MutexExists(kWatchInstanceMutex)
                                ? "runs in this session"
                                : "does not run in this session"));
    return report_;
  }

 private:
  std::optional<std::string> Present(const std::string& section,
                                     const std::string& key) {
    std::string value = settings_.ReadText(section, key, kAbsent);
    if (value == kAbsent) return std::nullopt;
    return value;
  }

  /// Notes a present value that is not an integer, and so reads as its
  /// default, `default_value` (a switch's as on or off).
  void CheckInteger(const std::string& section, const std::string& key,
                    std::int32_t default_value, bool is_switch = false) {
    std::optional<std::string> value = Present(section, key);
    if (value && !ParseInt32(*value))
      Problem("[" + section + "] " + key + " = \"" + *value +
              "\" is not an integer, so it reads as " +
              (is_switch ? OnOff(default_value != 0)
                         : std::to_string(default_value)));
  }

  void Problem(const std::string& text) { report_.problems.push_back(text); }
  void Head(const std::string& text) { report_.head.push_back(text); }
  void Tail(const std::string& text) { report_.tail.push_back(text); }

  void SettingsFile() {
    const std::string& path = s_.settings_path;
    Head("Settings file: " + path);
    FileFacts file = platform_.QueryFile(path);
    Answer writable = file.writable;
    if (!file.exists) {
      FileFacts folder = platform_.QueryFile(DirectoryOf(path, lead_));
      writable = folder.writable;
      Head(writable == Answer::kNo
               ? "  does not exist, and morvask may not make it in its "
                 "folder: \"next\", \"prev\" and \"profile\" would show the "
                 "usage box"
               : "  does not exist: every setting reads as its default; "
                 "\"next\", \"prev\" and \"profile\" make it");
    } else if (file.read_only) {
      Head(
          "  exists, but is read-only: \"next\", \"prev\" and \"profile\" "
          "would show the usage box");
    } else {
      Head(writable == Answer::kYes  ? "  exists, and morvask may write to it"
           : writable == Answer::kNo ? "  exists, but morvask may not write "
                                       "to it: \"next\", \"prev\" and "
                                       "\"profile\" would show the usage box"
                                     : "  exists; whether morvask may write "
                                       "to it cannot be told");
    }
    VirtualStore(path);
  }

  void VirtualStore(const std::string& path) {
    const std::string lower = LowerAscii(path);
    bool under_program_files = false;
    for (const char* name :
         {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
      std::string folder = LowerAscii(platform_.EnvironmentVariable(name));
      if (folder.empty()) continue;
      if (folder.back() != '\\') folder += '\\';
      if (lower.compare(0, folder.size(), folder) == 0)
        under_program_files = true;
    }
    if (!under_program_files) return;
    OwnRights rights = platform_.QueryOwnRights();
    if (rights.elevated == Answer::kNo) {
      // The path after its drive, under the user's own VirtualStore.
      const size_t colon = path.find(':');
      const std::string rest =
          colon == std::string::npos ? path : path.substr(colon + 2);
      Head(
          "  lies under Program Files and morvask is not elevated: Windows "
          "redirects its writes to " +
          platform_.EnvironmentVariable("LOCALAPPDATA") + "\\VirtualStore\\" +
          rest + ", and an elevated morvask uses another file");
    } else if (rights.elevated == Answer::kYes) {
      Head(
          "  lies under Program Files and morvask is elevated: it uses this "
          "file, while a morvask that is not elevated is redirected to "
          "VirtualStore");
    }
  }

  void PowerAndProfiles() {
    Head(std::string("Power source: ") + SlotName(s_.slot) +
         " (AC line status " + std::to_string(s_.ac_line_status) +
         "), so the profile is kept in [System] " + SlotKey(s_.slot));
    ac_profile_ = settings_.ReadInt("System", "CurrentProfileAC", 0);
    battery_profile_ = settings_.ReadInt("System", "CurrentProfileBatt", 0);
    profile_ = s_.slot == PowerSlot::kMains ? ac_profile_ : battery_profile_;
    Head("Current profile: " + std::to_string(ac_profile_) + " on mains, " +
         std::to_string(battery_profile_) + " on battery; now profile " +
         std::to_string(profile_));
  }

  void MainValues() {
    count_ = settings_.ReadInt("Main", "ProfileCount", 1);
    rmclock_ = settings_.ReadSwitch("Main", "RMClock", false);
    catalyst_ = settings_.ReadSwitch("Main", "AtiCatalyst", false);
    osd_ = settings_.ReadSwitch("Main", "ShowAtkOsd", false);
    Head("[Main] ProfileCount " + std::to_string(count_) + ", Delay " +
         std::to_string(settings_.ReadInt("Main", "Delay", kDefaultDelay)) +
         " ms, ShowBeforeSwitch " +
         OnOff(settings_.ReadSwitch("Main", "ShowBeforeSwitch", false)) +
         ", RMClock " + OnOff(rmclock_) + ", AtiCatalyst " + OnOff(catalyst_) +
         ", ShowAtkOsd " + OnOff(osd_) + ", Log " +
         OnOff(settings_.ReadSwitch("Main", "Log", false)));
    static const struct {
      const char* section;
      const char* key;
      std::int32_t default_value;
      bool is_switch;
    } kIntegers[] = {
        {"Main", "RMClock", 0, true},
        {"Main", "RMClockBase", kDefaultClockBase, false},
        {"Main", "AtiCatalyst", 0, true},
        {"Main", "ShowAtkOsd", 0, true},
        {"Main", "Delay", kDefaultDelay, false},
        {"Main", "ShowBeforeSwitch", 0, true},
        {"Main", "ProfileCount", 1, false},
        {"Main", "Log", 0, true},
        {"System", "CurrentProfileAC", 0, false},
        {"System", "CurrentProfileBatt", 0, false},
        {"System", "TickId", 0, false},
        {"Watch", "Delay", kDefaultWatchDelay, false},
        {"Watch", "StartDelay", kDefaultStartDelay, false},
        {"Watch", "ApplyAtStart", 1, true},
    };
    for (const auto& integer : kIntegers)
      CheckInteger(integer.section, integer.key, integer.default_value,
                   integer.is_switch);
  }

  void Cycle() {
    const std::string key = CycleKey(s_.slot);
    const std::string by_count =
        "0 to " + std::to_string(count_ - 1) + " (ProfileCount)";
    std::optional<std::string> text = Present("Main", key);
    if (!text) {
      Head("next and prev go round " + by_count + "; no " + key);
      return;
    }
    CycleList list = ParseCycleList(*text);
    if (list.profiles.empty()) {
      Head("next and prev go round " + by_count + ": " + key +
           " is ignored, as " +
           (list.problem.empty() ? std::string("it is empty") : list.problem));
      return;
    }
    std::string names;
    for (std::int32_t profile : list.profiles) {
      names += (names.empty() ? "" : ", ") + std::to_string(profile);
      listed_.insert(profile);
    }
    Head("next and prev go round " + key + ": " + names);
  }

  void Profiles() {
    // Every profile that a command may reach, with why it may.
    std::set<std::int32_t> seen;
    auto look = [&](std::int32_t profile, const std::string& why) {
      if (seen.insert(profile).second) Profile(profile, why);
    };
    look(profile_, "the current profile");
    look(s_.slot == PowerSlot::kMains ? battery_profile_ : ac_profile_,
         "the other power source's profile");
    for (std::int32_t profile : listed_) look(profile, "in the cycle list");
    if (listed_.empty()) {
      const std::int32_t checked = std::min(count_, kMostProfilesChecked);
      for (std::int32_t profile = 0; profile < checked; ++profile)
        look(profile, "within ProfileCount");
      if (count_ > kMostProfilesChecked)
        Problem("ProfileCount " + std::to_string(count_) +
                ": only profiles "
                "0 to " +
                std::to_string(kMostProfilesChecked - 1) + " were looked at");
    }
  }

  void Profile(std::int32_t profile, const std::string& why) {
    const std::string section = FormatInt32(profile);
    if (!platform_.IniSectionExists(section, s_.settings_path)) {
      Problem("profile " + section + " (" + why + ") has no section [" +
              section + "]: all its values read as their defaults");
      return;
    }
    CheckInteger(section, "RMClockProfile", 0);
    CheckInteger(section, "AtkOsdImageIndex", 0);
    CheckInteger(section, "AtkOsdImageSet", 0);
    const std::int32_t clock = settings_.ReadInt(section, "RMClockProfile", 0);
    if (static_cast<std::uint16_t>(clock) >= kClockProfileCount)
      Problem("[" + section + "] RMClockProfile " + std::to_string(clock) +
              " sends nothing to the clock utility (0 to 3 only, low 16 "
              "bits)");
  }

  void ClockUtility() {
    const std::string line =
        std::string("Clock utility (RMClock ") + OnOff(rmclock_) + "): ";
    WindowHandle window =
        platform_.FindTopLevelWindow("#32770", "RightMark CPU Clock Utility");
    if (!window) {
      Tail(line + "window \"RightMark CPU Clock Utility\" not found");
      return;
    }
    const std::int32_t clock =
        settings_.ReadInt(FormatInt32(profile_), "RMClockProfile", 0);
    const std::int32_t base =
        settings_.ReadInt("Main", "RMClockBase", kDefaultClockBase);
    std::string sends;
    if (static_cast<std::uint16_t>(clock) < kClockProfileCount)
      sends = "; profile " + std::to_string(profile_) + " sends " +
              Hex32(ClockCommand(base, static_cast<std::uint16_t>(clock)));
    Tail(line + "window found" + sends + "; " +
         PostVerdict(platform_.WouldRefusePost(window)));
  }

  void DriverTool() {
    const std::string line = std::string("Graphics driver tool (AtiCatalyst ") +
                             OnOff(catalyst_) + "): ";
    CatalystPathValue value = ReadCatalystPathValue(platform_);
    std::string folder;
    switch (value.status) {
      case CatalystPathValue::kNoKey:
        Tail(line +
             "no registry key HKLM\\Software\\ATI\\ACE: the fixed "
             "folder is used");
        break;
      case CatalystPathValue::kNoValue:
        Tail(line + "no registry value Path: the fixed folder is used");
        break;
      case CatalystPathValue::kEmpty:
        Tail(line + "registry value Path is empty: the fixed folder is used");
        break;
      case CatalystPathValue::kUnreadable:
        Tail(line +
             "registry value Path could not be read: \"current\" "
             "would show the usage box");
        return;
      case CatalystPathValue::kNotText:
        Tail(line + "registry value Path is " + RegistryTypeName(value.type) +
             ", not text: \"current\" would show the usage box");
        return;
      case CatalystPathValue::kText:
        Tail(line + "registry value Path = \"" + value.text + "\" (" +
             RegistryTypeName(value.type) + ")");
        folder = value.text;
        break;
    }
    const std::string tool = CatalystTool(folder);
    const FileFacts facts = platform_.QueryFile(tool);
    Tail("  \"current\" starts " + tool +
         (facts.exists && !facts.is_folder ? " (found)" : " (no such file)") +
         " with profilename=\"" +
         settings_.ReadText(FormatInt32(profile_), "AtiCatalystProfile", "") +
         "\"");
  }

  void Display() {
    const std::string line =
        std::string("On-screen display (ShowAtkOsd ") + OnOff(osd_) + "): ";
    WindowHandle window = platform_.FindTopLevelWindow("ATKOSD", "ATKOSD");
    Tail(line + (window ? "window ATKOSD found; " +
                              PostVerdict(platform_.WouldRefusePost(window))
                        : std::string("window ATKOSD not found")));
  }

  Session& s_;
  Platform& platform_;
  SettingsStore& settings_;
  const LeadByteTest lead_;
  CheckReport report_;
  std::int32_t ac_profile_ = 0, battery_profile_ = 0, profile_ = 0;
  std::int32_t count_ = 1;
  bool rmclock_ = false, catalyst_ = false, osd_ = false;
  std::set<std::int32_t> listed_;
};

}  // namespace

CheckReport MakeCheckReport(Session& session) { return Checker(session).Run(); }

std::string FormatCheckReport(const CheckReport& report,
                              std::size_t max_problems) {
  std::string text;
  auto line = [&text](const std::string& l) { text += l + "\r\n"; };
  for (const std::string& l : report.head) line(l);
  if (report.problems.empty()) {
    line("Problems: none found");
  } else {
    line("Problems:");
    for (std::size_t i = 0; i < report.problems.size(); ++i) {
      if (i == max_problems) {
        line("  ... and " + std::to_string(report.problems.size() - i) +
             " more (morvask check > report.txt lists them all)");
        break;
      }
      line("  " + report.problems[i]);
    }
  }
  for (const std::string& l : report.tail) line(l);
  return text;
}

void RunCheck(Session& session) {
  const CheckReport report = MakeCheckReport(session);
  if (session.platform.WriteStandardOutput(
          FormatCheckReport(report, report.problems.size())))
    return;
  session.platform.ShowInformationBox("morvask check",
                                      FormatCheckReport(report, kBoxProblems));
}
