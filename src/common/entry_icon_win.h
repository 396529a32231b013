// The icon cell of a list row, shared by the startup, SendTo and uninstall lists.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "platform/dpi.h"

namespace orvela {

// The icon cell: image `index` of `images` on a size x size square of `fill`, blended
// toward navy when selected, drawn at (left + 2, top + 5) for size 32, (left + 2, top + 2)
// otherwise. An index the image list does not have leaves the square plain.
void DrawEntryIcon(HDC dc, HIMAGELIST images, int index, int size, bool selected, int left,
                   int top, COLORREF fill, Dpi dpi = Dpi());

}  // namespace orvela
