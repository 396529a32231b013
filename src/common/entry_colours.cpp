#include "common/entry_colours.h"

#include "common/entry.h"

namespace orvela {
namespace {

int Component(uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

}  // namespace

Colour EntryColour(int32_t key, std::string_view kind, int all_users_index) {
  if (key == kUserRunKey) return kUserRunColour;
  if (key == kMachineKey) return kind == "Run" ? kMachineRunColour : kMachineRunOnceColour;
  if (key == all_users_index) return kAllUsersFolderColour;
  return kFolderColour;
}

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

Colour FramePenColour(Colour brush) { return (brush - 0x0A0A0Au) & 0xFFFFFFu; }

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

std::string LocationHint(int index) {
  switch (index) {
    case 0:
      return "ユーザー固有の設定";
    case 1:
      return "全てのユーザーに共通の設定";
    case 2:
      return "全てのユーザーに共通の設定(起動時に一度だけ実行)";
    default:
      return "";
  }
}

}  // namespace orvela
