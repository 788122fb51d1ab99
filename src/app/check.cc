#include "app/check.h"

#include <algorithm>
#include <optional>
#include <set>

#include "actions/apply.h"
#include "actions/catalyst.h"
#include "actions/notice.h"
#include "actions/osd.h"
#include "actions/power_plan.h"
#include "actions/run_program.h"
#include "app/cycle.h"
#include "app/session.h"
#include "common/ascii.h"
#include "common/hex.h"
#include "common/key_combination.h"
#include "common/path.h"
#include "common/shared_names.h"
#include "common/text.h"
#include "platform/platform.h"
#include "settings/int_text.h"
#include "settings/key_bindings.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

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

/// What every subject of the report looks at, and the report it adds to.
struct Look {
  Session& s;
  Platform& platform;
  SettingsStore& settings;
  CheckReport& report;
  LeadByteTest lead;
  std::int32_t profile = 0;  // The present power source's.

  void Head(const std::string& text) { report.head.push_back(text); }
  void Problem(const std::string& text) { report.problems.push_back(text); }
  void Tail(const std::string& text) { report.tail.push_back(text); }

  /// The value as written, or nullopt when the key is missing.
  std::optional<std::string> Present(const std::string& section,
                                     const std::string& name) {
    std::string value = settings.ReadText(section, name, kAbsent);
    if (value == kAbsent) return std::nullopt;
    return value;
  }
};

/// Notes a present integer or switch of `section` that is not an integer,
/// and so reads as its default (a switch's as on or off).
void CheckValue(Look& look, const SettingKey& key, const std::string& section) {
  if (key.kind != SettingKind::kInteger && key.kind != SettingKind::kSwitch)
    return;
  std::optional<std::string> value = look.Present(section, key.name);
  if (value && !ParseInt32(*value))
    look.Problem(Cat({"[", section, "] ", key.name, " = \"", *value,
                      "\" is not an integer, so it reads as ",
                      (key.kind == SettingKind::kSwitch
                           ? OnOff(key.default_value != 0)
                           : std::to_string(key.default_value))}));
}

/// Where Windows sends this morvask's reads and writes of its settings
/// file, when it lies under Program Files.
struct Redirection {
  bool under_program_files = false;
  OwnRights rights;
  /// Not elevated, with virtualization on: Windows redirects the writes.
  bool redirected() const {
    return under_program_files && rights.elevated == Answer::kNo &&
           rights.virtualized == Answer::kYes;
  }
};

Redirection RedirectionOf(Look& look, const std::string& path) {
  Redirection where;
  const std::string lower = LowerAscii(path);
  for (const char* name :
       {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
    std::string folder = LowerAscii(look.platform.EnvironmentVariable(name));
    if (folder.empty()) continue;
    if (folder.back() != '\\') folder += '\\';
    if (lower.compare(0, folder.size(), folder) == 0)
      where.under_program_files = true;
  }
  if (where.under_program_files) where.rights = look.platform.QueryOwnRights();
  return where;
}

/// The copy of `path` that Windows gives a redirected morvask.
std::string VirtualStorePath(Look& look, const std::string& path) {
  const size_t colon = path.find(':');
  const std::string rest =
      colon == std::string::npos ? path : path.substr(colon + 2);
  return look.platform.EnvironmentVariable("LOCALAPPDATA") +
         "\\VirtualStore\\" + rest;
}

/// The one verdict on the settings file when Windows redirects its writes.
void RedirectedFile(Look& look, const std::string& path) {
  const std::string copy = VirtualStorePath(look, path);
  const bool copied = look.platform.QueryFile(copy).exists;
  look.Head(Cat(
      {"  lies under Program Files and morvask is not elevated: Windows "
       "redirects its writes to ",
       copy,
       (copied ? ", and its reads too, since that copy exists"
               : ", which does not exist yet: morvask reads this file until "
                 "its first write"),
       "; an elevated morvask uses this file"}));
}

/// Whether morvask may write the settings file, as its rights stand.
void FileVerdict(Look& look, const std::string& path) {
  const FileFacts file = look.platform.QueryFile(path);
  if (!file.exists) {
    FileFacts folder = look.platform.QueryFile(DirectoryOf(path, look.lead));
    look.Head(folder.writable == Answer::kNo
                  ? "  does not exist, and morvask may not make it in its "
                    "folder: \"next\", \"prev\" and \"profile\" would show the "
                    "usage box"
                  : "  does not exist: every setting reads as its default; "
                    "\"next\", \"prev\" and \"profile\" make it");
  } else if (file.read_only) {
    look.Head(
        "  exists, but is read-only: \"next\", \"prev\" and \"profile\" "
        "would show the usage box");
  } else {
    look.Head(file.writable == Answer::kYes
                  ? "  exists, and morvask may write to it"
              : file.writable == Answer::kNo
                  ? "  exists, but morvask may not write to it: \"next\", "
                    "\"prev\" and \"profile\" would show the usage box"
                  : "  exists; whether morvask may write to it cannot be "
                    "told");
  }
}

void SettingsFile(Look& look) {
  const std::string& path = look.s.settings_path;
  look.Head(Cat({"Settings file: ", path}));
  const Redirection where = RedirectionOf(look, path);
  if (where.redirected()) {
    RedirectedFile(look, path);
    return;
  }
  FileVerdict(look, path);
  if (!where.under_program_files) return;
  if (where.rights.elevated == Answer::kYes)
    look.Head(
        "  lies under Program Files and morvask is elevated: it uses this "
        "file, while a morvask that is not elevated is redirected to "
        "VirtualStore");
  else if (where.rights.elevated == Answer::kNo)
    look.Head(
        "  lies under Program Files, and Windows does not redirect this "
        "morvask's writes (virtualization is off)");
}

/// Whether accounts other than this user's, or, for an elevated morvask,
/// this user's programs that are not elevated, may change morvask's folder
/// or executable, and so what morvask runs. Silent where it cannot be told.
void WhoMayChange(Look& look) {
  const std::string folder = DirectoryOf(look.s.settings_path, look.lead);
  const bool elevated = look.platform.QueryOwnRights().elevated == Answer::kYes;
  std::string by_others, names, by_own;
  bool folder_by_others = false;
  for (const std::string& path : {folder, look.s.module_path}) {
    const std::string what = (path == folder ? "morvask's folder " : "") + path;
    const auto join = [&what](std::string& list) {
      list += (list.empty() ? "" : " and ") + what;
    };
    const WriteRights rights = look.platform.QueryWriteRights(path);
    if (rights.others == Answer::kYes) {
      join(by_others);
      if (names != rights.other_name)  // At most one name before.
        names += (names.empty() ? "" : ", ") + rights.other_name;
      folder_by_others = folder_by_others || path == folder;
    } else if (elevated && rights.own_unelevated == Answer::kYes) {
      join(by_own);
    }
  }
  if (!by_others.empty())
    look.Problem(Cat({by_others, " may be changed by other accounts (", names,
                      "): they can replace morvask",
                      (folder_by_others ? " or put a DLL beside it" : ""),
                      ", which then runs with your rights, or elevated from an "
                      "elevated task; use a folder of your own "
                      "(%LOCALAPPDATA%\\morvask) or, for elevated tasks, "
                      "C:\\Program Files\\morvask\\"}));
  if (!by_own.empty())
    look.Problem(
        Cat({by_own,
             " may be changed by your own programs that are not "
             "elevated: any of them can make this elevated morvask run "
             "what it wants; keep morvask where only administrators may "
             "change it, as in C:\\Program Files\\morvask\\"}));
}

void PowerAndProfiles(Look& look) {
  const PowerSlot slot = look.s.slot;
  look.Head(
      Cat({std::string("Power source: "), SlotName(slot), " (AC line status ",
           std::to_string(look.s.ac_line_status),
           "), so the profile is kept in [System] ", SlotKey(slot).name}));
  const std::int32_t ac = look.settings.ReadInt(key::kCurrentProfileAC);
  const std::int32_t battery = look.settings.ReadInt(key::kCurrentProfileBatt);
  look.profile = slot == PowerSlot::kMains ? ac : battery;
  look.Head(Cat({"Current profile: ", std::to_string(ac), " on mains, ",
                 std::to_string(battery), " on battery; now profile ",
                 std::to_string(look.profile)}));
}

/// The switches and tuning as they read, and every value of [Main],
/// [System] and [Watch] that reads as its default.
void MainValues(Look& look) {
  SettingsStore& settings = look.settings;
  look.Head(Cat(
      {"[Main] ProfileCount ",
       std::to_string(settings.ReadInt(key::kProfileCount)), ", Delay ",
       std::to_string(settings.ReadInt(key::kDelay)), " ms, ShowBeforeSwitch ",
       OnOff(settings.ReadSwitch(key::kShowBeforeSwitch)), ", RMClock ",
       OnOff(settings.ReadSwitch(key::kRMClock)), ", AtiCatalyst ",
       OnOff(settings.ReadSwitch(key::kAtiCatalyst)), ", ShowAtkOsd ",
       OnOff(settings.ReadSwitch(key::kShowAtkOsd)), ", Log ",
       OnOff(settings.ReadSwitch(key::kLog))}));
  for (const SettingKey* key : kSettingKeys)
    if (key->section) CheckValue(look, *key, key->section);
  const std::int32_t delay = settings.ReadInt(key::kDelay);
  if (delay < 0)
    look.Problem(
        Cat({"[Main] Delay ", std::to_string(delay),
             " is negative: \"next\" and \"prev\" wait no time, so every "
             "press applies at once and starts a burst of its own",
             (settings.ReadSwitch(key::kShowBeforeSwitch)
                  ? ", and with ShowBeforeSwitch on they never step"
                  : "")}));
}

/// What "next" and "prev" go round, as the commands read it.
void Cycle(Look& look, const CycleSet& set) {
  const std::string name = set.list_key->name;
  if (!set.uses_list() && set.count < 1)
    look.Problem(
        Cat({"[Main] ProfileCount ", std::to_string(set.count),
             " is less than 1: \"next\" and \"prev\" go to profile 0 and "
             "stay there"}));
  if (set.uses_list()) {
    std::string names;
    for (std::int32_t profile : set.list.profiles)
      names += (names.empty() ? "" : ", ") + std::to_string(profile);
    look.Head(Cat({"next and prev go round ", name, ": ", names}));
    return;
  }
  const std::string by_count =
      set.count < 1 ? "next and prev go to profile 0 (ProfileCount " +
                          std::to_string(set.count) + ")"
                    : "next and prev go round 0 to " +
                          std::to_string(set.count - 1) + " (ProfileCount)";
  if (!look.Present("Main", name)) {
    look.Head(Cat({by_count, "; no ", name}));
    return;
  }
  look.Head(Cat({by_count, ": ", name, " is ignored, as ",
                 (set.list.problem.empty() ? std::string("it is empty")
                                           : set.list.problem)}));
}

void Profile(Look& look, std::int32_t profile, const std::string& why) {
  const std::string section = ProfileSection(profile);
  if (!look.platform.IniSectionExists(section, look.s.settings_path)) {
    look.Problem(Cat({"profile ", section, " (", why, ") has no section [",
                      section, "]: all its values read as their defaults"}));
    return;
  }
  for (const SettingKey* key : kSettingKeys)
    if (!key->section) CheckValue(look, *key, section);
  const std::int32_t clock =
      look.settings.ReadInt(key::kRMClockProfile, profile);
  if (!ClockProfileOf(clock))
    look.Problem(Cat(
        {"[", section, "] RMClockProfile ", std::to_string(clock),
         " sends nothing to the clock utility (0 to 3 only, low 16 bits)"}));
}

/// Every profile that a command may reach, with why it may.
void Profiles(Look& look, const CycleSet& set) {
  std::set<std::int32_t> seen;
  auto look_at = [&](std::int32_t profile, const std::string& why) {
    if (seen.insert(profile).second) Profile(look, profile, why);
  };
  const bool mains = look.s.slot == PowerSlot::kMains;
  look_at(look.profile, "the current profile");
  look_at(look.settings.ReadInt(mains ? key::kCurrentProfileBatt
                                      : key::kCurrentProfileAC),
          "the other power source's profile");
  if (set.uses_list()) {
    const std::set<std::int32_t> listed(set.list.profiles.begin(),
                                        set.list.profiles.end());
    for (std::int32_t profile : listed) look_at(profile, "in the cycle list");
    return;
  }
  const std::int32_t checked = std::min(set.count, kMostProfilesChecked);
  for (std::int32_t profile = 0; profile < checked; ++profile)
    look_at(profile, "within ProfileCount");
  if (set.count > kMostProfilesChecked)
    look.Problem(Cat(
        {"ProfileCount ", std::to_string(set.count), ": only profiles 0 to ",
         std::to_string(kMostProfilesChecked - 1), " were looked at"}));
}

void ClockUtility(Look& look) {
  const std::string line = std::string("Clock utility (RMClock ") +
                           OnOff(look.settings.ReadSwitch(key::kRMClock)) +
                           "): ";
  WindowHandle window =
      look.platform.FindTopLevelWindow(kClockWindowClass, kClockWindowTitle);
  if (!window) {
    look.Tail(Cat({line, "window \"", kClockWindowTitle, "\" not found"}));
    return;
  }
  std::string sends;
  const ClockTarget target = FindClockTarget(
      look.platform, look.settings,
      look.settings.ReadInt(key::kRMClockProfile, look.profile));
  if (target.window)
    sends = "; profile " + std::to_string(look.profile) + " sends " +
            Hex32(target.command);
  look.Tail(Cat({line, "window found", sends, "; ",
                 PostVerdict(look.platform.WouldRefusePost(window))}));
}

void DriverTool(Look& look) {
  const std::string line = std::string("Graphics driver tool (AtiCatalyst ") +
                           OnOff(look.settings.ReadSwitch(key::kAtiCatalyst)) +
                           "): ";
  CatalystPathValue value = ReadCatalystPathValue(look.platform);
  switch (value.status) {
    case CatalystPathValue::kNoKey:
      look.Tail(Cat({line, "no registry key HKLM\\", kCatalystKey,
                     ": the fixed folder is used"}));
      break;
    case CatalystPathValue::kNoValue:
      look.Tail(
          Cat({line, "no registry value Path: the fixed folder is used"}));
      break;
    case CatalystPathValue::kEmpty:
      look.Tail(Cat(
          {line, "registry value Path is empty: the fixed folder is used"}));
      break;
    case CatalystPathValue::kUnreadable:
      look.Tail(Cat({line,
                     "registry value Path could not be read: \"current\" would "
                     "show the usage box"}));
      return;
    case CatalystPathValue::kNotText:
      look.Tail(
          Cat({line, "registry value Path is ", RegistryTypeName(value.type),
               ", not text: \"current\" would show the usage box"}));
      return;
    case CatalystPathValue::kText:
      look.Tail(Cat({line, "registry value Path = \"", value.text, "\" (",
                     RegistryTypeName(value.type), ")"}));
      break;
  }
  const std::string tool = CatalystTool(value.text);
  const FileFacts facts = look.platform.QueryFile(tool);
  look.Tail(Cat(
      {"  \"current\" starts ", tool,
       (facts.exists && !facts.is_folder ? " (found)" : " (no such file)"),
       " with profilename=\"",
       look.settings.ReadText(key::kAtiCatalystProfile, look.profile), "\""}));
}

void Display(Look& look) {
  const std::string line = std::string("On-screen display (ShowAtkOsd ") +
                           OnOff(look.settings.ReadSwitch(key::kShowAtkOsd)) +
                           "): ";
  WindowHandle window =
      look.platform.FindTopLevelWindow(kOsdWindow, kOsdWindow);
  if (!window) {
    look.Tail(Cat({line, "window ", kOsdWindow, " not found"}));
    return;
  }
  look.Tail(Cat({line, "window ", kOsdWindow, " found; profile ",
                 std::to_string(look.profile), " sends ",
                 Hex32(ProfileOsdParameter(look.settings, look.profile)), "; ",
                 PostVerdict(look.platform.WouldRefusePost(window))}));
}

/// Whether morvask's own notice is on, and what it would show.
void NoticeLine(Look& look) {
  const bool on = look.settings.ReadSwitch(key::kNotice);
  const std::int32_t time = look.settings.ReadInt(key::kNoticeTime);
  const std::string head =
      Cat({"Notice (Notice ", OnOff(on), ", NoticeTime ", Num(time), " ms): "});
  if (!on) {
    look.Tail(Cat({head, "not shown; morvask opens no window"}));
    return;
  }
  if (NoticeLasts(time) == 0) {
    look.Tail(Cat({head, "not shown: NoticeTime 0 or less shows nothing"}));
    return;
  }
  look.Tail(
      Cat({head, "shows \"",
           NoticeText(look.settings.ReadText(key::kName, look.profile),
                      look.profile, look.s.slot, nullptr, look.lead),
           "\" for ", Num(NoticeLasts(time)), " ms",
           time > static_cast<std::int32_t>(kLongestNotice) ? " (held to that)"
                                                            : ""}));
}

/// The first program of a command line as Windows takes it: the text in
/// its leading quotes, or up to its first blank.
std::string ProgramOf(const std::string& command_line) {
  const size_t start = command_line.find_first_not_of(" \t");
  if (start == std::string::npos) return std::string();
  if (command_line[start] == '"') {
    const size_t end = command_line.find('"', start + 1);
    return command_line.substr(start + 1, end == std::string::npos
                                              ? std::string::npos
                                              : end - start - 1);
  }
  return command_line.substr(start,
                             command_line.find_first_of(" \t", start) - start);
}

/// This machine's power plans and modes, and what the present profile's
/// PowerScheme, PowerMode and Run would do, or why they would not.
void Power(Look& look) {
  const PowerPlanKind kind = look.platform.PlanKind();
  const std::vector<PowerPlan> plans = kind == PowerPlanKind::kNone
                                           ? std::vector<PowerPlan>()
                                           : look.platform.PowerPlans();
  if (kind == PowerPlanKind::kNone) {
    look.Tail("Power plans: none that morvask can select (no power library)");
  } else {
    const std::optional<PowerPlan> active = look.platform.ActivePowerPlan();
    look.Tail(Cat({"Power plans (",
                   kind == PowerPlanKind::kByNumber ? "Windows XP: by number"
                                                    : "by GUID or name",
                   "):", plans.empty() ? " none could be read" : ""}));
    for (const PowerPlan& plan : plans) {
      const bool by_number = kind == PowerPlanKind::kByNumber;
      const bool is_active =
          active && (by_number ? active->number == plan.number
                               : active->guid == plan.guid);
      look.Tail(Cat(
          {"  ",
           by_number ? std::string(Num(plan.number)) : FormatGuid(plan.guid),
           " ", plan.name, is_active ? " (active)" : ""}));
    }
  }
  if (look.platform.HasPowerModes()) {
    const std::optional<Guid> ac = look.platform.ConfiguredPowerMode(true);
    const std::optional<Guid> dc = look.platform.ConfiguredPowerMode(false);
    look.Tail(
        Cat({"Power mode: ", ac ? PowerModeName(*ac) : "none", " on mains, ",
             dc ? PowerModeName(*dc) : "none", " on battery"}));
  } else {
    look.Tail("Power mode: this Windows has none (it needs Windows 11)");
  }
  const std::string profile = std::string(Num(look.profile));
  const std::string scheme =
      look.settings.ReadText(key::kPowerScheme, look.profile);
  if (!IsBlank(scheme)) {
    const PlanChoice choice =
        ChoosePowerPlan(ParsePowerScheme(scheme), kind, plans);
    if (choice.plan)
      look.Tail(
          Cat({"  profile ", profile, " PowerScheme \"", scheme, "\" selects ",
               choice.plan->name.empty() ? "it" : choice.plan->name}));
    else
      look.Problem(Cat({"[", profile, "] PowerScheme \"", scheme,
                        "\" selects nothing: ", choice.why_not}));
  }
  const std::string mode =
      look.settings.ReadText(key::kPowerMode, look.profile);
  if (!IsBlank(mode)) {
    const std::optional<Guid> parsed = ParsePowerMode(mode);
    if (!parsed)
      look.Problem(Cat({"[", profile, "] PowerMode \"", mode,
                        "\" is none of efficiency, balanced and performance"}));
    else if (!look.platform.HasPowerModes())
      look.Problem(Cat({"[", profile, "] PowerMode \"", mode,
                        "\" does nothing: power modes need Windows 11"}));
    else
      look.Tail(Cat({"  profile ", profile, " PowerMode sets ",
                     PowerModeName(*parsed), " on ", SlotName(look.s.slot)}));
  }
  const std::string run = look.settings.ReadText(key::kRun, look.profile);
  if (IsBlank(run)) return;
  ApplyContext context;
  context.settings_path = look.s.settings_path;
  context.folder = DirectoryOf(look.s.settings_path, look.lead);
  const std::string refusal = RunRefusal(look.platform, context);
  const std::string program = ProgramOf(run);
  const std::string found =
      program.empty() ? std::string() : look.platform.FindProgram(program);
  if (!refusal.empty())
    look.Problem(Cat({"[", profile,
                      "] Run is not started: morvask runs "
                      "elevated, and ",
                      refusal}));
  else if (found.empty())
    look.Problem(Cat({"[", profile, "] Run \"", run, "\": program \"", program,
                      "\" not found, so nothing starts"}));
  else
    look.Tail(Cat({"  profile ", profile, " Run starts ", found, " in ",
                   context.folder}));
}

/// Who holds a [Keys] line's keys, in words.
std::string KeyHolderWords(KeyHolder holder) {
  switch (holder) {
    case KeyHolder::kWatcher:
      return "held by the running morvask-watch";
    case KeyHolder::kFree:
      return "free: no morvask-watch of this session holds it yet";
    case KeyHolder::kOther:
      return "held by another program: morvask-watch cannot have it";
    case KeyHolder::kWindows:
      break;
  }
  return "kept by Windows: morvask-watch cannot have it";
}

/// Each line of [Keys]: why it is ignored, or who holds its keys.
void Keys(Look& look) {
  const KeyBindings bindings = ReadKeyBindings(look.settings, look.lead);
  for (const KeyBinding& line : bindings.lines) {
    if (!line.problem.empty()) {
      look.Problem(Cat({line.name, " is ignored: it ", line.problem}));
      continue;
    }
    const KeyHolder holder =
        look.platform.WhoHoldsKeys(line.keys.modifiers, line.keys.key);
    const std::string text =
        Cat({line.name, ": ", KeyCombinationName(line.keys), " is ",
             KeyHolderWords(holder)});
    if (holder == KeyHolder::kOther || holder == KeyHolder::kWindows)
      look.Problem(text);
    else
      look.Tail(Cat({"  ", text}));
  }
  if (bindings.lines_not_read)
    look.Problem(Cat({"[Keys] has ",
                      Num(static_cast<std::uint32_t>(bindings.lines_not_read)),
                      " lines after the first ",
                      Num(static_cast<std::uint32_t>(kMostKeyLines)),
                      ", which are ignored"}));
}

void Watcher(Look& look) {
  look.Tail(Cat({std::string("morvask-watch: "),
                 (look.platform.MutexExists(kWatchInstanceMutex)
                      ? "runs in this session"
                      : "does not run in this session")}));
}

/// Why a folder the code page cannot name holds no settings, and what to
/// do; in place of the settings file's lines.
void UnnamedFolder(Look& look) {
  look.Head(
      "Settings file: none, as this folder cannot be used: its name "
      "has letters that Windows' code page for programs that are not "
      "Unicode lacks, and it has no short (8.3) name");
  look.Head(
      "  every setting reads as its default, and \"next\", \"prev\" and "
      "\"profile\" show the usage box");
  look.Head(
      "  put morvask in a folder whose name that code page holds (such as "
      "%LOCALAPPDATA%\\morvask when the account name is in its letters), or "
      "turn short names on (fsutil 8dot3name set) and make the folder anew "
      "(rename it away and back)");
}

/// A log that morvask leaves alone because it may be a planted way to
/// another file.
void LogLinks(Look& look) {
  const FileFacts log = look.platform.QueryFile(
      DirectoryOf(look.s.settings_path, look.lead) + kLogFileName);
  if (!log.exists || (!log.is_link && log.names <= 1)) return;
  look.Tail(std::string("Log: ") + kLogFileName +
            (log.is_link ? std::string(" is a link")
                         : " has " + std::to_string(log.names) + " names") +
            ": morvask does not write to it");
}

}  // namespace

CheckReport MakeCheckReport(Session& session) {
  CheckReport report;
  Look look{session, session.platform, session.settings, report,
            session.LeadBytes()};
  look.Head(Cat({std::string("morvask "), MORVASK_VERSION,
                 " check: what morvask sees here (nothing was changed)"}));
  if (session.settings_path_exact)
    SettingsFile(look);
  else
    UnnamedFolder(look);
  WhoMayChange(look);
  PowerAndProfiles(look);
  MainValues(look);
  const CycleSet set = ReadCycleSet(look.settings, session.slot, look.lead);
  Cycle(look, set);
  if (session.settings_path_exact) Profiles(look, set);
  ClockUtility(look);
  DriverTool(look);
  Display(look);
  NoticeLine(look);
  Power(look);
  Keys(look);
  Watcher(look);
  if (session.settings_path_exact) LogLinks(look);
  return report;
}

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
        line(Cat({"  ... and ", std::to_string(report.problems.size() - i),
                  " more (morvask check > report.txt lists them all)"}));
        break;
      }
      line(Cat({"  ", report.problems[i]}));
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
