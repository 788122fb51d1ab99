// morvask-watch, the resident companion of morvask: it re-applies the
// current profile when the power source changes, when the laptop resumes,
// when the user's session comes back to the console and once after logon,
// by running "morvask current" after a settle delay; and it holds the
// hotkeys of [Keys], starting morvask with a key's command line at each
// press. These are its decisions; its window, message loop and timers are
// in main_win32.cc.
#ifndef MORVASK_WATCH_WATCHER_H_
#define MORVASK_WATCH_WATCHER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/key_combination.h"
#include "platform/platform.h"
#include "settings/power_slot.h"
#include "settings/settings_store.h"

/// The power broadcasts (WM_POWERBROADCAST codes) the watcher acts on.
enum : std::uint32_t {
  kPbtSuspend = 0x04,
  kPbtResumeCritical = 0x06,  // Windows XP, after a critical suspend.
  kPbtResumeSuspend = 0x07,
  kPbtPowerStatusChange = 0x0A,
  kPbtResumeAutomatic = 0x12,
};

/// How long a run waits for the morvask of the previous run to end before
/// it starts anyway, and how often it looks.
constexpr std::uint32_t kPreviousRunWaitMs = 5000;
constexpr std::uint32_t kPreviousRunPollMs = 100;
/// A run due while a press of "next" or "prev" is within its Delay waits
/// until that press has applied: its Delay, then this long for its apply
/// (the clock post, up to a second for the graphics tool) to be done...
constexpr std::uint32_t kPressApplyMs = 1000;
/// ...but no longer than this in all, so that a huge Delay or a bogus
/// TickId cannot hold the run for long.
constexpr std::uint32_t kPendingPressWaitMs = 10000;
/// How morvask-watch starts morvask: NORMAL_PRIORITY_CLASS, so that a
/// watcher started at a lower priority (as Task Scheduler's default is)
/// does not pass its own on.
constexpr std::uint32_t kRunCreationFlags = 0x20;

/// How often the key of a pressed hotkey is looked at until it is
/// released: a press of a key still down since the last is a repeat.
constexpr std::uint32_t kKeyPollMs = 15;

/// What a start of morvask-watch is asked to do.
enum class WatchCommand {
  kWatch,    // No argument: watch until logoff or "stop".
  kStop,     // "stop", in any case: end the running watcher.
  kUnknown,  // Anything else: end at once, silently.
};

/// The command that the command line's tokens (token 0 being the program
/// name) ask for.
WatchCommand WatchCommandFor(const std::vector<std::string>& tokens);

/// Each On... that returns a delay asks the caller to (re)start its one
/// settle timer with it, replacing any run still pending, so that the
/// events within a delay give one run; nullopt leaves the timer as it is.
class Watcher {
 public:
  /// Looks at the power slot once, for later events to compare with.
  explicit Watcher(Platform& platform);

  /// The watcher has started: the delay of the run that applies the
  /// profile of the power source the user logged on with ([Watch]
  /// StartDelay), or nullopt when [Watch] ApplyAtStart is off.
  std::optional<std::uint32_t> OnStart();

  /// A power broadcast arrived. Calls for a run on a change of the power
  /// slot since the watcher last looked, and on the first resume message
  /// of a wake (the later ones of the same wake count only as a slot
  /// change). Nothing else does, such as a change of the battery's charge.
  std::optional<std::uint32_t> OnPowerBroadcast(std::uint32_t event);

  /// This session came back to the console (fast user switching): a run,
  /// as after a resume.
  std::optional<std::uint32_t> OnConsoleConnect();

  /// The settle timer ran out: starts "<own folder>morvask.exe" current,
  /// unless this session is not the console's. Returns nullopt when done,
  /// or the milliseconds after which to be called again: while the
  /// morvask of the previous run still runs (for at most
  /// kPreviousRunWaitMs), and while a press is pending ([System] TickId
  /// within [Main] Delay of now: until it has applied, for at most
  /// kPendingPressWaitMs), so that the profile of the present power
  /// source is applied last. A failed start is not reported.
  std::optional<std::uint32_t> OnSettled();

  /// Holds the keys of [Keys] as hotkeys of `window`, whose WM_HOTKEY ids
  /// go to OnHotkey; called again after each change of the settings file,
  /// it registers only what changed and releases what has gone, and does
  /// nothing when [Keys] reads as before. Keys that Windows will not
  /// register (another program holds them) and lines that are ignored are
  /// logged; the others are held all the same.
  void HoldKeys(WindowHandle window);
  /// Lets go of every key held.
  void ReleaseKeys();
  /// Hotkey `id` was pressed: starts "<own folder>morvask.exe" with its
  /// command line at once and does not wait for it, unless this session
  /// is not the console's, or the key has not been released since its
  /// last press and is down (a repeat). Returns when to call OnKeyPoll,
  /// or nullopt.
  std::optional<std::uint32_t> OnHotkey(int id);
  /// Notes the pressed keys that have been released. Returns kKeyPollMs
  /// while one is still down, else nullopt.
  std::optional<std::uint32_t> OnKeyPoll();
  /// Whether the watcher holds these keys now.
  bool HoldsKeys(const KeyCombination& keys) const;

 private:
  struct HeldKey {
    int id;
    KeyCombination keys;
    std::string command_line;
    bool down;  // Pressed and not released since.
  };
  /// Registers `keys` for `command_line`, logging a refusal.
  void Hold(const KeyCombination& keys, const std::string& command_line);
  /// The least hotkey id that no held key has.
  int FreeId() const;

  /// [Watch] `key` in milliseconds, read anew each time so that an edit
  /// counts without a restart. A negative value means no delay.
  std::uint32_t DelaySetting(const SettingKey& key);
  /// The command line that starts morvask.exe of the watcher's own folder
  /// with `arguments`.
  std::string MorvaskCommandLine(const std::string& arguments) const;
  /// How long to wait for a pending press before the run, or nullopt.
  std::optional<std::uint32_t> PendingPressWait();
  /// Whether `event` calls for a run, and its delay.
  std::optional<std::uint32_t> Decide(std::uint32_t event);
  /// The settle delay when this session is the console's, else nullopt.
  std::optional<std::uint32_t> Run();
  /// True when the slot differs from the one last looked at.
  bool SlotChanged();
  /// Writes `event` to the log when [Main] Log is on now.
  void Log(const std::string& event);
  /// Logs why a run is asked for (or none, when `delay` is nullopt).
  std::optional<std::uint32_t> Logged(const std::string& why,
                                      std::optional<std::uint32_t> delay);

  Platform& platform_;
  const std::string module_path_;
  const std::string folder_;
  IniFileReader settings_;  // Never written, never flushed.
  PowerSlot slot_;
  bool awaiting_resume_ = true;  // No resume seen since the last suspend.
  ProcessHandle previous_run_ = 0;
  std::uint32_t waited_ms_ = 0;        // For previous_run_, by this run.
  std::uint32_t press_waited_ms_ = 0;  // For a pending press, by this run.
  WindowHandle window_ = 0;
  std::vector<HeldKey> held_keys_;
  /// [Keys] as last read, each line's name and value, to tell a change.
  std::vector<std::string> keys_read_;
};

#endif  // MORVASK_WATCH_WATCHER_H_
