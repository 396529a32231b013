// Image lists whose pictures stand at fixed indices (row i's icon at index i).
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace orvela {

// Appends the icon and destroys it; a transparent picture of the list's size when there is
// none, so the numbering stays.
void AppendIconOrBlank(HIMAGELIST list, HICON icon);

}  // namespace orvela
