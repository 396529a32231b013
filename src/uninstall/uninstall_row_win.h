// Drawing one row of the uninstall list: icon, title in brackets with a shadow, date, and in
// the detailed view the uninstall command and the publisher.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "rows/entry_colours.h"
#include "rows/entry_row_win.h"
#include "platform/dpi.h"
#include "platform/handles_win.h"
#include "uninstall/uninstall_list.h"

namespace orvela {

// Sizes in pixels at 96 DPI.
inline constexpr int kUninstallRowHeight = 20, kUninstallDetailedRowHeight = 42;
inline constexpr Colour kUninstallListColour = Rgb(255, 236, 245);
inline constexpr Colour kUninstallTextColour = Rgb(112, 112, 112);
inline constexpr Colour kPublisherColour = Rgb(160, 160, 160);

// "ＭＳ Ｐゴシック", 12 pixels high.
inline constexpr int kUninstallFontHeight = 12;

struct UninstallRowLook {
  bool detailed = false;
  HFONT font = nullptr;
  Dpi dpi;
  HIMAGELIST pictures = nullptr;  // the row's 32 x 32 picture is `picture` there (-1 none)
  int picture = -1;
  int list_width = 0;             // the date stands 80 pixels from its right edge
  bool focused = false;           // the keyboard is on the row: the focus rectangle shows
};

// In Windows' high-contrast mode the row takes the system's colours.
void DrawUninstallRow(HDC dc, RECT rect, const UninstallEntry& entry, bool selected, const UninstallRowLook& look);

}  // namespace orvela
