// The on-screen display notice: a window command to the ATK display
// program's "ATKOSD" window.
#ifndef MORVASK_ACTIONS_OSD_H_
#define MORVASK_ACTIONS_OSD_H_

#include <cstdint>

class Platform;
class SettingsStore;

/// The WM_COMMAND parameter for an image: image sets 92 and 108 send the
/// index in the high word and the set in the low word; any other set sends
/// the index alone.
std::uint32_t OsdCommandParameter(std::uint16_t image_set,
                                  std::uint16_t image_index);

/// Posts the display command to the "ATKOSD" window. Returns false when the
/// window is not there or the post failed.
bool ShowAtkOsdImage(Platform& platform, std::uint16_t image_set,
                     std::uint16_t image_index);

/// Shows the notice of profile `profile` when [Main] ShowAtkOsd is on.
void ShowProfile(Platform& platform, SettingsStore& settings,
                 std::int32_t profile);

#endif  // MORVASK_ACTIONS_OSD_H_
