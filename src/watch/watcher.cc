#include "watch/watcher.h"

#include "app/command_line.h"
#include "platform/platform.h"
#include "settings/int_text.h"

WatchCommand WatchCommandFor(const std::vector<std::string>& tokens) {
  if (tokens.size() <= 1) return WatchCommand::kWatch;
  if (tokens.size() == 2 && LowerAscii(tokens[1]) == "stop")
    return WatchCommand::kStop;
  return WatchCommand::kUnknown;
}

namespace {

std::string OwnFolder(Platform& platform) {
  return ModuleDirectory(platform.ModulePath(), [&platform](unsigned char c) {
    return platform.IsLeadByte(c);
  });
}

}  // namespace

Watcher::Watcher(Platform& platform)
    : platform_(platform),
      folder_(OwnFolder(platform)),
      slot_(PowerSlotFor(platform.AcLineStatus())) {}

std::optional<std::uint32_t> Watcher::OnPowerBroadcast(std::uint32_t event) {
  switch (event) {
    case kPbtPowerStatusChange:
      if (!SlotChanged()) return std::nullopt;
      return SettleDelay();
    case kPbtResumeAutomatic:
    case kPbtResumeSuspend:
      // The run applies the slot of now: a status change that reports it
      // after the resume is no change any more.
      SlotChanged();
      return SettleDelay();
    default:
      return std::nullopt;
  }
}

void Watcher::OnSettled() {
  // Quoted, so that a folder with blanks names no other program.
  ProcessHandle process =
      platform_.StartProcess("\"" + folder_ + "morvask.exe\" current", 0);
  if (process) platform_.ReleaseProcess(process);
}

std::uint32_t Watcher::SettleDelay() {
  std::int32_t delay =
      ParseInt32(platform_.ReadIniString("Watch", "Delay", "",
                                         folder_ + "morvask.ini"))
          .value_or(kDefaultWatchDelay);
  return delay < 0 ? 0 : static_cast<std::uint32_t>(delay);
}

bool Watcher::SlotChanged() {
  PowerSlot now = PowerSlotFor(platform_.AcLineStatus());
  bool changed = now != slot_;
  slot_ = now;
  return changed;
}
