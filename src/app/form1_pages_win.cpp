// Page switching: every page change and every refresh passes through RefreshPage.
#include "app/form1_win.h"

#include <shellapi.h>

#include "platform/folders_win.h"
#include "platform/message_pump_win.h"
#include "platform/wide_win.h"
#include "startup/startup_page_win.h"

namespace orvela {
namespace {

void SetVisible(HWND control, bool visible) { ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE); }
bool IsShown(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace

int TForm1::current_page() const { return TabCtrl_GetCurSel(PageControl1); }

void TForm1::PageControl1Change() { RefreshPage(true); }

void TForm1::SelectPage(int page) {
  TabCtrl_SetCurSel(PageControl1, page);
  RefreshPage(true);
}

void TForm1::SpeedButton9Click(int tag) {
  SetVisible(PageControl1, true);
  SelectPage(tag);
}

void TForm1::SpeedButton1Click() {
  SpeedButton1.SetDown(true);
  SpeedButton2.SetDown(false);
  const int page = current_page();
  if (page == kUninstallPage) {
    FillUninstallList();
    return;
  }
  EnableWindow(ComboBox1, TRUE);
  EnableWindow(ComboBox2, TRUE);
  SetVisible(SendSelectPanel, page == kSendToPage);
  LayoutTopPanel();
  if (page == kStartupPage) RefreshStartupList();
  if (page == kSendToPage) FillSendToList();
}

void TForm1::SpeedButton2Click() {
  SpeedButton1.SetDown(false);
  SpeedButton2.SetDown(true);
  const int page = current_page();
  if (page == kSendToPage) {
    SetVisible(SendSelectPanel, false);
    ShowSendToDisabledBox();
  } else if (page == kUninstallPage) {
    FillUninstallList();
  } else {
    ShowStartupDisabledBox();
  }
}

void TForm1::SpeedButton7Click() {
  if (current_page() == kSettingsPage) return;  // restoring the settings comes with that page
  RefreshPage(false);
}

void TForm1::RefreshPage(bool reset) {
  const int page = current_page();
  if (reset) {
    for (HWND list : {ListBox1, ListBox2, ListBox3}) ClearListBox(list);
    SpeedButton1.SetDown(true);
    SpeedButton2.SetDown(false);
    SpeedButton2.SetCaption(std::string(kDisabledBoxCaption));
  }
  PageFrameInput in;
  in.page = page;
  in.live_list_down = SpeedButton1.down();
  in.windata_exists = FileExists(paths_.settings_backup);
  in.settings_pages_visible = IsShown(PageControl2);
  in.uninstall_list_visible = IsShown(ListBox3);
  in.live_button_caption = SpeedButton1.caption();
  in.box_button_caption = SpeedButton2.caption();
  const PageFrame frame = ComputePageFrame(in);

  SpeedButton1.SetVisible(frame.live_button_visible);
  SpeedButton2.SetVisible(frame.box_button_visible);
  SpeedButton7.SetVisible(frame.refresh_visible);
  SetVisible(Panel7, frame.page_buttons_visible);
  SetVisible(Panel2, frame.selectors_visible);
  SetVisible(SendSelectPanel, frame.user_selector_visible);
  SelectCurrentUserIfNone();
  SpeedButton7.SetCaption(frame.refresh_caption);
  if (frame.refresh_glyph >= 0) SpeedButton7.SetGlyph(frame.refresh_glyph);
  RECT panel;
  GetClientRect(Panel1, &panel);
  if (panel.bottom != frame.top_panel_height) {
    SetWindowPos(Panel1, nullptr, 0, 0, panel.right, frame.top_panel_height, SWP_NOMOVE | SWP_NOZORDER);
  }
  Layout();
  // The panels are redrawn before the page fills.
  ProcessPendingMessages();

  if (frame.other_list_page >= 0) {
    SpeedButton12.tag = frame.other_list_page;
    SpeedButton12.SetGlyph(frame.other_list_glyph);
    SetHint(SpeedButton12.hwnd(), frame.other_list_hint);
    N32Caption = frame.folder_item_caption;
    N32Hint = frame.folder_item_hint;
    const std::string captions[] = {frame.column0, frame.column1};
    for (int i = 0; i < 2; ++i) {
      std::wstring text = Wide(captions[i]);
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT;
      column.pszText = text.data();
      SendMessageW(ListView2, LVM_SETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
  }
  ShowPageContent(page, frame.page_control_visible);

  switch (page) {
    case kStartupPage:
      if (SpeedButton1.down()) {
        RefreshStartupList();
        EnableWindow(ComboBox1, TRUE);
        EnableWindow(ComboBox2, TRUE);
      } else {
        SpeedButton2Click();
      }
      break;
    case kSendToPage:
      if (SpeedButton1.down()) FillSendToList(); else ShowSendToDisabledBox();
      break;
    case kUninstallPage:
      if (IsShown(ListBox3)) FillUninstallList();
      break;
    case kRecentPage:
      FillRecentList();
      break;
    case kProgramsPage:
      FillProgramsList();
      break;
    case kSettingsPage:
      if (IsShown(PageControl2)) FillSettingsPages();
      break;
  }
  SpeedButton1.SetCaption(frame.live_button_caption);
  SpeedButton2.SetCaption(frame.box_button_caption);
  SpeedButton1.SetGlyph(frame.live_button_glyph);
  SpeedButton2.SetGlyph(frame.box_button_glyph);
  LayoutTopPanel();
  SetWindowTextW(hwnd_, Wide(frame.window_caption).c_str());
}

void TForm1::ShowPageContent(int page, bool page_control_visible) {
  SetVisible(PageControl1, page_control_visible);
  SetVisible(ListView2, !page_control_visible);
  for (int p = 0; p < kPageCount; ++p)
    if (TabSheets[p]) SetVisible(TabSheets[p], page_control_visible && p == page);
}

void TForm1::SelectCurrentUserIfNone() {
  if (SendMessageW(ComboBox6, CB_GETCURSEL, 0, 0) != CB_ERR) return;
  const std::wstring me = Wide(locations_.current_profile_name());
  const LRESULT index = SendMessageW(ComboBox6, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(me.c_str()));
  if (index != CB_ERR) SendMessageW(ComboBox6, CB_SETCURSEL, index, 0);
}

void TForm1::ClearListBox(HWND list) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void TForm1::OpenHelpPage(const std::string& file) {
  const std::string folder = paths_.program_folder + "Help";
  const std::string address = folder + "\\" + file;
  auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(hwnd_, L"open", L"iexplore", Wide(address).c_str(), nullptr, SW_SHOWMAXIMIZED));
  if (result > 32) return;
  // No browser by that name: open the page with its associated program.
  const std::string page = file.substr(0, file.find('#'));
  ShellExecuteW(hwnd_, L"open", Wide(page).c_str(), nullptr, Wide(folder).c_str(), SW_SHOWNORMAL);
}

void TForm1::ListBox1KeyDown(HWND list, WPARAM key) {
  if (key != VK_DELETE) return;
  // The SendTo and uninstall pages' delete commands come with those pages.
  if (list == ListBox1) startup_page_->DeleteStartupEntry(true);
}

// ---------------------------------------------------------------------------------------
// Fill routines. Each page's own work replaces these; until then a page shows its empty
// list and the row count 0.

void TForm1::RefreshStartupList() { startup_page_->RefreshStartupList(); }

void TForm1::ShowStartupDisabledBox() { startup_page_->ShowDisabledBox(); }

void TForm1::FillSendToList() {
  ClearListBox(ListBox2);
  SetStatusText(0, "0");
}

void TForm1::ShowSendToDisabledBox() {
  ClearListBox(ListBox2);
  SetStatusText(0, "0");
}

void TForm1::FillUninstallList() {
  ClearListBox(ListBox3);
  SetStatusText(0, "0");
}

void TForm1::FillRecentList() {
  ListView_SetItemCountEx(ListView2, 0, 0);
  SetStatusText(0, "0");
}

void TForm1::FillProgramsList() {
  ListView_SetItemCountEx(ListView2, 0, 0);
  SetStatusText(0, "0");
}

void TForm1::FillSettingsPages() {
  TabCtrl_SetCurSel(PageControl2, 1);
  TabCtrl_SetCurSel(PageControl2, 0);
}

}  // namespace orvela
