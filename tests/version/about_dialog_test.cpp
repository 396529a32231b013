// The about component's settings and what the version box is made from.
#include <doctest.h>

#include "version/about_dialog.h"

using namespace orvela;

TEST_CASE("the box's texts, update settings and panel colour") {
  AboutDialogProperties p = AboutDialog1Properties();
  p.ApplicationTitle = "Orvela";
  p.VerNo = "Free";
  const VersionBoxSettings s = MakeVersionBoxSettings(p, "http://127.0.0.1:8080/", 32);
  CHECK(s.title_line == "Orvela  Free");
  CHECK(s.caption_title == "Orvela");
  CHECK(s.credit_line == std::string(kCreditPrefix) + p.ProgramerName);
  CHECK(s.version_line == "[ 1.2.7.7 ]");
  CHECK(s.update.page_name == "UpdateFilePageFree.html");
  CHECK(s.update.ver_str == "1277");
  CHECK(s.site_url == "http://127.0.0.1:8080/");
  CHECK(s.panel_colour == p.BackColor);

  p.UpdateFileName.clear();
  CHECK(MakeVersionBoxSettings(p, "", 32).update.page_name == "UpdateFilePage.html");

  // Ten bits per pixel or fewer: white, whatever BackColor says.
  CHECK(PanelColour(8, 0x123456) == 0xFFFFFFu);
  CHECK(PanelColour(10, 0x123456) == 0xFFFFFFu);
  CHECK(PanelColour(16, 0x123456) == 0x123456u);
}

TEST_CASE("high contrast: the panel, its texts and the link in the system's colours") {
  VersionBoxSettings s = MakeVersionBoxSettings(AboutDialog1Properties(), "", 32);
  CHECK(s.link_colour == 0xFF0000u);  // the link is blue
  SystemColours system;
  system.window = 0x000000;
  system.window_text = 0xFFFFFF;
  system.hot_light = 0x00FFFF;
  UseHighContrastColours(s, system);
  CHECK(s.panel_colour == 0x000000u);
  CHECK((s.title_colour == 0xFFFFFFu && s.version_colour == 0xFFFFFFu && s.date_colour == 0xFFFFFFu));
  CHECK(s.link_colour == 0x00FFFFu);
}
