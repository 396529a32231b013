// Colours shared by the rows of the entry lists. A colour is 0x00BBGGRR, as a COLORREF
// holds it.
#pragma once
#include <cstdint>

namespace orvela {

using Colour = uint32_t;

constexpr Colour Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

inline constexpr Colour kMissingNameColour = Rgb(255, 0, 0);
inline constexpr Colour kMissingSelectedNameColour = Rgb(255, 140, 198);
inline constexpr Colour kCommandTextColour = Rgb(64, 64, 64);
inline constexpr Colour kListTextColour = Rgb(112, 112, 112);
inline constexpr int kShadowWeight = 230;
inline constexpr Colour kMarkTextColour = Rgb(160, 0, 96);
// A muted row: its background moves halfway to light grey, its texts are grey.
inline constexpr Colour kMutedGrey = Rgb(232, 232, 232);
inline constexpr Colour kMutedTextColour = Rgb(150, 150, 150);
inline constexpr int kMutedWeight = 128;

// Each component moves from b toward a by weight / 256 (arithmetic shift, so rounded down).
Colour BlendColour(Colour a, Colour b, int weight);

// The row frame: the background taken as one 24-bit number, minus `darker` in every
// component (10 for the startup rows, 26 for the SendTo rows).
Colour FramePenColour(Colour brush, int darker = 10);

// A pixel of a 32-bit DIB (0xAARRGGBB in memory order B, G, R, A) blended toward navy for
// the icon of a selected row; the alpha byte is kept.
uint32_t NavyBlendDibPixel(uint32_t pixel);

}  // namespace orvela
