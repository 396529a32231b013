// The about component's settings and what the version box is made from.
#include <doctest.h>

#include "version/about_dialog.h"

using namespace orvela;

TEST_CASE("the component's defaults and AboutDialog1's values") {
  const AboutDialogProperties defaults;
  CHECK(defaults.ApplicationTitle.empty());
  CHECK(defaults.UpdateFileName.empty());
  CHECK(defaults.UpdateFolderName == "DownLoadHtml");
  CHECK(defaults.UpdateDownFolder == "UpdateFile");
  CHECK(defaults.BackColor == 12582897u);
  CHECK(defaults.DateColor == 6316128u);
  CHECK(defaults.TitleFontColor == 0u);
  CHECK(defaults.VerFontColor == 0x606060u);
  CHECK(defaults.JumpXY == 2);
  CHECK(defaults.StretchMax == 5);

  const AboutDialogProperties one = AboutDialog1Properties();
  CHECK(one.VerNo.empty());
  CHECK(one.VerNoMain == "[ 1.2.7.7 ]");
  CHECK(one.Corp == "Ｖ＆Ｌ");
  CHECK(one.UpdateName == "Orvela_Up");
  CHECK(one.VerStr == "1277");
  CHECK(one.UpdateFileName == "UpdateFilePageFree.html");
  CHECK(one.BackColor == 12582897u);
  CHECK(kMakerSiteUrl.substr(0, 8) == "https://");
  CHECK(kMakerSiteUrl.back() == '/');
}

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
