#include <doctest.h>

#include "rows/row_colours.h"

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

TEST_CASE("row colours: the row's own unless high contrast, then the system's") {
  SystemColours system;
  system.window = Rgb(0, 0, 0);
  system.window_text = Rgb(255, 255, 255);
  system.highlight = Rgb(26, 235, 255);
  system.highlight_text = Rgb(1, 2, 3);
  system.gray_text = Rgb(63, 242, 63);
  system.button_face = Rgb(10, 10, 10);
  system.button_text = Rgb(250, 250, 250);
  RowDesign design;
  design.background = Rgb(223, 239, 255);
  design.frame = FramePenColour(design.background);
  design.name = Rgb(0, 0, 0);
  design.text = Rgb(64, 64, 64);
  design.detail = Rgb(112, 112, 112);

  SUBCASE("without high contrast the row keeps its own colours") {
    RowPalette p = ChooseRowPalette(design, false, false, false, system);
    CHECK(p.background == design.background);
    CHECK(p.frame == design.frame);
    CHECK(p.name == Rgb(0, 0, 0));
    CHECK(p.text == Rgb(64, 64, 64));
    CHECK(p.detail == Rgb(112, 112, 112));
    CHECK(p.shadow);
    CHECK(p.shadow_colour == Rgb(200, 214, 229));
    CHECK(ChooseRowPalette(design, false, true, false, system).name == kMissingNameColour);

    p = ChooseRowPalette(design, true, true, false, system);
    CHECK(p.background == system.highlight);
    CHECK(p.frame == system.highlight);
    CHECK(p.name == kMissingSelectedNameColour);
    CHECK((p.text == system.highlight_text && p.detail == system.highlight_text));
    CHECK_FALSE(p.shadow);
    design.selected_frame_darker = 10;  // the uninstall rows frame a selected row too
    CHECK(ChooseRowPalette(design, true, false, false, system).frame == Rgb(16, 225, 245));

    const StatusPalette status = ChooseStatusPalette(false, system);
    CHECK((status.fill == Rgb(195, 195, 195) && status.text == Rgb(64, 64, 64) && status.engraved));
  }
  SUBCASE("high contrast: window, text, highlight and grey text, no shadow") {
    RowPalette p = ChooseRowPalette(design, false, false, true, system);
    CHECK(p.background == system.window);
    CHECK(p.frame == system.gray_text);
    CHECK((p.name == system.window_text && p.text == system.window_text && p.detail == system.window_text));
    CHECK_FALSE(p.shadow);
    CHECK(ChooseRowPalette(design, false, true, true, system).name == system.gray_text);

    p = ChooseRowPalette(design, true, true, true, system);
    CHECK(p.background == system.highlight);
    CHECK((p.name == system.highlight_text && p.text == system.highlight_text));

    const StatusPalette status = ChooseStatusPalette(true, system);
    CHECK((status.fill == system.button_face && status.text == system.button_text && !status.engraved));
  }
}
