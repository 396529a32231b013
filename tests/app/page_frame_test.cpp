#include <doctest.h>

#include "app/page_frame.h"

using namespace orvela;

namespace {
PageFrame On(int page, bool live = true) {
  PageFrameInput in;
  in.page = page;
  in.live_list_down = live;
  in.live_button_caption = "前";
  in.box_button_caption = std::string(kDisabledBoxCaption);
  return ComputePageFrame(in);
}
}  // namespace

TEST_CASE("frame of each page") {
  const PageFrame startup = On(kStartupPage);
  CHECK(startup.window_caption == "Orvela [ スタートアップ ]");
  CHECK(startup.live_button_caption == "スタートアップ");
  CHECK(startup.box_button_caption == "無効 ボックス");
  CHECK((startup.selectors_visible && !startup.user_selector_visible && !startup.page_buttons_visible));
  CHECK(startup.top_panel_height == 68);
  CHECK(startup.refresh_glyph == 13);

  const PageFrame sendto = On(kSendToPage);
  CHECK((sendto.user_selector_visible && sendto.live_button_glyph == 4 && sendto.box_button_glyph == 1));
  CHECK_FALSE(On(kSendToPage, false).user_selector_visible);  // the Disabled Box view has no user

  const PageFrame uninstall = On(kUninstallPage);
  CHECK(uninstall.top_panel_height == 40);
  CHECK(uninstall.live_button_caption == "プログラム");
  CHECK(uninstall.box_button_caption == "更新プログラム");
  CHECK((uninstall.live_button_glyph == 7 && uninstall.box_button_glyph == 7));

  SUBCASE("a page disabled for non-administrators keeps the captions it had") {
    PageFrameInput in;
    in.page = kUninstallPage;
    in.uninstall_list_visible = false;
    in.live_button_caption = "スタートアップ";
    in.box_button_caption = "無効 ボックス";
    const PageFrame f = ComputePageFrame(in);
    CHECK(f.live_button_caption == "スタートアップ");
    CHECK((f.live_button_glyph == 0 && f.box_button_glyph == 1));
  }
}

TEST_CASE("the two list-view pages open each other and hide the page control") {
  const PageFrame recent = On(kRecentPage);
  CHECK((recent.other_list_page == kProgramsPage && recent.other_list_glyph == 32));
  CHECK(recent.other_list_hint == "プログラム");
  CHECK(recent.refresh_glyph == 19);
  CHECK((recent.user_selector_visible && recent.page_buttons_visible && !recent.page_control_visible));
  CHECK((!recent.live_button_visible && !recent.box_button_visible));
  CHECK(recent.column1 == "最近使ったファイルの名前");

  const PageFrame programs = On(kProgramsPage);
  CHECK((programs.other_list_page == kRecentPage && programs.other_list_glyph == 26));
  CHECK(programs.folder_item_hint == "プログラム フォルダ");
  CHECK_FALSE(programs.user_selector_visible);
}

TEST_CASE("settings page: restore button only with a backup file and rights") {
  PageFrameInput in;
  in.page = kSettingsPage;
  CHECK_FALSE(ComputePageFrame(in).refresh_visible);
  in.windata_exists = true;
  const PageFrame f = ComputePageFrame(in);
  CHECK((f.refresh_visible && f.refresh_caption == "復元" && f.top_panel_height == 40));
  in.settings_pages_visible = false;
  CHECK_FALSE(ComputePageFrame(in).refresh_visible);
}

TEST_CASE("hints split at the first bar") {
  CHECK(ShortHint("適用|変更内容を適用する") == "適用");
  CHECK(LongHint("適用|変更内容を適用する") == "変更内容を適用する");
  CHECK(ShortHint("種類を変更する") == "種類を変更する");
  CHECK(LongHint("種類を変更する") == "種類を変更する");
}
