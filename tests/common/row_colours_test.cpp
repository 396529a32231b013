#include <doctest.h>

#include "common/row_colours.h"

using namespace orvela;

TEST_CASE("row frames: the background as one number, darker in every component") {
  CHECK(FramePenColour(Rgb(223, 239, 255)) == Rgb(213, 229, 245));
  CHECK(FramePenColour(Rgb(236, 203, 237)) == Rgb(226, 193, 227));
  // The SendTo rows: 26 darker (1710618 as one number).
  CHECK(Rgb(233, 255, 172) - FramePenColour(Rgb(233, 255, 172), 26) == 1710618u);
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
