#include <doctest.h>

#include "common/entry.h"
#include "common/entry_colours.h"

using namespace orvela;

TEST_CASE("row colours tell the source") {
  const int all_users = 1;
  CHECK(EntryColour(kUserRunKey, "", all_users) == Rgb(223, 239, 255));
  CHECK(EntryColour(kMachineKey, "Run", all_users) == Rgb(232, 223, 255));
  CHECK(EntryColour(kMachineKey, "RunOnce", all_users) == Rgb(236, 203, 237));
  CHECK(EntryColour(kMachineKey, "", all_users) == Rgb(236, 203, 237));
  CHECK(EntryColour(1, "", all_users) == Rgb(255, 236, 210));
  CHECK(EntryColour(0, "", all_users) == Rgb(255, 255, 215));
  CHECK(EntryColour(3, "", all_users) == Rgb(255, 255, 215));
  CHECK(EntryColour(0, "", -1) == Rgb(255, 255, 215));

  CHECK(FramePenColour(Rgb(223, 239, 255)) == Rgb(213, 229, 245));
  CHECK(FramePenColour(Rgb(236, 203, 237)) == Rgb(226, 193, 227));
}

TEST_CASE("blends move each component by weight / 256, rounded down") {
  // The name's shadow: the background darkened toward black.
  CHECK(BlendColour(Rgb(223, 239, 255), 0, 230) == Rgb(200, 214, 229));
  // Toward a lighter colour the negative difference still rounds down.
  CHECK(BlendColour(Rgb(0, 100, 255), Rgb(255, 100, 0), 128) == Rgb(127, 100, 127));
  CHECK(BlendColour(Rgb(1, 2, 3), Rgb(9, 9, 9), 256) == Rgb(1, 2, 3));
  CHECK(BlendColour(Rgb(1, 2, 3), Rgb(9, 9, 9), 0) == Rgb(9, 9, 9));

  // Selected icon pixels (B, G, R, A in memory) toward navy (0, 0, 128): red 200 -> 157,
  // green 100 -> 78, blue 50 -> 128 + floor(-78 * 201 / 256) = 66; alpha kept.
  CHECK(NavyBlendDibPixel(0xFFC86432u) == 0xFF9D4E42u);
  CHECK(NavyBlendDibPixel(0x00000080u) == 0x00000080u);  // navy itself stays
}

TEST_CASE("registry location hints") {
  CHECK(LocationHint(0) == "ユーザー固有の設定");
  CHECK(LocationHint(1) == "全てのユーザーに共通の設定");
  CHECK(LocationHint(2) == "全てのユーザーに共通の設定(起動時に一度だけ実行)");
  CHECK(LocationHint(3).empty());
  CHECK(LocationHint(-1).empty());
}
