#include "watch/watcher.h"

#include "common/ascii.h"
#include "common/path.h"

WatchCommand WatchCommandFor(const std::vector<std::string>& tokens) {
  if (tokens.size() <= 1) return WatchCommand::kWatch;
  if (tokens.size() == 2 && LowerAscii(tokens[1]) == "stop")
    return WatchCommand::kStop;
  return WatchCommand::kUnknown;
}

namespace {

std::string OwnFolder(Platform& platform) {
  return DirectoryOf(platform.ModulePath(), [&platform](unsigned char c) {
    return platform.IsLeadByte(c);
  });
}

}  // namespace

Watcher::Watcher(Platform& platform)
    : platform_(platform),
      folder_(OwnFolder(platform)),
      settings_(platform, folder_ + "morvask.ini"),
      slot_(PowerSlotFor(platform.AcLineStatus())) {}

std::optional<std::uint32_t> Watcher::OnStart() {
  if (!settings_.ReadSwitch("Watch", "ApplyAtStart", true)) return std::nullopt;
  return DelaySetting("StartDelay", kDefaultStartDelay);
}

std::optional<std::uint32_t> Watcher::OnPowerBroadcast(std::uint32_t event) {
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
  return Run();
}

std::optional<std::uint32_t> Watcher::OnSettled() {
  if (previous_run_) {
    // Two graphics driver loads must not finish in the wrong order.
    if (!platform_.WaitForProcess(previous_run_, 0) &&
        waited_ms_ < kPreviousRunWaitMs) {
      waited_ms_ += kPreviousRunPollMs;
      return kPreviousRunPollMs;
    }
    platform_.ReleaseProcess(previous_run_);
    previous_run_ = 0;
  }
  waited_ms_ = 0;
  // Switched away during the delay: the console's own watcher runs.
  if (!platform_.IsConsoleSession()) return std::nullopt;
  // Quoted, so that a folder with blanks names no other program.
  previous_run_ =
      platform_.StartProcess("\"" + folder_ + "morvask.exe\" current", 0);
  return std::nullopt;
}

std::uint32_t Watcher::DelaySetting(const char* key,
                                    std::int32_t default_value) {
  std::int32_t delay = settings_.ReadInt("Watch", key, default_value);
  return delay < 0 ? 0 : static_cast<std::uint32_t>(delay);
}

std::optional<std::uint32_t> Watcher::Run() {
  // Every session's watcher hears the broadcasts; only the one of the
  // user at the console acts on them.
  if (!platform_.IsConsoleSession()) return std::nullopt;
  return DelaySetting("Delay", kDefaultWatchDelay);
}

bool Watcher::SlotChanged() {
  PowerSlot now = PowerSlotFor(platform_.AcLineStatus());
  bool changed = now != slot_;
  slot_ = now;
  return changed;
}
