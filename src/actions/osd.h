// The on-screen display notice: a window command to the ATK display
// program's "ATKOSD" window.
#ifndef MORVASK_ACTIONS_OSD_H_
#define MORVASK_ACTIONS_OSD_H_

#include <cstdint>

class OutsideCalls;
class SettingsStore;

/// The display program's window: this class and this title.
inline constexpr char kOsdWindow[] = "ATKOSD";

/// The WM_COMMAND parameter for an image: image sets 92 and 108 send the
/// index in the high word and the set in the low word; any other set sends
/// the index alone.
std::uint32_t OsdCommandParameter(std::uint16_t image_set,
                                  std::uint16_t image_index);

/// The parameter that shows profile `profile`: its AtkOsdImageIndex, then
/// AtkOsdImageSet, read in that order, by their low 16 bits. Posts
/// nothing.
std::uint32_t ProfileOsdParameter(SettingsStore& settings,
                                  std::int32_t profile);

/// Posts the display command to the "ATKOSD" window. Returns false when the
/// window is not there or the post failed.
bool ShowAtkOsdImage(OutsideCalls& outside, std::uint16_t image_set,
                     std::uint16_t image_index);

/// Shows the notice of profile `profile` when [Main] ShowAtkOsd is on.
void ShowProfile(OutsideCalls& outside, SettingsStore& settings,
                 std::int32_t profile);

#endif  // MORVASK_ACTIONS_OSD_H_
