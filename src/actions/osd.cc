#include "actions/osd.h"

#include "platform/outside.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

namespace {

bool PostToDisplay(OutsideCalls& outside, std::uint32_t parameter) {
  WindowHandle window = outside.FindTopLevelWindow(kOsdWindow, kOsdWindow);
  if (!window) return false;
  return outside.PostWindowMessage(window, kWmCommand, parameter, 0);
}

}  // namespace

std::uint32_t OsdCommandParameter(std::uint16_t image_set,
                                  std::uint16_t image_index) {
  if (image_set == 92 || image_set == 108)
    return (std::uint32_t{image_index} << 16) | image_set;
  return image_index;
}

std::uint32_t ProfileOsdParameter(SettingsStore& settings,
                                  std::int32_t profile) {
  const std::int32_t index = settings.ReadInt(key::kAtkOsdImageIndex, profile);
  const std::int32_t set = settings.ReadInt(key::kAtkOsdImageSet, profile);
  return OsdCommandParameter(static_cast<std::uint16_t>(set),
                             static_cast<std::uint16_t>(index));
}

bool ShowAtkOsdImage(OutsideCalls& outside, std::uint16_t image_set,
                     std::uint16_t image_index) {
  return PostToDisplay(outside, OsdCommandParameter(image_set, image_index));
}

void ShowProfile(OutsideCalls& outside, SettingsStore& settings,
                 std::int32_t profile) {
  if (!settings.ReadSwitch(key::kShowAtkOsd)) return;
  PostToDisplay(outside, ProfileOsdParameter(settings, profile));
}
