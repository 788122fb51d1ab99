#include "watch/watcher.h"

#include <algorithm>

#include "common/ascii.h"
#include "common/path.h"
#include "common/shared_names.h"
#include "common/text.h"
#include "log/run_log.h"
#include "settings/burst.h"
#include "settings/int_text.h"
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
  // Quoted, so that a folder with blanks names no other program.
  const std::string command = "\"" + folder_ + kMorvaskFileName + "\" current";
  previous_run_ = platform_.StartProcess(command, kRunCreationFlags);
  if (previous_run_) {
    Log(Cat({"started ", command}));
  } else {
    const std::uint32_t error = platform_.LastErrorCode();
    Log(Cat({"could not start ", command, ": error ", std::to_string(error)}));
  }
  return std::nullopt;
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

bool Watcher::SlotChanged() {
  PowerSlot now = PowerSlotFor(platform_.AcLineStatus());
  bool changed = now != slot_;
  slot_ = now;
  return changed;
}
