// Drawing one row of an entry list (startup, SendTo): the icon cell, the bracketed caption
// with its shadow, the text line after it, and the company and description lines, on a
// framed background that tells the entry's kind. Sizes are pixels at 96 DPI; `dpi`
// scales them for the screen.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "disabled_box/entry.h"
#include "rows/row_colours.h"
#include "platform/dpi.h"
#include "platform/handles_win.h"

namespace orvela {

inline constexpr int kEntryRowHeight = 42;

// The lists' font: "ＭＳ Ｐゴシック", 13 pixels high (the uninstall list's 12) at 96 DPI.
// Tests ask for unsmoothed glyphs so that text pixels carry the text colour exactly.
UniqueHfont CreateEntryListFont(BYTE quality = DEFAULT_QUALITY, Dpi dpi = Dpi(), int height_at_96_dpi = 13);

// The icon cell: image `index` of `images` on a size x size square of `fill`, blended
// toward navy when selected, drawn at (left + 2, top + 5) for size 32, (left + 2, top + 2)
// otherwise. An index the image list does not have leaves the square plain.
void DrawEntryIcon(HDC dc, HIMAGELIST images, int index, int size, bool selected, int left,
                   int top, COLORREF fill, Dpi dpi = Dpi());

// What tells one list's rows from another's.
struct EntryRowLook {
  Colour background = 0;  // of an unselected row; a selected one takes the selection colours
  Colour frame = 0;
  std::string caption;    // "[" + name + "] "
  std::string text;       // the line after the caption
  std::string marks;      // drawn at the right end of the second line ("" none)
  bool muted = false;     // the entry does not start (Windows has it off): drawn faded
  bool checking = false;  // its details are being looked up: says so at the first line's end
};

// One row in `rect`; image `picture` of `images` is its icon (-1 none). The record gives
// the company, the description and whether the name is drawn as missing. In Windows'
// high-contrast mode the row takes the system's colours; `focused` adds the focus rectangle.
void DrawEntryRow(HDC dc, RECT rect, const EntryRowLook& look, const EntryRecord& record, bool selected,
                  HIMAGELIST images, int picture, HFONT font, Dpi dpi = Dpi(), bool focused = false);

}  // namespace orvela
