#include "uninstall/details_dialog_win.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "platform/wide_win.h"

namespace orvela {
namespace {

constexpr int kClientWidth = 713, kClientHeight = 473;
constexpr int kBoxHeight = 57, kStripHeight = 41;
constexpr int kButtonWidth = 75, kButtonHeight = 25, kButtonTop = 11;
constexpr int kNameWidth = 150, kNameMinWidth = 100, kDataMinWidth = 200;
constexpr COLORREF kBoxText = RGB(80, 80, 80);
constexpr COLORREF kListText = RGB(112, 112, 112);
constexpr COLORREF kKeyText = RGB(32, 32, 32);
constexpr COLORREF kDisplayNameBack = RGB(223, 239, 255);
constexpr COLORREF kEqualsColour = RGB(0, 0, 255);
constexpr int kListViewId = 100;

void SetCharFormat(HWND box, WPARAM scope, DWORD mask, DWORD effects, COLORREF colour = 0) {
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = mask;
  format.dwEffects = effects;
  format.crTextColor = colour;
  SendMessageW(box, EM_SETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&format));
}

void Select(HWND box, int from, int to) {
  CHARRANGE range{from, to};
  SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

}  // namespace

TOKBottomDlg1::TOKBottomDlg1(HWND owner, Dpi dpi, std::vector<std::pair<std::string, std::string>> rows)
    : ModalWindow(L"TOKBottomDlg1", owner, dpi),
      rows_(std::move(rows)),
      font_(MakeFont(12)),
      list_font_(MakeFont(13)),
      bold_font_(MakeFont(13, true)),
      box_font_(MakeFont(12)) {
  CreateFrame(Wide("詳細").c_str(), kClientWidth, kClientHeight);
  if (!hwnd()) return;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  rich_edit_library_.reset(LoadLibraryW(L"Msftedit.dll"));
  const wchar_t* box_class = MSFTEDIT_CLASS;
  if (!rich_edit_library_) {
    rich_edit_library_.reset(LoadLibraryW(L"riched20.dll"));
    box_class = RICHEDIT_CLASSW;
  }
  RichEdit1 = CreateWindowExW(WS_EX_CLIENTEDGE, box_class, L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                                  ES_AUTOVSCROLL,
                              0, 0, 10, 10, hwnd(), nullptr, instance, nullptr);
  SendMessageW(RichEdit1, WM_SETFONT, reinterpret_cast<WPARAM>(box_font_.get()), FALSE);
  SetCharFormat(RichEdit1, SCF_ALL, CFM_COLOR, 0, kBoxText);

  ListView1 = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                              0, 0, 10, 10, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListViewId)),
                              instance, nullptr);
  ListView_SetExtendedListViewStyle(ListView1, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  SendMessageW(ListView1, WM_SETFONT, reinterpret_cast<WPARAM>(list_font_.get()), FALSE);
  ListView_SetTextColor(ListView1, kListText);
  const std::wstring name_caption = Wide("名前"), data_caption = Wide("データ");
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = Scale(kNameWidth);
  column.pszText = const_cast<wchar_t*>(name_caption.c_str());
  ListView_InsertColumn(ListView1, 0, &column);
  column.cx = Scale(kDataMinWidth);
  column.pszText = const_cast<wchar_t*>(data_caption.c_str());
  ListView_InsertColumn(ListView1, 1, &column);
  for (size_t i = 0; i < rows_.size(); ++i) {
    std::wstring name = Wide(rows_[i].first), text = Wide(rows_[i].second);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = name.data();
    const int index = ListView_InsertItem(ListView1, &item);
    ListView_SetItemText(ListView1, index, 1, text.data());
  }

  OKBtn = CreateWindowExW(0, WC_BUTTONW, Wide("閉じる").c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                          0, 0, Scale(kButtonWidth), Scale(kButtonHeight), hwnd(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
  SendMessageW(OKBtn, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  FormResize();
}

std::string TOKBottomDlg1::RichEdit1Text() const {
  const int length = GetWindowTextLengthW(RichEdit1);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(RichEdit1, text.data(), length + 1)));
  return Narrow(text);
}

void TOKBottomDlg1::ListView1SelectItem(int row) {
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return;
  const std::wstring name = Wide(rows_[static_cast<size_t>(row)].first);
  const std::wstring text = name + L" = " + Wide(rows_[static_cast<size_t>(row)].second);
  SetWindowTextW(RichEdit1, text.c_str());
  const int name_length = static_cast<int>(name.size());
  Select(RichEdit1, 0, -1);
  SetCharFormat(RichEdit1, SCF_SELECTION, CFM_COLOR | CFM_BOLD, 0, kBoxText);
  Select(RichEdit1, 0, name_length);
  SetCharFormat(RichEdit1, SCF_SELECTION, CFM_BOLD, CFE_BOLD);
  Select(RichEdit1, name_length + 1, name_length + 2);
  SetCharFormat(RichEdit1, SCF_SELECTION, CFM_COLOR, 0, kEqualsColour);
  Select(RichEdit1, 0, 0);
}

void TOKBottomDlg1::FormResize() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int width = client.right, height = client.bottom;
  const int box = Scale(kBoxHeight), strip = Scale(kStripHeight);
  MoveWindow(RichEdit1, 0, 0, width, box, TRUE);
  MoveWindow(ListView1, 0, box, width, std::max(0, height - box - strip), TRUE);
  const int button_width = Scale(kButtonWidth);
  MoveWindow(OKBtn, width / 2 - button_width / 2, height - strip + Scale(kButtonTop), button_width,
             Scale(kButtonHeight), TRUE);
  // The data column takes what the name column leaves.
  ListView_SetColumnWidth(ListView1, 1, LVSCW_AUTOSIZE_USEHEADER);
}

LRESULT TOKBottomDlg1::ListView1CustomDraw(NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const size_t row = static_cast<size_t>(draw.nmcd.dwItemSpec);
  if (row >= rows_.size()) return CDRF_DODEFAULT;
  const std::string& name = rows_[row].first;
  if (name != "DisplayName" && name != "UninstallString" && name != "Publisher") return CDRF_DODEFAULT;
  draw.clrText = kKeyText;
  if (name == "DisplayName") {
    SelectObject(draw.nmcd.hdc, bold_font_.get());
    draw.clrTextBk = kDisplayNameBack;
  }
  return CDRF_NEWFONT;
}

LRESULT TOKBottomDlg1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        Close();
        handled = true;
      }
      return 0;
    case WM_SIZE:
      if (ListView1) FormResize();
      return 0;
    case WM_NOTIFY: {
      auto& header = *reinterpret_cast<NMHDR*>(lparam);
      if (header.hwndFrom == ListView1 && header.code == NM_CUSTOMDRAW) {
        handled = true;
        return ListView1CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
      }
      if (header.hwndFrom == ListView1 && header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
            !(change.uOldState & LVIS_SELECTED))
          ListView1SelectItem(change.iItem);
        return 0;
      }
      if (header.code == HDN_ITEMCHANGINGW || header.code == HDN_ITEMCHANGINGA) {
        // The columns keep their smallest widths.
        auto& change = reinterpret_cast<NMHEADERW&>(header);
        if (change.pitem && (change.pitem->mask & HDI_WIDTH)) {
          const int least = Scale(change.iItem == 0 ? kNameMinWidth : kDataMinWidth);
          change.pitem->cxy = std::max(change.pitem->cxy, least);
        }
        return 0;
      }
      return 0;
    }
  }
  return 0;
}

}  // namespace orvela
