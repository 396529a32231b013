#include "sendto/sendto_page_win.h"

#include <commctrl.h>

#include "common/controls_win.h"

namespace orvela {
namespace {

constexpr int kIdListBox2 = 1302;

}  // namespace

SendToPage::SendToPage(PageHost& host, HWND sheet) : host_(host), sheet_(sheet) {
  const DWORD list_style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NOTIFY |
                           LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT | LBS_NODATA;
  ListBox2 = CreateChild(WC_LISTBOXW, L"", list_style, sheet_, kIdListBox2, WS_EX_CLIENTEDGE);
  SetControlFont(ListBox2, host_.list_font());
  SendMessageW(ListBox2, LB_SETITEMHEIGHT, 0, host_.dpi().Scale(42));
}

void SendToPage::Layout(int width, int height) {
  SetWindowPos(ListBox2, nullptr, 0, 0, width, height, SWP_NOZORDER);
}

// The page's own rows come with its work; until then it shows its empty list.
void SendToPage::FillSendToList() {
  entries.clear();
  ClearListBox(ListBox2);
  host_.SetStatusText(0, "0");
}

void SendToPage::ShowSendToDisabledBox() { FillSendToList(); }

bool SendToPage::OnCommand(int, int, HWND control) { return control == ListBox2; }

bool SendToPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem != ListBox2) return false;
  if (item.itemID != static_cast<UINT>(-1)) FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
  return true;
}

}  // namespace orvela
