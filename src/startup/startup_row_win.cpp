#include "startup/startup_row_win.h"

#include <string>

#include "platform/wide_win.h"
#include "common/entry_colours.h"

namespace orvela {
namespace {

constexpr UINT kLineFormat = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

void DrawLine(HDC dc, const std::wstring& text, int left, int top, const RECT& row) {
  RECT box{left, top, row.right, row.bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, kLineFormat);
}

void TextAt(HDC dc, int x, int y, const std::wstring& text) {
  TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// Restores what the row changes in the list's DC.
class DcState {
 public:
  explicit DcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~DcState() { RestoreDC(dc_, saved_); }
  DcState(const DcState&) = delete;
  DcState& operator=(const DcState&) = delete;

 private:
  HDC dc_;
  int saved_;
};

}  // namespace

UniqueHfont CreateStartupListFont(BYTE quality, Dpi dpi) {
  LOGFONTW font{};
  font.lfHeight = -dpi.Scale(13);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfQuality = quality;
  lstrcpynW(font.lfFaceName, L"ＭＳ Ｐゴシック", LF_FACESIZE);
  return UniqueHfont(CreateFontIndirectW(&font));
}

void DrawStartupRow(HDC dc, RECT rect, const EntryRecord& record, bool selected,
                    HIMAGELIST row_icons, int picture, int all_users_index, HFONT font, Dpi dpi) {
  DcState state(dc);
  SelectObject(dc, font);
  const int left = rect.left;
  const int top = rect.top;

  // The background tells the source; a selected row takes the selection colours instead.
  const COLORREF background =
      selected ? GetSysColor(COLOR_HIGHLIGHT) : EntryColour(record.Key, record.Kind, all_users_index);
  const COLORREF frame = selected ? background : FramePenColour(background);
  const COLORREF selected_text = GetSysColor(COLOR_HIGHLIGHTTEXT);
  {
    UniqueHbrush brush(CreateSolidBrush(background));
    UniqueHpen pen(CreatePen(PS_SOLID, 1, frame));
    const HGDIOBJ old_brush = SelectObject(dc, brush.get());
    const HGDIOBJ old_pen = SelectObject(dc, pen.get());
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
  }
  DrawEntryIcon(dc, row_icons, picture, 32, selected, left, top, background, dpi);
  const int text_left = left + dpi.Scale(37), first_line = top + dpi.Scale(2);

  const std::wstring text = Wide(record.Location.empty() ? record.Command : record.Location);
  const std::wstring caption = Wide("[" + record.Name + "] ");
  SetBkMode(dc, TRANSPARENT);
  if (!selected) {
    SetTextColor(dc, BlendColour(background, Rgb(0, 0, 0), kShadowWeight));
    TextAt(dc, text_left + dpi.Scale(1), first_line + dpi.Scale(1), caption);
    SetTextColor(dc, record.Missing ? kMissingNameColour : Rgb(0, 0, 0));
  } else {
    SetTextColor(dc, record.Missing ? kMissingSelectedNameColour : selected_text);
  }
  TextAt(dc, text_left, first_line, caption);

  SIZE caption_size{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &caption_size);
  SetTextColor(dc, selected ? selected_text : kCommandTextColour);
  DrawLine(dc, text, text_left + caption_size.cx, first_line, rect);

  if (!selected) SetTextColor(dc, kListTextColour);
  DrawLine(dc, Wide("会社名：" + record.Company), text_left, top + dpi.Scale(15), rect);
  DrawLine(dc, Wide("説明：" + record.Description), text_left, top + dpi.Scale(28), rect);
}

void DrawStartupListItem(HDC dc, RECT rect, const std::vector<EntryRecord>& rows, int row_index,
                         bool selected, HIMAGELIST row_icons, int picture, int all_users_index,
                         HFONT font, Dpi dpi) {
  if (row_index < 0 || static_cast<size_t>(row_index) >= rows.size()) return;
  DrawStartupRow(dc, rect, rows[static_cast<size_t>(row_index)], selected, row_icons, picture,
                 all_users_index, font, dpi);
}

}  // namespace orvela
