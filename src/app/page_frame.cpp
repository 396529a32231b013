#include "app/page_frame.h"

#include "platform/app_title.h"

namespace orvela {

std::string WindowCaptionFor(int page) {
  return std::string(kAppTitle) + " [ " + std::string(kPageCaptions[page]) + " ]";
}

PageFrame ComputePageFrame(const PageFrameInput& in) {
  PageFrame f;
  const int page = in.page;
  f.live_button_visible = page < kRecentPage;
  f.box_button_visible = f.live_button_visible;
  f.refresh_visible = page != kSettingsPage || (in.windata_exists && in.settings_pages_visible);
  f.page_buttons_visible = page == kRecentPage || page == kProgramsPage;
  f.selectors_visible = page == kStartupPage;
  f.user_selector_visible = (page == kSendToPage || page == kRecentPage) && in.live_list_down;
  f.refresh_caption = std::string(kRefreshCaption);
  if (f.refresh_visible) f.refresh_glyph = page == kRecentPage ? 19 : 13;
  f.top_panel_height = (page == kUninstallPage || page == kSettingsPage) ? 40 : 68;
  f.live_button_caption = in.live_button_caption;
  f.box_button_caption = in.box_button_caption;

  switch (page) {
    case kStartupPage:
      f.live_button_caption = std::string(kPageCaptions[page]);
      break;
    case kSendToPage:
      f.live_button_caption = std::string(kPageCaptions[page]);
      f.live_button_glyph = 4;
      break;
    case kUninstallPage:
      if (in.uninstall_list_visible) {
        f.live_button_caption = "プログラム";
        f.box_button_caption = "更新プログラム";
        f.live_button_glyph = 7;
        f.box_button_glyph = 7;
      }
      break;
    case kSettingsPage:
      if (in.settings_pages_visible) f.refresh_caption = std::string(kRestoreCaption);
      break;
    case kRecentPage:
      f.other_list_page = kProgramsPage;
      f.other_list_glyph = 32;
      f.other_list_hint = std::string(kPageCaptions[kProgramsPage]);
      f.folder_item_caption = "最近使ったファイル";
      f.folder_item_hint = "Recent フォルダ";
      f.column0 = "更新日時";
      f.column1 = "最近使ったファイルの名前";
      f.page_control_visible = false;
      break;
    case kProgramsPage:
      f.other_list_page = kRecentPage;
      f.other_list_glyph = 26;
      f.other_list_hint = std::string(kPageCaptions[kRecentPage]);
      f.folder_item_caption = "プログラム";
      f.folder_item_hint = "プログラム フォルダ";
      f.column0 = "ユーザー名";
      f.column1 = "プログラムのタイトル";
      f.page_control_visible = false;
      break;
  }
  f.window_caption = WindowCaptionFor(page);
  return f;
}

std::string_view ShortHint(std::string_view hint) {
  const size_t bar = hint.find('|');
  return bar == std::string_view::npos ? hint : hint.substr(0, bar);
}

std::string_view LongHint(std::string_view hint) {
  const size_t bar = hint.find('|');
  return bar == std::string_view::npos ? hint : hint.substr(bar + 1);
}

}  // namespace orvela
