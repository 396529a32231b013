#include "rows/high_contrast_win.h"

#include "platform/device_context_win.h"

namespace orvela {

bool HighContrastOn() {
  // Wine cannot switch high contrast on (SPI_SETHIGHCONTRAST fails there): tests and
  // screenshots ask for it through the environment.
  static const bool forced = GetEnvironmentVariableW(L"ORVELA_TEST_HIGH_CONTRAST", nullptr, 0) > 0;
  if (forced) return true;
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

SystemColours CurrentSystemColours() {
  SystemColours colours;
  colours.window = GetSysColor(COLOR_WINDOW);
  colours.window_text = GetSysColor(COLOR_WINDOWTEXT);
  colours.highlight = GetSysColor(COLOR_HIGHLIGHT);
  colours.highlight_text = GetSysColor(COLOR_HIGHLIGHTTEXT);
  colours.gray_text = GetSysColor(COLOR_GRAYTEXT);
  colours.button_face = GetSysColor(COLOR_BTNFACE);
  colours.button_text = GetSysColor(COLOR_BTNTEXT);
  colours.hot_light = GetSysColor(COLOR_HOTLIGHT);
  return colours;
}

bool RowShowsFocus(const DRAWITEMSTRUCT& item) {
  if (!(item.itemState & ODS_FOCUS) || (item.itemState & ODS_NOFOCUSRECT)) return false;
  return !(SendMessageW(item.hwndItem, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void DrawRowFocus(HDC dc, RECT rect) {
  // The dots invert what is under them, so they show on any background.
  const SavedDcState state(dc);
  SetBkColor(dc, RGB(255, 255, 255));
  SetTextColor(dc, RGB(0, 0, 0));
  InflateRect(&rect, -1, -1);
  DrawFocusRect(dc, &rect);
}

}  // namespace orvela
