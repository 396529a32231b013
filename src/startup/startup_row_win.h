// Drawing one row of the startup list (and of its Disabled Box view): icon, bracketed name,
// command or folder, company and description, on a background that tells the source.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "disabled_box/entry.h"
#include "rows/entry_row_win.h"
#include "platform/dpi.h"
#include "platform/handles_win.h"

namespace orvela {

// Sizes in pixels of a 96-DPI screen; `dpi` scales them for the screen.
inline constexpr int kStartupRowHeight = kEntryRowHeight;

inline UniqueHfont CreateStartupListFont(BYTE quality = DEFAULT_QUALITY, Dpi dpi = Dpi()) {
  return CreateEntryListFont(quality, dpi);
}

// One row in `rect`; image `picture` of row_icons is its 32 x 32 icon. A selected row is
// drawn in the system's selection colours; `checking` while its details are looked up.
void DrawStartupRow(HDC dc, RECT rect, const EntryRecord& record, bool selected,
                    HIMAGELIST row_icons, int picture, int all_users_index, HFONT font,
                    Dpi dpi = Dpi(), bool focused = false, bool checking = false);

// The owner-draw entry point: a row the table does not have (list and table briefly out of
// step during a rebuild) is not drawn. `picture`: the row's image in `row_icons` (-1 none).
void DrawStartupListItem(HDC dc, RECT rect, const std::vector<EntryRecord>& rows, int row_index,
                         bool selected, HIMAGELIST row_icons, int picture, int all_users_index,
                         HFONT font, Dpi dpi = Dpi(), bool focused = false, bool checking = false);

}  // namespace orvela
