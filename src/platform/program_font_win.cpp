#include "platform/program_font_win.h"

namespace orvela {

UniqueHfont CreateProgramFont(int pixels, FontStyle style) {
  LOGFONTW font{};
  font.lfHeight = -pixels;
  font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = style.underline;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfQuality = style.quality;
  lstrcpynW(font.lfFaceName, L"ＭＳ Ｐゴシック", LF_FACESIZE);
  return UniqueHfont(CreateFontIndirectW(&font));
}

}  // namespace orvela
