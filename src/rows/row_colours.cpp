#include "rows/row_colours.h"

namespace orvela {
namespace {

int Component(uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

}  // namespace

Colour BlendColour(Colour a, Colour b, int weight) {
  Colour result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int ca = Component(a, shift);
    const int cb = Component(b, shift);
    const int c = (cb + (((ca - cb) * weight) >> 8)) & 0xFF;
    result |= static_cast<Colour>(c) << shift;
  }
  return result;
}

Colour FramePenColour(Colour brush, int darker) {
  return (brush - static_cast<Colour>(darker) * 0x010101u) & 0xFFFFFFu;
}

uint32_t NavyBlendDibPixel(uint32_t pixel) {
  constexpr int kNavy[3] = {128, 0, 0};  // blue, green, red: memory order of a DIB pixel
  uint32_t result = pixel & 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    const int shift = i * 8;
    const int old = Component(pixel, shift);
    const int c = kNavy[i] + (((old - kNavy[i]) * 201) >> 8);
    result |= static_cast<uint32_t>(c) << shift;
  }
  return result;
}

RowPalette ChooseRowPalette(const RowDesign& design, bool selected, bool missing, bool high_contrast,
                            const SystemColours& system) {
  RowPalette palette;
  if (high_contrast) {
    const Colour text = selected ? system.highlight_text : system.window_text;
    palette.background = selected ? system.highlight : system.window;
    palette.frame = selected ? system.highlight : system.gray_text;
    palette.name = missing && !selected ? system.gray_text : text;
    palette.text = palette.detail = text;
    return palette;
  }
  if (selected) {
    palette.background = system.highlight;
    palette.frame = FramePenColour(system.highlight, design.selected_frame_darker);
    palette.text = palette.detail = system.highlight_text;
    palette.name = missing ? kMissingSelectedNameColour : system.highlight_text;
    return palette;
  }
  palette.background = design.background;
  palette.frame = design.frame;
  palette.name = missing ? kMissingNameColour : design.name;
  palette.text = design.text;
  palette.detail = design.detail;
  palette.shadow = true;
  palette.shadow_colour = BlendColour(design.background, Rgb(0, 0, 0), kShadowWeight);
  return palette;
}

StatusPalette ChooseStatusPalette(bool high_contrast, const SystemColours& system) {
  if (high_contrast) return {system.button_face, system.button_text, false, 0};
  return {Rgb(195, 195, 195), Rgb(64, 64, 64), true, Rgb(208, 208, 208)};
}

}  // namespace orvela
