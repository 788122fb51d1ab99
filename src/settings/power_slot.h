// The power source, fixed at start: it picks the keys that hold the
// current profile and the cycle list.
#ifndef MORVASK_SETTINGS_POWER_SLOT_H_
#define MORVASK_SETTINGS_POWER_SLOT_H_

#include <cstdint>

#include "settings/keys.h"

enum class PowerSlot { kMains, kBattery };

/// Mains if and only if the AC line status byte is 1 (online).
PowerSlot PowerSlotFor(std::uint8_t ac_line_status);

/// [System] CurrentProfileAC or CurrentProfileBatt.
const SettingKey& SlotKey(PowerSlot slot);

/// [Main] CycleAC or CycleBatt.
const SettingKey& CycleKey(PowerSlot slot);

/// "mains" or "battery", as the log and the report say it.
const char* SlotName(PowerSlot slot);

#endif  // MORVASK_SETTINGS_POWER_SLOT_H_
