#include "settings/power_slot.h"

PowerSlot PowerSlotFor(std::uint8_t ac_line_status) {
  return ac_line_status == 1 ? PowerSlot::kMains : PowerSlot::kBattery;
}

const SettingKey& SlotKey(PowerSlot slot) {
  return slot == PowerSlot::kMains ? key::kCurrentProfileAC
                                   : key::kCurrentProfileBatt;
}

const SettingKey& CycleKey(PowerSlot slot) {
  return slot == PowerSlot::kMains ? key::kCycleAC : key::kCycleBatt;
}

const char* SlotName(PowerSlot slot) {
  return slot == PowerSlot::kMains ? "mains" : "battery";
}
