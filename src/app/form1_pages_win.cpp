// Page switching: every page change and every refresh passes through RefreshPage.
#include "app/form1_win.h"

#include <shellapi.h>

#include "window/controls_win.h"
#include "platform/folders_win.h"
#include "platform/message_pump_win.h"
#include "platform/wide_win.h"
#include "recent/recent_page_win.h"
#include "sendto/sendto_page_win.h"
#include "settings/settings_page_win.h"
#include "startup/startup_page_win.h"
#include "uninstall/uninstall_page_win.h"

namespace orvela {

int TForm1::current_page() const { return TabCtrl_GetCurSel(PageControl1); }

void TForm1::PageControl1Change() {
  // While the tabs have the focus, the arrow keys walk them: the focus stays for the next one.
  const bool walking_tabs = GetFocus() == PageControl1;
  RefreshPage(true);
  if (!walking_tabs) FocusShownPage();
}

void TForm1::SelectPage(int page) {
  TabCtrl_SetCurSel(PageControl1, page);
  RefreshPage(true);
  FocusShownPage();
}

void TForm1::FocusShownPage() {
  if (WindowPage* page = PageObject(current_page())) FocusWithRow(FirstListOrTabStop(page->content()));
}

void TForm1::SpeedButton9Click(int tag) {
  if (tag < 0 || tag >= TabCtrl_GetItemCount(PageControl1)) return;  // a page this Windows lacks
  SetVisible(PageControl1, true);
  SelectPage(tag);
}

void TForm1::SpeedButton1Click() {
  SpeedButton1.SetDown(true);
  SpeedButton2.SetDown(false);
  const int page = current_page();
  if (page == kUninstallPage) {
    uninstall_page().FillUninstallList();
    return;
  }
  startup_page_->EnableSelectors(true);
  SetVisible(SendSelectPanel, page == kSendToPage);
  LayoutTopPanel();
  if (page == kStartupPage) startup_page_->RefreshStartupList();
  if (page == kSendToPage) sendto_page().FillSendToList();
}

void TForm1::SpeedButton2Click() {
  SpeedButton1.SetDown(false);
  SpeedButton2.SetDown(true);
  const int page = current_page();
  if (page == kSendToPage) {
    SetVisible(SendSelectPanel, false);
    sendto_page().ShowSendToDisabledBox();
  } else if (page == kUninstallPage) {
    uninstall_page().FillUninstallList();
  } else {
    startup_page_->ShowDisabledBox();
  }
}

void TForm1::SpeedButton7Click() {
  if (current_page() != kSettingsPage) return RefreshPage(false);
  if (settings_page().allowed()) settings_page().RestoreSettings();
}

void TForm1::SetRestoreVisible(bool visible) {
  if (current_page() != kSettingsPage) return;
  SpeedButton7.SetVisible(visible && settings_page().allowed());
  SpeedButton7.SetGlyph(13);
  LayoutTopPanel();
}

void TForm1::RefreshPage(bool reset) {
  const unsigned this_refresh = ++refresh_count_;
  const int page = current_page();
  PageObject(page);  // a page made now is made before the messages below are answered, apart from its fill
  if (reset) {
    ClearListBox(startup_page_->ListBox1);
    if (sendto_page_) ClearListBox(sendto_page_->ListBox2);
    if (uninstall_page_) ClearListBox(uninstall_page_->ListBox3);
    SpeedButton1.SetDown(true);
    SpeedButton2.SetDown(false);
    SpeedButton2.SetCaption(std::string(kDisabledBoxCaption));
    // The page left behind said its own row count and row: the new page says its own.
    SetStatusText(0, "");
    SetStatusText(1, "");
  }
  PageFrameInput in;
  in.page = page;
  in.live_list_down = SpeedButton1.down();
  in.windata_exists = FileExists(paths_.settings_backup);
  in.settings_pages_visible = page == kSettingsPage && settings_page().allowed();  // only asked there
  in.uninstall_list_visible = uninstall_page_ ? uninstall_page_->allowed() : is_admin_;
  in.live_button_caption = SpeedButton1.caption();
  in.box_button_caption = SpeedButton2.caption();
  const PageFrame frame = ComputePageFrame(in);

  SpeedButton1.SetVisible(frame.live_button_visible);
  SpeedButton2.SetVisible(frame.box_button_visible);
  SpeedButton7.SetVisible(frame.refresh_visible);
  SetVisible(Panel7, frame.page_buttons_visible);
  SetVisible(startup_page_->Panel2, frame.selectors_visible);
  SetVisible(SendSelectPanel, frame.user_selector_visible);
  SelectCurrentUserIfNone();
  SpeedButton7.SetCaption(frame.refresh_caption);
  if (frame.refresh_glyph >= 0) SpeedButton7.SetGlyph(frame.refresh_glyph);
  RECT panel;
  GetClientRect(Panel1, &panel);
  if (panel.bottom != Scaled(frame.top_panel_height)) {
    SetWindowPos(Panel1, nullptr, 0, 0, panel.right, Scaled(frame.top_panel_height), SWP_NOMOVE | SWP_NOZORDER);
  }
  Layout();
  // The panels are redrawn before the page fills.
  ProcessPendingMessages();
  // A click that waited in the queue (a tab, a page button, the refresh button) has run
  // its own refresh to the end meanwhile: the page it showed is the current one, and going
  // on with this page's fill would put it under a frame that no longer matches.
  if (refresh_count_ != this_refresh) return;

  if (frame.other_list_page >= 0) {
    SpeedButton12.tag = frame.other_list_page;
    SpeedButton12.SetGlyph(frame.other_list_glyph);
    SpeedButton12.SetName(frame.other_list_hint);
    SetHint(SpeedButton12.hwnd(), frame.other_list_hint);
    recent_page().N32Caption = frame.folder_item_caption;
    recent_page().N32Hint = frame.folder_item_hint;
    recent_page().SetColumnCaptions(frame.column0, frame.column1);
  }
  ShowPageContent(page, frame.page_control_visible);

  switch (page) {
    case kStartupPage:
      if (SpeedButton1.down()) {
        startup_page_->RefreshStartupList();
        startup_page_->EnableSelectors(true);
      } else {
        SpeedButton2Click();
      }
      break;
    case kSendToPage:
      if (SpeedButton1.down()) sendto_page().FillSendToList(); else sendto_page().ShowSendToDisabledBox();
      break;
    case kUninstallPage:
      if (uninstall_page().allowed()) uninstall_page().FillUninstallList();
      break;
    case kRecentPage:
      recent_page().FillRecentList();
      break;
    case kProgramsPage:
      recent_page().FillProgramsList();
      break;
    case kSettingsPage:
      if (settings_page().allowed()) settings_page().ShowPage();
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
  if (recent_page_ || !page_control_visible) SetVisible(recent_page().ListView2, !page_control_visible);
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

std::string TForm1::selected_user() const {
  const LRESULT index = SendMessageW(ComboBox6, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? std::string() : ComboItemText(ComboBox6, static_cast<int>(index));
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

// Only a shown window refills: the selector is filled before the window is shown.
void TForm1::ComboBox6Change() {
  if (!IsWindowVisible(hwnd_)) return;
  if (current_page() == kSendToPage && SpeedButton1.down()) sendto_page().FillSendToList();
  if (current_page() == kRecentPage) recent_page().FillRecentList();
}

// The Delete key in a page's list goes to that page.
void TForm1::ListBox1KeyDown(HWND list, WPARAM key) {
  for (WindowPage* page : AllPages()) page->OnListKey(list, key);
}

}  // namespace orvela
