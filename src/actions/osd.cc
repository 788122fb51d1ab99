#include "actions/osd.h"

#include "platform/platform.h"
#include "settings/int_text.h"
#include "settings/settings_store.h"

std::uint32_t OsdCommandParameter(std::uint16_t image_set,
                                  std::uint16_t image_index) {
  if (image_set == 92 || image_set == 108)
    return (std::uint32_t{image_index} << 16) | image_set;
  return image_index;
}

bool ShowAtkOsdImage(Platform& platform, std::uint16_t image_set,
                     std::uint16_t image_index) {
  WindowHandle window = platform.FindTopLevelWindow("ATKOSD", "ATKOSD");
  if (!window) return false;
  return platform.PostWindowMessage(
      window, kWmCommand, OsdCommandParameter(image_set, image_index), 0);
}

void ShowProfile(Platform& platform, SettingsStore& settings,
                 std::int32_t profile) {
  if (!settings.ReadSwitch("Main", "ShowAtkOsd", false)) return;
  const std::string section = FormatInt32(profile);
  std::int32_t index = settings.ReadInt(section, "AtkOsdImageIndex", 0);
  std::int32_t set = settings.ReadInt(section, "AtkOsdImageSet", 0);
  ShowAtkOsdImage(platform, static_cast<std::uint16_t>(set),
                  static_cast<std::uint16_t>(index));
}
