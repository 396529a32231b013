// What the screen asks of the drawing: high-contrast colours, and the focus rectangle of the
// row the keyboard is on.
#pragma once
#include <windows.h>

#include "rows/row_colours.h"

namespace orvela {

// Windows' high-contrast mode is on (or the environment variable ORVELA_TEST_HIGH_CONTRAST
// is set, for tests under Wine, which cannot switch the mode on).
bool HighContrastOn();
SystemColours CurrentSystemColours();

// The row being drawn has the keyboard focus and the window shows focus rectangles (they
// stay hidden until the keyboard is used, where Windows hides them).
bool RowShowsFocus(const DRAWITEMSTRUCT& item);
// The system's dotted focus rectangle just inside the row's rectangle.
void DrawRowFocus(HDC dc, RECT rect);

}  // namespace orvela
