#include "uninstall/uninstall_row_win.h"

#include <string>

#include "rows/entry_row_win.h"
#include "rows/high_contrast_win.h"
#include "platform/device_context_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

constexpr UINT kLineFormat = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

void DrawLine(HDC dc, const std::string& text, RECT box) {
  const std::wstring wide = Wide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box, kLineFormat);
}

}  // namespace

void DrawUninstallRow(HDC dc, RECT rect, const UninstallEntry& entry, bool selected, const UninstallRowLook& look) {
  const SavedDcState state(dc);
  SelectObject(dc, look.font);
  const Dpi dpi = look.dpi;
  const int size = look.detailed ? 32 : 16;
  const int offset = dpi.Scale(look.detailed ? 2 : 4);
  RowDesign design;
  design.background = kUninstallListColour;
  design.frame = FramePenColour(kUninstallListColour);
  design.name = Rgb(0, 0, 0);
  design.text = kUninstallTextColour;
  design.detail = kPublisherColour;
  design.selected_frame_darker = 10;
  const RowPalette palette = ChooseRowPalette(design, selected, false, HighContrastOn(), CurrentSystemColours());
  {
    UniqueHbrush brush(CreateSolidBrush(palette.background));
    UniqueHpen pen(CreatePen(PS_SOLID, 1, palette.frame));
    const SelectedObject fill(dc, brush.get()), frame(dc, pen.get());
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
  }
  DrawEntryIcon(dc, look.pictures, look.picture, size, selected, rect.left, rect.top, palette.background, dpi);

  SetBkMode(dc, TRANSPARENT);
  const std::string title = "[ " + (entry.display_name.empty() ? std::string("不明") : entry.display_name) + " ]";
  RECT box{rect.left + dpi.Scale(size + 5), rect.top + offset, rect.right - dpi.Scale(80), rect.bottom};
  if (palette.shadow) {
    SetTextColor(dc, palette.shadow_colour);
    const int shadow = dpi.Scale(1);
    DrawLine(dc, title, {box.left + shadow, box.top + shadow, box.right + shadow, box.bottom + shadow});
  }
  SetTextColor(dc, palette.name);
  DrawLine(dc, title, box);

  const std::wstring date = Wide(entry.date_text);  // in the title's colour
  TextOutW(dc, look.list_width - dpi.Scale(80), rect.top + offset, date.c_str(), static_cast<int>(date.size()));
  if (look.detailed) {
    SetTextColor(dc, palette.text);
    DrawLine(dc, entry.command, {rect.left + dpi.Scale(37), rect.top + dpi.Scale(15), rect.right, rect.bottom});
    SetTextColor(dc, palette.detail);
    DrawLine(dc, entry.publisher, {rect.left + dpi.Scale(37), rect.top + dpi.Scale(28), rect.right, rect.bottom});
  }
  if (look.focused) DrawRowFocus(dc, rect);
}

}  // namespace orvela
