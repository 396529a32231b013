#include "startup/startup_row_win.h"

#include <string>

#include "rows/entry_colours.h"
#include "rows/entry_marks.h"

namespace orvela {

void DrawStartupRow(HDC dc, RECT rect, const EntryRecord& record, bool selected,
                    HIMAGELIST row_icons, int picture, int all_users_index, HFONT font, Dpi dpi,
                    bool focused, bool checking) {
  // The background tells the source.
  EntryRowLook look;
  look.background = EntryColour(record.Key, record.Kind, all_users_index);
  look.frame = FramePenColour(look.background);
  look.caption = "[" + record.Name + "] ";
  look.text = record.Location.empty() ? record.Command : record.Location;
  look.marks = EntryMarksText(record);
  look.muted = record.WindowsDisabled;
  look.checking = checking;
  DrawEntryRow(dc, rect, look, record, selected, row_icons, picture, font, dpi, focused);
}

void DrawStartupListItem(HDC dc, RECT rect, const std::vector<EntryRecord>& rows, int row_index,
                         bool selected, HIMAGELIST row_icons, int picture, int all_users_index,
                         HFONT font, Dpi dpi, bool focused, bool checking) {
  if (row_index < 0 || static_cast<size_t>(row_index) >= rows.size()) return;
  DrawStartupRow(dc, rect, rows[static_cast<size_t>(row_index)], selected, row_icons, picture,
                 all_users_index, font, dpi, focused, checking);
}

}  // namespace orvela
