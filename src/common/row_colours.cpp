#include "common/row_colours.h"

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

}  // namespace orvela
