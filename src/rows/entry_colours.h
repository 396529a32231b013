// Colours of the startup rows. A colour is 0x00BBGGRR, as a COLORREF holds it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "rows/row_colours.h"

namespace orvela {

inline constexpr Colour kUserRunColour = Rgb(223, 239, 255);
inline constexpr Colour kMachineRunColour = Rgb(232, 223, 255);
inline constexpr Colour kMachineRunOnceColour = Rgb(236, 203, 237);
inline constexpr Colour kAllUsersFolderColour = Rgb(255, 236, 210);
inline constexpr Colour kFolderColour = Rgb(255, 255, 215);
inline constexpr Colour kUserRunOnceColour = Rgb(207, 236, 236);
inline constexpr Colour kPolicyRunColour = Rgb(240, 230, 205);
inline constexpr Colour kTaskColour = Rgb(220, 243, 220);
inline constexpr Colour kWinlogonColour = Rgb(255, 221, 221);

// The background that tells where an entry is registered.
Colour EntryColour(int32_t key, std::string_view kind, int all_users_index);

// The hint of a registry location: 0 user Run, 1 machine Run, 2 machine RunOnce, 3 and 4
// the machine's 32-bit Run and RunOnce, 5 user RunOnce, 6 and 7 the user's and the
// machine's policy Run keys.
std::string LocationHint(int index);

}  // namespace orvela
