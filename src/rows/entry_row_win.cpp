#include "rows/entry_row_win.h"

#include <algorithm>

#include "rows/high_contrast_win.h"
#include "rows/row_text.h"
#include "platform/device_context_win.h"
#include "platform/program_font_win.h"
#include "platform/wide_win.h"

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


}  // namespace

UniqueHfont CreateEntryListFont(BYTE quality, Dpi dpi, int height_at_96_dpi) {
  return CreateProgramFont(dpi.Scale(height_at_96_dpi), {.quality = quality});
}

void DrawEntryIcon(HDC dc, HIMAGELIST images, int index, int size_at_96_dpi, bool selected, int left,
                   int top, COLORREF fill, Dpi dpi) {
  const int size = dpi.Scale(size_at_96_dpi);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueHbitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueHdc memory(CreateCompatibleDC(dc));
  if (!bitmap || !memory || bits == nullptr) return;
  const SelectedObject drawn_into(memory.get(), bitmap.get());

  UniqueHbrush brush(CreateSolidBrush(fill));
  RECT square{0, 0, size, size};
  FillRect(memory.get(), &square, brush.get());
  if (images != nullptr && index >= 0 && index < ImageList_GetImageCount(images)) {
    UniqueHicon icon(ImageList_GetIcon(images, index, ILD_NORMAL));
    if (icon) DrawIconEx(memory.get(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL);
  }
  GdiFlush();  // the pixels are touched directly below
  if (selected) {
    auto* pixel = static_cast<uint32_t*>(bits);
    for (int i = 0; i < size * size; ++i) pixel[i] = NavyBlendDibPixel(pixel[i]);
  }
  BitBlt(dc, left + dpi.Scale(2), top + dpi.Scale(size_at_96_dpi == 32 ? 5 : 2), size, size, memory.get(), 0, 0,
         SRCCOPY);
}

void DrawEntryRow(HDC dc, RECT rect, const EntryRowLook& look, const EntryRecord& record, bool selected,
                  HIMAGELIST images, int picture, HFONT font, Dpi dpi, bool focused) {
  const SavedDcState state(dc);  // what the row changes in the list's context
  SelectObject(dc, font);
  const int left = rect.left;
  const int top = rect.top;

  const bool high_contrast = HighContrastOn();
  // A muted row (Windows does not start it) is drawn greyed: its background halfway to grey.
  RowDesign design;
  design.background = look.muted ? BlendColour(look.background, kMutedGrey, kMutedWeight) : look.background;
  design.frame = look.frame;
  design.name = look.muted ? kMutedTextColour : Rgb(0, 0, 0);
  design.text = look.muted ? kMutedTextColour : kCommandTextColour;
  design.detail = look.muted ? kMutedTextColour : kListTextColour;
  const RowPalette palette =
      ChooseRowPalette(design, selected, record.Missing, high_contrast, CurrentSystemColours());
  {
    UniqueHbrush brush(CreateSolidBrush(palette.background));
    UniqueHpen pen(CreatePen(PS_SOLID, 1, palette.frame));
    const SelectedObject fill(dc, brush.get()), frame(dc, pen.get());
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
  }
  DrawEntryIcon(dc, images, picture, 32, selected, left, top, palette.background, dpi);
  const int text_left = left + dpi.Scale(37), first_line = top + dpi.Scale(2);

  // Without the colours a missing program is told by text.
  std::string caption_text = look.caption;
  if (high_contrast && record.Missing) caption_text += "（" + std::string(kMissingMark) + "） ";
  const std::wstring caption = Wide(caption_text);
  SetBkMode(dc, TRANSPARENT);
  if (palette.shadow) {
    SetTextColor(dc, palette.shadow_colour);
    TextAt(dc, text_left + dpi.Scale(1), first_line + dpi.Scale(1), caption);
  }
  SetTextColor(dc, palette.name);
  TextAt(dc, text_left, first_line, caption);

  SIZE caption_size{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &caption_size);
  RECT text_row = rect;
  if (look.checking) {
    // Muted, as a note rather than a fact of the entry; the command stops before it.
    const std::wstring checking = Wide(kCheckingMark);
    SIZE checking_size{};
    GetTextExtentPoint32W(dc, checking.c_str(), static_cast<int>(checking.size()), &checking_size);
    const int checking_left = std::max<int>(text_left, rect.right - dpi.Scale(4) - checking_size.cx);
    SetTextColor(dc, selected || high_contrast ? palette.text : kMutedTextColour);
    TextAt(dc, checking_left, first_line, checking);
    text_row.right = checking_left - dpi.Scale(6);
  }
  SetTextColor(dc, palette.text);
  DrawLine(dc, Wide(look.text), text_left + caption_size.cx, first_line, text_row);

  // The marks keep the right end of the second line; the company line stops before them.
  RECT company_row = rect;
  if (!look.marks.empty()) {
    const std::wstring marks = Wide(look.marks);
    SIZE marks_size{};
    GetTextExtentPoint32W(dc, marks.c_str(), static_cast<int>(marks.size()), &marks_size);
    const int marks_left = std::max<int>(text_left, rect.right - dpi.Scale(4) - marks_size.cx);
    SetTextColor(dc, selected || high_contrast ? palette.text : kMarkTextColour);
    TextAt(dc, marks_left, top + dpi.Scale(15), marks);
    company_row.right = marks_left - dpi.Scale(6);
  }

  SetTextColor(dc, palette.detail);
  DrawLine(dc, Wide("会社名：" + record.Company), text_left, top + dpi.Scale(15), company_row);
  DrawLine(dc, Wide("説明：" + record.Description), text_left, top + dpi.Scale(28), rect);
  if (focused) DrawRowFocus(dc, rect);
}

}  // namespace orvela
