#include "version/about_dialog.h"

namespace orvela {

AboutDialogProperties AboutDialog1Properties() {
  AboutDialogProperties p;
  p.VerNoMain = "[ 1.2.7.7 ]";
  p.ProgramerName = "Ｖ＆Ｌ";
  p.Year = "(C) 2026";
  p.Corp = "Ｖ＆Ｌ";
  p.UpdateName = "Orvela_Up";
  p.VerStr = "1277";
  p.UpdateFileName = "UpdateFilePageFree.html";
  p.UpdateFolderName = "DownLoadHtml";
  p.UpdateDownFolder = "UpdateFile";
  p.BackColor = 12582897;
  p.TitleFontColor = 0x000000;
  return p;
}

std::uint32_t PanelColour(int bits_per_pixel, std::uint32_t back_color) {
  return bits_per_pixel <= 10 ? 0xFFFFFF : back_color;
}

VersionBoxSettings MakeVersionBoxSettings(const AboutDialogProperties& p, std::string_view site_url,
                                          int bits_per_pixel) {
  VersionBoxSettings s;
  s.caption_title = p.ApplicationTitle;
  s.title_line = p.ApplicationTitle + "  " + p.VerNo;
  s.credit_line = std::string(kCreditPrefix) + p.ProgramerName;
  s.version_line = p.VerNoMain;
  s.year = p.Year;
  s.corp = p.Corp;
  s.title_colour = p.TitleFontColor;
  s.version_colour = p.VerFontColor;
  s.date_colour = p.DateColor;
  s.panel_colour = PanelColour(bits_per_pixel, p.BackColor);
  s.jump_xy = p.JumpXY;
  s.stretch_max = p.StretchMax;
  s.update.page_name = UpdatePageName(p.UpdateFileName);
  s.update.update_name = p.UpdateName;
  s.update.folder_name = p.UpdateFolderName;
  s.update.down_folder = p.UpdateDownFolder;
  s.update.ver_str = p.VerStr;
  s.site_url = std::string(site_url);
  return s;
}

void UseHighContrastColours(VersionBoxSettings& settings, const SystemColours& system) {
  settings.panel_colour = system.window;
  settings.title_colour = settings.version_colour = settings.date_colour = system.window_text;
  settings.link_colour = system.hot_light;
}

}  // namespace orvela
