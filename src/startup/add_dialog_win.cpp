#include "startup/add_dialog_win.h"

#include <commctrl.h>

#include "window/controls_win.h"
#include "rows/high_contrast_win.h"
#include "platform/wide_win.h"
#include "startup/startup_adding.h"

namespace orvela {
namespace {

constexpr int kClientWidth = 310, kClientHeight = 108;
constexpr int kLabelLeft = 10, kComboLeft = 66, kKindWidth = 234, kLocationWidth = 234;
constexpr int kKindTop = 10, kLocationTop = 40, kItemHeight = 18;
constexpr int kButtonTop = 74, kButtonWidth = 75, kButtonHeight = 25;
constexpr int kIdKind = 101, kIdLocation = 102;

void SetItems(HWND combo, const std::vector<std::string>& items) {
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

}  // namespace

void DrawKindSelectorItem(const DRAWITEMSTRUCT& item, COLORREF background, HIMAGELIST glyphs, int first_image,
                          Dpi dpi) {
  HDC dc = item.hDC;
  const bool highlighted = (item.itemState & ODS_SELECTED) && !(item.itemState & ODS_COMBOBOXEDIT);
  HBRUSH brush = CreateSolidBrush(highlighted      ? GetSysColor(COLOR_HIGHLIGHT)
                                  : HighContrastOn() ? GetSysColor(COLOR_WINDOW)
                                                     : background);
  FillRect(dc, &item.rcItem, brush);
  DeleteObject(brush);
  if (item.itemID == static_cast<UINT>(-1)) return;
  constexpr int kTaskGlyph = 26;  // the document with a clock
  const int image = item.itemID < 2 ? first_image + static_cast<int>(item.itemID) : kTaskGlyph;
  ImageList_Draw(glyphs, image, dc, item.rcItem.left + dpi.Scale(1),
                 item.rcItem.top + dpi.Scale(1), ILD_TRANSPARENT);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const std::wstring text = Wide(ComboItemText(item.hwndItem, static_cast<int>(item.itemID)));
  TextOutW(dc, item.rcItem.left + dpi.Scale(21), item.rcItem.top + dpi.Scale(2), text.c_str(),
           static_cast<int>(text.size()));
  if (RowShowsFocus(item)) DrawRowFocus(dc, item.rcItem);
}

TOKBottomDlg::TOKBottomDlg(HWND owner, Dpi dpi, std::vector<std::string> profiles, std::vector<int> run_locations,
                           std::string preferred, HIMAGELIST glyphs, int first_kind_image)
    : ModalWindow(L"TOKBottomDlg", owner, dpi),
      profiles_(std::move(profiles)),
      run_locations_(std::move(run_locations)),
      preferred_(std::move(preferred)),
      glyphs_(glyphs),
      first_kind_image_(first_kind_image),
      font_(MakeFont(12)) {
  CreateFrame(Wide("スタートアップの追加").c_str(), kClientWidth, kClientHeight);
  if (!hwnd()) return;
  auto child = [&](const wchar_t* cls, const char* text, DWORD style, int id, int x, int y, int w, int h) {
    HWND c = CreateChild(cls, Wide(text).c_str(), WS_VISIBLE | style, hwnd(), id);
    SetControlFont(c, font_.get());
    SetWindowPos(c, nullptr, Scale(x), Scale(y), Scale(w), Scale(h), SWP_NOZORDER);
    return c;
  };
  const DWORD combo = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS;
  child(WC_STATICW, "種類 ", SS_NOPREFIX, 0, kLabelLeft, kKindTop + 4, kComboLeft - kLabelLeft, 16);
  ComboBox1 = child(WC_COMBOBOXW, "", combo | CBS_OWNERDRAWFIXED, kIdKind, kComboLeft, kKindTop, kKindWidth, 120);
  child(WC_STATICW, "登録場所", SS_NOPREFIX, 0, kLabelLeft, kLocationTop + 4, kComboLeft - kLabelLeft, 16);
  ComboBox2 = child(WC_COMBOBOXW, "", combo, kIdLocation, kComboLeft, kLocationTop, kLocationWidth, 300);
  const int centre = kClientWidth / 2;
  OKBtn = child(WC_BUTTONW, "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, centre - kButtonWidth - 4, kButtonTop,
                kButtonWidth, kButtonHeight);
  CancelBtn = child(WC_BUTTONW, "キャンセル", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, centre + 4, kButtonTop,
                    kButtonWidth, kButtonHeight);
  for (WPARAM which : {static_cast<WPARAM>(-1), WPARAM{0}})
    SendMessageW(ComboBox1, CB_SETITEMHEIGHT, which, Scale(kItemHeight));
  SetItems(ComboBox1, {std::string(kAddKinds[0]), std::string(kAddKinds[1])});
  SendMessageW(ComboBox1, CB_SETCURSEL, 0, 0);
  ComboBox1Change();
}

void TOKBottomDlg::ComboBox1Change() {
  const std::vector<std::string> items = AddLocationItems(kind(), profiles_, run_locations_);
  SetItems(ComboBox2, items);
  SendMessageW(ComboBox2, CB_SETCURSEL, PreferredItem(items, preferred_), 0);
}

int TOKBottomDlg::kind() const { return static_cast<int>(SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0)); }

int TOKBottomDlg::location() const {
  const int item = static_cast<int>(SendMessageW(ComboBox2, CB_GETCURSEL, 0, 0));
  if (item < 0 || kind() != 1) return item;
  return item < static_cast<int>(run_locations_.size()) ? run_locations_[static_cast<size_t>(item)] : -1;
}

void TOKBottomDlg::ComboBox1DrawItem(const DRAWITEMSTRUCT& item) const {
  DrawKindSelectorItem(item, GetSysColor(COLOR_WINDOW), glyphs_, first_kind_image_, dpi());
}

LRESULT TOKBottomDlg::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        ok_ = kind() >= 0 && location() >= 0;
        Close();
      } else if (LOWORD(wparam) == IDCANCEL) {
        Close();
      } else if (LOWORD(wparam) == kIdKind && HIWORD(wparam) == CBN_SELCHANGE) {
        ComboBox1Change();
      }
      handled = true;
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item.hwndItem != ComboBox1) return 0;
      ComboBox1DrawItem(item);
      handled = true;
      return TRUE;
    }
  }
  return 0;
}

}  // namespace orvela
