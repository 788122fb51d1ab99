// Every key of the settings file, in one table: its section, name, kind,
// default and meaning. Every reader takes its default from here, and
// "morvask check" validates what this table lists, so a new key is one
// row (and a row in the guide's settings reference, which a test compares
// with this table).
#ifndef MORVASK_SETTINGS_KEYS_H_
#define MORVASK_SETTINGS_KEYS_H_

#include <cstdint>

enum class SettingKind {
  kInteger,  // By the integer text rule; not an integer reads as default.
  kSwitch,   // An integer, on when not 0.
  kText,     // Up to kMaxSettingLength characters, used as written.
  kList,     // Comma-separated integers (a cycle list).
  kKeys,     // Key names are command lines, values key combinations.
};

struct SettingKey {
  /// "Main", "System", "Watch" or "Keys"; nullptr for a key of each profile's
  /// own section ([0], [1], [-1], ...).
  const char* section;
  const char* name;
  SettingKind kind;
  /// Integers and switches (0 off, 1 on); texts, lists and keys default
  /// to the empty text.
  std::int32_t default_value;
  const char* meaning;
};

namespace key {

inline constexpr SettingKey kRMClock{"Main", "RMClock", SettingKind::kSwitch, 0,
                                     "applying commands the clock utility"};
inline constexpr SettingKey kRMClockBase{
    "Main", "RMClockBase", SettingKind::kInteger, 0x800E,
    "command identifier of the clock utility's profile 0"};
inline constexpr SettingKey kAtiCatalyst{
    "Main", "AtiCatalyst", SettingKind::kSwitch, 0,
    "applying loads the graphics driver profile"};
inline constexpr SettingKey kShowAtkOsd{"Main", "ShowAtkOsd",
                                        SettingKind::kSwitch, 0,
                                        "showing posts the display image"};
inline constexpr SettingKey kDelay{"Main", "Delay", SettingKind::kInteger, 2200,
                                   "burst window and settle delay, ms"};
inline constexpr SettingKey kShowBeforeSwitch{
    "Main", "ShowBeforeSwitch", SettingKind::kSwitch, 0,
    "a burst's first press only shows"};
inline constexpr SettingKey kProfileCount{
    "Main", "ProfileCount", SettingKind::kInteger, 1,
    "profiles that next and prev go round"};
inline constexpr SettingKey kLog{"Main", "Log", SettingKind::kSwitch, 0,
                                 "runs append what they did to morvask.log"};
inline constexpr SettingKey kRunWait{"Main", "RunWait", SettingKind::kInteger,
                                     5000,
                                     "longest wait for a profile's Run, ms"};
inline constexpr SettingKey kNotice{
    "Main", "Notice", SettingKind::kSwitch, 0,
    "showing a profile shows morvask's own notice"};
inline constexpr SettingKey kNoticeTime{"Main", "NoticeTime",
                                        SettingKind::kInteger, 1500,
                                        "how long the notice stays, ms"};
inline constexpr SettingKey kCycleAC{
    "Main", "CycleAC", SettingKind::kList, 0,
    "profiles next and prev go round on mains"};
inline constexpr SettingKey kCycleBatt{
    "Main", "CycleBatt", SettingKind::kList, 0,
    "profiles next and prev go round on battery"};

inline constexpr SettingKey kCurrentProfileAC{"System", "CurrentProfileAC",
                                              SettingKind::kInteger, 0,
                                              "current profile on mains"};
inline constexpr SettingKey kCurrentProfileBatt{"System", "CurrentProfileBatt",
                                                SettingKind::kInteger, 0,
                                                "current profile on battery"};
inline constexpr SettingKey kTickId{"System", "TickId", SettingKind::kInteger,
                                    0, "start tick of the latest press"};

inline constexpr SettingKey kWatchDelay{
    "Watch", "Delay", SettingKind::kInteger, 2000,
    "the watcher's wait after an event, ms"};
inline constexpr SettingKey kWatchStartDelay{
    "Watch", "StartDelay", SettingKind::kInteger, 10000,
    "the watcher's wait before its run at logon, ms"};
inline constexpr SettingKey kWatchApplyAtStart{
    "Watch", "ApplyAtStart", SettingKind::kSwitch, 1,
    "the watcher runs once at logon"};

/// The one row of [Keys], whose key names are free: each line's name is
/// a command line, its value the keys that run it (settings/key_bindings.h).
inline constexpr SettingKey kKeys{"Keys", "<command line>", SettingKind::kKeys,
                                  0, "the keys that morvask-watch holds"};

inline constexpr SettingKey kRMClockProfile{
    nullptr, "RMClockProfile", SettingKind::kInteger, 0,
    "the clock utility's profile, 0 to 3"};
inline constexpr SettingKey kAtiCatalystProfile{
    nullptr, "AtiCatalystProfile", SettingKind::kText, 0,
    "the graphics driver profile's name"};
inline constexpr SettingKey kAtkOsdImageIndex{nullptr, "AtkOsdImageIndex",
                                              SettingKind::kInteger, 0,
                                              "display image index"};
inline constexpr SettingKey kAtkOsdImageSet{
    nullptr, "AtkOsdImageSet", SettingKind::kInteger, 0, "display image set"};
inline constexpr SettingKey kName{nullptr, "Name", SettingKind::kText, 0,
                                  "the profile's name"};
inline constexpr SettingKey kPowerScheme{nullptr, "PowerScheme",
                                         SettingKind::kText, 0,
                                         "the Windows power plan it selects"};
inline constexpr SettingKey kPowerMode{nullptr, "PowerMode", SettingKind::kText,
                                       0, "the Windows 11 power mode"};
inline constexpr SettingKey kRun{nullptr, "Run", SettingKind::kText, 0,
                                 "a command line applying starts"};

}  // namespace key

/// The whole table, in the order "morvask check" looks at the keys.
inline constexpr const SettingKey* kSettingKeys[] = {
    &key::kRMClock,
    &key::kRMClockBase,
    &key::kAtiCatalyst,
    &key::kShowAtkOsd,
    &key::kDelay,
    &key::kShowBeforeSwitch,
    &key::kProfileCount,
    &key::kLog,
    &key::kRunWait,
    &key::kNotice,
    &key::kNoticeTime,
    &key::kCycleAC,
    &key::kCycleBatt,
    &key::kCurrentProfileAC,
    &key::kCurrentProfileBatt,
    &key::kTickId,
    &key::kWatchDelay,
    &key::kWatchStartDelay,
    &key::kWatchApplyAtStart,
    &key::kKeys,
    &key::kRMClockProfile,
    &key::kAtiCatalystProfile,
    &key::kAtkOsdImageIndex,
    &key::kAtkOsdImageSet,
    &key::kName,
    &key::kPowerScheme,
    &key::kPowerMode,
    &key::kRun,
};

#endif  // MORVASK_SETTINGS_KEYS_H_
