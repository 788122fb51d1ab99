#include "watch/watcher.h"

#include <algorithm>

#include "common/ascii.h"
#include "common/path.h"
#include "common/shared_names.h"
#include "common/text.h"
#include "log/run_log.h"
#include "settings/burst.h"
#include "settings/int_text.h"
#include "settings/key_bindings.h"
#include "settings/keys.h"

WatchCommand WatchCommandFor(const std::vector<std::string>& tokens) {
  if (tokens.size() <= 1) return WatchCommand::kWatch;
  if (tokens.size() == 2 && LowerAscii(tokens[1]) == "stop")
    return WatchCommand::kStop;
  return WatchCommand::kUnknown;
}

namespace {

LeadByteTest LeadBytesOf(Platform& platform) {
  return [&platform](unsigned char c) { return platform.IsLeadByte(c); };
}

std::string BroadcastName(std::uint32_t event) {
  switch (event) {
    case kPbtSuspend:
      return "PBT_APMSUSPEND";
    case kPbtResumeCritical:
      return "PBT_APMRESUMECRITICAL";
    case kPbtResumeSuspend:
      return "PBT_APMRESUMESUSPEND";
    case kPbtPowerStatusChange:
      return "PBT_APMPOWERSTATUSCHANGE";
    case kPbtResumeAutomatic:
      return "PBT_APMRESUMEAUTOMATIC";
  }
  return "power broadcast " + std::to_string(event);
}

}  // namespace

Watcher::Watcher(Platform& platform)
    : platform_(platform),
      module_path_(platform.ModulePath()),
      folder_(DirectoryOf(module_path_, LeadBytesOf(platform))),
      settings_(platform, SettingsPathFor(module_path_, LeadBytesOf(platform))),
      slot_(PowerSlotFor(platform.AcLineStatus())) {}

std::optional<std::uint32_t> Watcher::OnStart() {
  Log(Cat({"morvask-watch started, on ", std::string(SlotName(slot_))}));
  if (!settings_.ReadSwitch(key::kWatchApplyAtStart)) {
    Log("no run at the start: [Watch] ApplyAtStart is off");
    return std::nullopt;
  }
  return Logged("the start", DelaySetting(key::kWatchStartDelay));
}

std::optional<std::uint32_t> Watcher::OnPowerBroadcast(std::uint32_t event) {
  std::optional<std::uint32_t> delay = Decide(event);
  if (delay)
    Logged(Cat({BroadcastName(event), " on ", SlotName(slot_)}), delay);
  return delay;
}

std::optional<std::uint32_t> Watcher::Decide(std::uint32_t event) {
  switch (event) {
    case kPbtSuspend:
      awaiting_resume_ = true;
      return std::nullopt;
    case kPbtResumeAutomatic:
    case kPbtResumeSuspend:
      // A wake gives the automatic resume and, once the user is seen, the
      // other one, maybe minutes later: only the first is a new wake.
      if (!awaiting_resume_) return SlotChanged() ? Run() : std::nullopt;
      [[fallthrough]];
    case kPbtResumeCritical:  // No suspend message comes before it.
      awaiting_resume_ = false;
      // The run applies the slot of now: a status change that reports it
      // after the resume is no change any more.
      SlotChanged();
      return Run();
    case kPbtPowerStatusChange:
      return SlotChanged() ? Run() : std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<std::uint32_t> Watcher::OnConsoleConnect() {
  SlotChanged();
  return Logged("this session is back at the screen", Run());
}

std::optional<std::uint32_t> Watcher::OnSettled() {
  if (previous_run_) {
    // Two graphics driver loads must not finish in the wrong order.
    if (!platform_.WaitForProcess(previous_run_, 0) &&
        waited_ms_ < kPreviousRunWaitMs) {
      if (waited_ms_ == 0) Log("waiting for the previous run to end");
      waited_ms_ += kPreviousRunPollMs;
      return kPreviousRunPollMs;
    }
    platform_.ReleaseProcess(previous_run_);
    previous_run_ = 0;
  }
  waited_ms_ = 0;
  if (std::optional<std::uint32_t> wait = PendingPressWait()) return wait;
  press_waited_ms_ = 0;
  // Switched away during the delay: the console's own watcher runs.
  if (!platform_.IsConsoleSession()) {
    Log("no run: another session has the screen");
    return std::nullopt;
  }
  const std::string command = MorvaskCommandLine("current");
  previous_run_ = platform_.StartProcess(command, kRunCreationFlags);
  if (previous_run_) {
    Log(Cat({"started ", command}));
  } else {
    const std::uint32_t error = platform_.LastErrorCode();
    Log(Cat({"could not start ", command, ": error ", std::to_string(error)}));
  }
  return std::nullopt;
}

std::string Watcher::MorvaskCommandLine(const std::string& arguments) const {
  // Quoted, so that a folder with blanks names no other program.
  return Cat({"\"", folder_, kMorvaskFileName, "\" ", arguments});
}

std::optional<std::uint32_t> Watcher::PendingPressWait() {
  // No TickId: no press since the settings file was made.
  const std::optional<std::int32_t> tick =
      ParseInt32(settings_.ReadText(key::kTickId));
  if (!tick) return std::nullopt;
  const std::int32_t last = *tick;
  const auto now = static_cast<std::int32_t>(platform_.TickCount());
  const std::int32_t delay = settings_.ReadInt(key::kDelay);
  // Pending as the press itself would tell: its Delay has not run out.
  if (delay < 0 || !ContinuesBurst(now, last, delay)) return std::nullopt;
  if (press_waited_ms_ >= kPendingPressWaitMs) return std::nullopt;
  const std::uint32_t left =
      static_cast<std::uint32_t>(delay - TicksBetween(last, now)) +
      kPressApplyMs;
  const std::uint32_t wait =
      std::min(left, kPendingPressWaitMs - press_waited_ms_);
  if (press_waited_ms_ == 0)
    Log(Cat({"waiting ", std::to_string(wait), " ms for the press of tick ",
             std::to_string(last), " to apply"}));
  press_waited_ms_ += wait;
  return wait;
}

std::uint32_t Watcher::DelaySetting(const SettingKey& key) {
  std::int32_t delay = settings_.ReadInt(key);
  return delay < 0 ? 0 : static_cast<std::uint32_t>(delay);
}

std::optional<std::uint32_t> Watcher::Run() {
  // Every session's watcher hears the broadcasts; only the one of the
  // user at the console acts on them.
  if (!platform_.IsConsoleSession()) return std::nullopt;
  return DelaySetting(key::kWatchDelay);
}

void Watcher::Log(const std::string& event) {
  RunLog::FromSettings(platform_, settings_, module_path_,
                       LeadBytesOf(platform_))
      .Write(event);
}

std::optional<std::uint32_t> Watcher::Logged(
    const std::string& why, std::optional<std::uint32_t> delay) {
  Log(delay ? why + ": morvask current in " + std::to_string(*delay) + " ms"
            : why + ": no run, another session has the screen");
  return delay;
}

void Watcher::HoldKeys(WindowHandle window) {
  window_ = window;
  const KeyBindings bindings =
      ReadKeyBindings(settings_, LeadBytesOf(platform_));
  std::vector<std::string> read;
  for (const KeyBinding& line : bindings.lines) {
    read.push_back(line.command_line);
    read.push_back(line.value);
  }
  read.push_back(std::to_string(bindings.lines_not_read));
  // Any write to the folder comes here, morvask's TickId of each press too.
  if (read == keys_read_) return;
  keys_read_ = std::move(read);
  auto wanted = [&bindings](const KeyCombination& keys) {
    for (const KeyBinding& line : bindings.lines)
      if (line.problem.empty() && line.keys == keys) return &line;
    return static_cast<const KeyBinding*>(nullptr);
  };
  for (auto held = held_keys_.begin(); held != held_keys_.end();) {
    if (wanted(held->keys)) {
      ++held;
      continue;
    }
    platform_.ReleaseHotkey(window_, held->id);
    Log(Cat({"released ", KeyCombinationName(held->keys)}));
    held = held_keys_.erase(held);
  }
  for (const KeyBinding& line : bindings.lines) {
    if (!line.problem.empty()) {
      Log(Cat({line.name, " is ignored: it ", line.problem}));
      continue;
    }
    bool held = false;
    for (HeldKey& key : held_keys_) {
      if (!(key.keys == line.keys)) continue;
      key.command_line = line.command_line;  // The same keys, held on.
      held = true;
    }
    if (!held) Hold(line.keys, line.command_line);
  }
  if (bindings.lines_not_read)
    Log(Cat({"[Keys]: the ",
             Num(static_cast<std::uint32_t>(bindings.lines_not_read)),
             " lines after the first ",
             Num(static_cast<std::uint32_t>(kMostKeyLines)), " are ignored"}));
}

void Watcher::Hold(const KeyCombination& keys,
                   const std::string& command_line) {
  const std::string name = KeyCombinationName(keys);
  const int id = FreeId();
  // From Windows 7 Windows itself drops the repeats of a held key.
  const bool no_repeat = platform_.HotkeysTakeNoRepeat();
  std::uint32_t error = platform_.HoldHotkey(
      window_, id,
      keys.modifiers | (no_repeat ? std::uint32_t{kModNoRepeat} : 0u),
      keys.key);
  const std::uint32_t kInvalidParameter = 87;
  if (error == kInvalidParameter && no_repeat)
    error = platform_.HoldHotkey(window_, id, keys.modifiers, keys.key);
  if (error == 0) {
    held_keys_.push_back({id, keys, command_line, false});
    Log(Cat({"holds ", name, " for \"", command_line, "\""}));
    return;
  }
  const std::uint32_t kHotkeyAlreadyRegistered = 1409;
  Log(Cat({"cannot hold ", name, " for \"", command_line, "\": ",
           error == kHotkeyAlreadyRegistered ? "another program holds it"
                                             : "Windows refuses it",
           " (error ", Num(error), ")"}));
}

int Watcher::FreeId() const {
  for (int id = 1;; ++id) {
    bool used = false;
    for (const HeldKey& key : held_keys_) used |= key.id == id;
    if (!used) return id;
  }
}

void Watcher::ReleaseKeys() {
  for (const HeldKey& key : held_keys_)
    platform_.ReleaseHotkey(window_, key.id);
  held_keys_.clear();
  keys_read_.clear();
}

std::optional<std::uint32_t> Watcher::OnHotkey(int id) {
  HeldKey* pressed = nullptr;
  for (HeldKey& key : held_keys_)
    if (key.id == id) pressed = &key;
  if (!pressed) return std::nullopt;
  // A press of a key marked down is a repeat while the key is still down;
  // looked at now too, as the next tap may come before the poll's timer.
  if (pressed->down && platform_.KeyIsDown(pressed->keys.key))
    return std::nullopt;
  pressed->down = true;
  const std::string name = KeyCombinationName(pressed->keys);
  if (!platform_.IsConsoleSession()) {
    Log(Cat({"key ", name,
             ": nothing started, another session has the "
             "screen"}));
    return kKeyPollMs;
  }
  const std::string command = MorvaskCommandLine(pressed->command_line);
  // Not waited for: the presses of a burst run side by side.
  const ProcessHandle process =
      platform_.StartProcess(command, kRunCreationFlags);
  if (process) {
    platform_.ReleaseProcess(process);
    Log(Cat({"key ", name, ": started ", command}));
  } else {
    const std::uint32_t error = platform_.LastErrorCode();
    Log(Cat(
        {"key ", name, ": could not start ", command, ": error ", Num(error)}));
  }
  return kKeyPollMs;
}

std::optional<std::uint32_t> Watcher::OnKeyPoll() {
  bool any_down = false;
  for (HeldKey& key : held_keys_) {
    if (key.down) key.down = platform_.KeyIsDown(key.keys.key);
    any_down |= key.down;
  }
  return any_down ? std::optional<std::uint32_t>(kKeyPollMs) : std::nullopt;
}

bool Watcher::HoldsKeys(const KeyCombination& keys) const {
  for (const HeldKey& key : held_keys_)
    if (key.keys == keys) return true;
  return false;
}

bool Watcher::SlotChanged() {
  PowerSlot now = PowerSlotFor(platform_.AcLineStatus());
  bool changed = now != slot_;
  slot_ = now;
  return changed;
}
