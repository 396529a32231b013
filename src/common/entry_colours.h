// Colours of the startup rows. A colour is 0x00BBGGRR, as a COLORREF holds it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace orvela {

using Colour = uint32_t;

constexpr Colour Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

inline constexpr Colour kUserRunColour = Rgb(223, 239, 255);
inline constexpr Colour kMachineRunColour = Rgb(232, 223, 255);
inline constexpr Colour kMachineRunOnceColour = Rgb(236, 203, 237);
inline constexpr Colour kAllUsersFolderColour = Rgb(255, 236, 210);
inline constexpr Colour kFolderColour = Rgb(255, 255, 215);

inline constexpr Colour kMissingNameColour = Rgb(255, 0, 0);
inline constexpr Colour kMissingSelectedNameColour = Rgb(255, 140, 198);
inline constexpr Colour kCommandTextColour = Rgb(64, 64, 64);
inline constexpr Colour kListTextColour = Rgb(112, 112, 112);
inline constexpr int kShadowWeight = 230;

// The background that tells where an entry is registered.
Colour EntryColour(int32_t key, std::string_view kind, int all_users_index);

// Each component moves from b toward a by weight / 256 (arithmetic shift, so rounded down).
Colour BlendColour(Colour a, Colour b, int weight);

// The row frame: the background as one number minus ten in every component.
Colour FramePenColour(Colour brush);

// A pixel of a 32-bit DIB (0xAARRGGBB in memory order B, G, R, A) blended toward navy for
// the icon of a selected row; the alpha byte is kept.
uint32_t NavyBlendDibPixel(uint32_t pixel);

// The hint of a registry location: 0 user Run, 1 machine Run, 2 machine RunOnce.
std::string LocationHint(int index);

}  // namespace orvela
