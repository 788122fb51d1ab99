// morvask-watch, the resident companion of morvask: it re-applies the
// current profile when the power source changes and when the laptop
// resumes, by running "morvask current" after a settle delay. These are its
// decisions; its window, message loop and timer are in main_win32.cc.
#ifndef MORVASK_WATCH_WATCHER_H_
#define MORVASK_WATCH_WATCHER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"

class Platform;

/// The power broadcasts (WM_POWERBROADCAST codes) the watcher acts on.
enum : std::uint32_t {
  kPbtResumeSuspend = 0x07,
  kPbtPowerStatusChange = 0x0A,
  kPbtResumeAutomatic = 0x12,
};

/// Default of [Watch] Delay, in milliseconds.
constexpr std::int32_t kDefaultWatchDelay = 2000;

/// What a start of morvask-watch is asked to do.
enum class WatchCommand {
  kWatch,    // No argument: watch until logoff or "stop".
  kStop,     // "stop", in any case: end the running watcher.
  kUnknown,  // Anything else: end at once, silently.
};

/// The command that the command line's tokens (token 0 being the program
/// name) ask for.
WatchCommand WatchCommandFor(const std::vector<std::string>& tokens);

class Watcher {
 public:
  /// Looks at the power slot once, for later events to compare with.
  explicit Watcher(Platform& platform);

  /// A power broadcast arrived. Returns the settle delay in milliseconds
  /// when it calls for a run: a change of the power slot since the watcher
  /// last looked, or a resume. The caller then (re)starts its one settle
  /// timer with it, replacing any run still pending, so that the events
  /// within a delay give one run. Returns nullopt for anything else, such
  /// as a change of the battery's charge.
  std::optional<std::uint32_t> OnPowerBroadcast(std::uint32_t event);

  /// The settle timer ran out: starts "<own folder>morvask.exe" current,
  /// and lets it run on. A failed start is not reported.
  void OnSettled();

 private:
  /// [Watch] Delay from morvask.ini, read anew at each event so that an
  /// edit counts without a restart. A negative value means no delay.
  std::uint32_t SettleDelay();
  /// True when the slot differs from the one last looked at.
  bool SlotChanged();

  Platform& platform_;
  const std::string folder_;
  PowerSlot slot_;
};

#endif  // MORVASK_WATCH_WATCHER_H_
