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

// The system's colours that high-contrast drawing uses.
struct SystemColours {
  Colour window = 0, window_text = 0, highlight = 0, highlight_text = 0, gray_text = 0;
  Colour button_face = 0, button_text = 0, hot_light = 0;
};

// A row's own colours, unselected.
struct RowDesign {
  Colour background = 0;
  Colour frame = 0;
  Colour name = 0;     // the caption (a missing entry's is red, pink when selected)
  Colour text = 0;     // the line after the caption
  Colour detail = 0;   // the lines under it
  int selected_frame_darker = 0;  // a selected row's frame: the highlight this much darker
};

// What a row is drawn in. In high contrast the system's window, text, highlight and grey-text
// colours stand for the row's own, there is no shadow, and a missing entry's name is in
// grey text (it is marked by text too).
struct RowPalette {
  Colour background = 0, frame = 0, name = 0, text = 0, detail = 0;
  bool shadow = false;
  Colour shadow_colour = 0;
};

RowPalette ChooseRowPalette(const RowDesign& design, bool selected, bool missing, bool high_contrast,
                            const SystemColours& system);

// The status bar's engraved text: a light copy one pixel down and right under the text.
struct StatusPalette {
  Colour fill = 0, text = 0;
  bool engraved = false;
  Colour light = 0;
};

StatusPalette ChooseStatusPalette(bool high_contrast, const SystemColours& system);

}  // namespace orvela
