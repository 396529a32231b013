// The settings of the about component and what the version box is made from. The Win32
// component (about_dialog_win.h) adds Execute; this part stands apart so its rules can be
// tested without a window.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "rows/row_colours.h"
#include "version/update_check.h"

namespace orvela {

// The maker's web site; the version box links to it and asks it for updates.
inline constexpr std::string_view kMakerSiteUrl = "https://orvela.v-and-l.jp/";
inline constexpr std::string_view kCreditPrefix = "Programmed by ";
inline constexpr std::string_view kVersionBoxCaption = "ﾊﾞｰｼﾞｮﾝ情報";

// Colours are 0xBBGGRR, as Win32's COLORREF.
struct AboutDialogProperties {
  std::string ApplicationTitle;
  std::string VerNo;
  std::string VerNoMain;
  std::string ProgramerName;
  std::string Year;
  std::string Corp;
  std::string UpdateName;
  std::string VerStr;
  std::string UpdateFileName;  // empty means "UpdateFilePage.html"
  std::string UpdateFolderName = "DownLoadHtml";
  std::string UpdateDownFolder = "UpdateFile";
  std::uint32_t BackColor = 0xBFFFF1;
  std::uint32_t DateColor = 0x606060;
  std::uint32_t TitleFontColor = 0x000000;
  std::uint32_t VerFontColor = 0x606060;
  int JumpXY = 2;
  int StretchMax = 5;
};

// The values the main window's AboutDialog1 carries (ApplicationTitle is set before each
// Execute).
AboutDialogProperties AboutDialog1Properties();

// Everything the version box shows and uses, worked out from the properties.
struct VersionBoxSettings {
  std::string caption_title;  // titles the box's messages: the application title
  std::string title_line;     // ApplicationTitle + two blanks + VerNo
  std::string credit_line;
  std::string version_line;
  std::string year;
  std::string corp;
  std::uint32_t title_colour = 0, version_colour = 0, date_colour = 0;
  std::uint32_t panel_colour = 0;
  std::uint32_t link_colour = 0xFF0000;  // blue (0xBBGGRR)
  int jump_xy = 0, stretch_max = 0;
  UpdateSettings update;
  std::string site_url;
};

// Screens of 10 or fewer bits per pixel show the panel white: the pale colour would dither.
std::uint32_t PanelColour(int bits_per_pixel, std::uint32_t back_color);

VersionBoxSettings MakeVersionBoxSettings(const AboutDialogProperties& properties, std::string_view site_url,
                                          int bits_per_pixel);

// Windows' high-contrast mode: the panel in the window colour, its texts in the window's text
// colour and the link in the system's link colour.
void UseHighContrastColours(VersionBoxSettings& settings, const SystemColours& system);

}  // namespace orvela
