#include "settings/settings_page_win.h"

#include <commctrl.h>

#include "common/controls_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

constexpr int kIdPageControl2 = 1202;

}  // namespace

SettingsPage::SettingsPage(PageHost& host, HWND sheet) : host_(host), sheet_(sheet) {
  PageControl2 = CreateChild(WC_TABCONTROLW, L"", WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, sheet_, kIdPageControl2);
  SetControlFont(PageControl2, host_.ui_font());
  // The network page's tab is hidden: only "メモリ" and "その他" have tabs.
  for (const char* caption : {"メモリ", "その他"}) {
    std::wstring text = Wide(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(PageControl2, TCM_INSERTITEMW, TabCtrl_GetItemCount(PageControl2), reinterpret_cast<LPARAM>(&item));
  }
}

void SettingsPage::SetAllowed(bool allowed) {
  EnableWindow(sheet_, allowed);
  SetVisible(PageControl2, allowed);
}

bool SettingsPage::allowed() const { return IsShown(PageControl2); }

void SettingsPage::Layout(int width, int height) {
  SetWindowPos(PageControl2, nullptr, 0, 0, width, height, SWP_NOZORDER);
}

void SettingsPage::FillSettingsPages() {
  TabCtrl_SetCurSel(PageControl2, 1);
  TabCtrl_SetCurSel(PageControl2, 0);
}

bool SettingsPage::OnNotify(NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != PageControl2) return false;
  result = 0;
  return true;
}

}  // namespace orvela
