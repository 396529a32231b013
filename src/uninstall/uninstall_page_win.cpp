#include "uninstall/uninstall_page_win.h"

#include <commctrl.h>

#include "common/controls_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

constexpr int kIdListBox3 = 1303, kIdMoreInfo = 1305;

}  // namespace

UninstallPage::UninstallPage(PageHost& host, HWND sheet) : host_(host), sheet_(sheet) {
  MoreInfoButton = CreateChild(WC_BUTTONW, Wide("他の情報も表示").c_str(), WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                               sheet_, kIdMoreInfo);
  SetControlFont(MoreInfoButton, host_.ui_font());
  const DWORD list_style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NOTIFY |
                           LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT | LBS_NODATA;
  ListBox3 = CreateChild(WC_LISTBOXW, L"", list_style, sheet_, kIdListBox3, WS_EX_CLIENTEDGE);
  SetControlFont(ListBox3, host_.list_font());
  SendMessageW(ListBox3, LB_SETITEMHEIGHT, 0, host_.dpi().Scale(42));
}

void UninstallPage::SetAllowed(bool allowed) {
  EnableWindow(sheet_, allowed);
  SetVisible(ListBox3, allowed);
}

bool UninstallPage::allowed() const { return IsShown(ListBox3); }

void UninstallPage::Layout(int width, int height) {
  const Dpi dpi = host_.dpi();
  SetWindowPos(MoreInfoButton, nullptr, dpi.Scale(4), dpi.Scale(3), dpi.Scale(120), dpi.Scale(22), SWP_NOZORDER);
  const int strip = dpi.Scale(28);
  SetWindowPos(ListBox3, nullptr, 0, strip, width, std::max(0, height - strip), SWP_NOZORDER);
}

// The page's own rows come with its work; until then it shows its empty list.
void UninstallPage::FillUninstallList() {
  entries.clear();
  ClearListBox(ListBox3);
  host_.SetStatusText(0, "0");
}

bool UninstallPage::OnCommand(int, int, HWND control) { return control == ListBox3 || control == MoreInfoButton; }

bool UninstallPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem != ListBox3) return false;
  if (item.itemID != static_cast<UINT>(-1)) FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
  return true;
}

}  // namespace orvela
