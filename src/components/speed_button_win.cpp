#include "components/speed_button_win.h"

#include "platform/device_context_win.h"
#include "platform/kept_focus_win.h"
#include "platform/wide_win.h"

namespace orvela {

void SpeedButton::Create(HWND parent, int id, HIMAGELIST glyphs, HFONT font, Dpi dpi) {
  id_ = id;
  glyphs_ = glyphs;
  font_ = font;
  dpi_ = dpi;
  hwnd_ = CreateWindowExW(0, WC_BUTTONW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0,
                          10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void SpeedButton::SetCaption(const std::string& caption) {
  caption_ = caption;
  // The window text gives the button its accessible name and its mnemonic.
  SetWindowTextW(hwnd_, Wide(caption).c_str());
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void SpeedButton::SetName(const std::string& name) { SetWindowTextW(hwnd_, Wide(name).c_str()); }

void SpeedButton::SetGlyph(int index) {
  glyph_ = index;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void SpeedButton::SetDown(bool down) {
  down_ = down;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void SpeedButton::SetVisible(bool visible) {
  if (!visible) GiveUpFocus(hwnd_);
  ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}
bool SpeedButton::visible() const { return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
void SpeedButton::SetEnabled(bool enabled) { EnableKeepingFocus(hwnd_, enabled); }
bool SpeedButton::enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

int SpeedButton::GlyphSize() const {
  int cx = 0, cy = 0;
  if (glyphs_ && ImageList_GetIconSize(glyphs_, &cx, &cy)) return cx;
  return dpi_.Scale(16);
}

int SpeedButton::PreferredWidth() const {
  int width = dpi_.Scale(8) + GlyphSize();
  if (!caption_.empty()) {
    const WindowDc dc(hwnd_);
    const SelectedObject font(dc.get(), font_);
    SIZE size{};
    const std::wstring text = Wide(caption_);
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    width += dpi_.Scale(6) + size.cx + dpi_.Scale(4);
  }
  return width;
}

void SpeedButton::Draw(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool sunken = down_ || pressed;

  // A down button of a group shows a lighter, dithered-looking face, as tool buttons do.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF down_face = RGB((GetRValue(face) + 255) / 2, (GetGValue(face) + 255) / 2,
                                 (GetBValue(face) + 255) / 2);
  HBRUSH brush = CreateSolidBrush(down_ ? down_face : face);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  if (sunken) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  } else if (GetFocus() == hwnd_) {
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  }

  const int shift = sunken ? dpi_.Scale(1) : 0;
  const int height = r.bottom - r.top;
  const int glyph = GlyphSize();
  int x = r.left + dpi_.Scale(4) + shift;
  if (caption_.empty()) x = r.left + ((r.right - r.left) - glyph) / 2 + shift;
  const int y = r.top + (height - glyph) / 2 + shift;
  if (glyphs_ && glyph_ >= 0 && glyph_ < ImageList_GetImageCount(glyphs_)) {
    if (disabled) {
      IMAGELISTDRAWPARAMS p{};
      p.cbSize = sizeof p;
      p.himl = glyphs_;
      p.i = glyph_;
      p.hdcDst = dc;
      p.x = x;
      p.y = y;
      p.rgbBk = CLR_NONE;
      p.fStyle = ILD_TRANSPARENT;
      p.fState = ILS_SATURATE;
      ImageList_DrawIndirect(&p);
    } else {
      ImageList_Draw(glyphs_, glyph_, dc, x, y, ILD_TRANSPARENT);
    }
  }
  if (!caption_.empty()) {
    RECT text = r;
    text.left = x + glyph + dpi_.Scale(6);
    text.top += shift;
    text.bottom += shift;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    const SelectedObject font(dc, font_);
    const std::wstring caption = Wide(caption_);
    DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  }
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = r;
    InflateRect(&focus, -dpi_.Scale(3), -dpi_.Scale(3));
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace orvela
