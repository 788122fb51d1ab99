// The names that morvask and morvask-watch both know each other by: the
// files beside the executables and the watcher's mutex and window.
#ifndef MORVASK_COMMON_SHARED_NAMES_H_
#define MORVASK_COMMON_SHARED_NAMES_H_

/// The settings file, the log and morvask itself, each beside the running
/// executable.
inline constexpr char kSettingsFileName[] = "morvask.ini";
inline constexpr char kLogFileName[] = "morvask.log";
inline constexpr char kMorvaskFileName[] = "morvask.exe";

/// The named mutex that the running watcher of a session holds.
inline constexpr char kWatchInstanceMutex[] = "Local\\morvask-watch";
/// The class and title of the watcher's hidden window.
inline constexpr char kWatchWindowClass[] = "morvask-watch";
/// The window class of morvask's own notice, whichever process shows it.
inline constexpr char kNoticeWindowClass[] = "morvask notice";

/// The registered window message by which "check" asks the watcher's
/// window whether it holds a hotkey: modifier flags in wParam, virtual-key
/// code in lParam; the answer is 1 when it does.
inline constexpr char kWatchHoldsKeysMessage[] = "morvask-watch holds keys";

#endif  // MORVASK_COMMON_SHARED_NAMES_H_
