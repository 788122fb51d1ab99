#include "app/session.h"

PowerSlot PowerSlotFor(std::uint8_t ac_line_status) {
  return ac_line_status == 1 ? PowerSlot::kMains : PowerSlot::kBattery;
}

const char* SlotKey(PowerSlot slot) {
  return slot == PowerSlot::kMains ? "CurrentProfileAC" : "CurrentProfileBatt";
}

const char* SlotName(PowerSlot slot) {
  return slot == PowerSlot::kMains ? "mains" : "battery";
}

std::string Session::Argument(size_t n) const {
  return n < tokens.size() ? tokens[n] : std::string();
}
