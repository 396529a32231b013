// What the frame of the main window shows on each page: which tool buttons and panels are
// visible, their captions and glyph numbers, the window caption. Kept apart from the
// window so the rules can be read and tested in one place.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "window/pages.h"

namespace orvela {
inline constexpr std::array<std::string_view, kPageCount> kPageCaptions = {
    "スタートアップ", "送る （SendTo）", "プログラムの削除", "最近使ったファイル", "プログラム", "Windowsの設定"};
// Tab images of the pages in the glyph strip.
inline constexpr std::array<int, kPageCount> kPageTabImages = {0, 4, 7, 26, 32, 0};

inline constexpr std::string_view kDisabledBoxCaption = "無効 ボックス";
inline constexpr std::string_view kRefreshCaption = "最新の情報に更新";
inline constexpr std::string_view kRestoreCaption = "復元";

struct PageFrameInput {
  int page = kStartupPage;
  bool live_list_down = true;          // SpeedButton1 down (after a reset it always is)
  bool windata_exists = false;         // "data\windata.ini" exists
  bool settings_pages_visible = true;  // PageControl2 (administrators only)
  bool uninstall_list_visible = true;  // ListBox3 (administrators only)
  // Captions before this refresh: a page that is disabled keeps them.
  std::string live_button_caption;
  std::string box_button_caption;
};

struct PageFrame {
  bool live_button_visible = false;     // SpeedButton1
  bool box_button_visible = false;      // SpeedButton2
  bool refresh_visible = false;         // SpeedButton7
  bool page_buttons_visible = false;    // Panel7
  bool selectors_visible = false;       // Panel2
  bool user_selector_visible = false;   // SendSelectPanel
  bool page_control_visible = true;     // PageControl1 (hidden on the list-view pages)
  int top_panel_height = 68;            // Panel1
  std::string live_button_caption;
  std::string box_button_caption;
  std::string refresh_caption;
  int live_button_glyph = 0;
  int box_button_glyph = 1;
  int refresh_glyph = -1;               // -1: unchanged (button hidden)
  // The list-view pages: the page button that opens the other one, menu item N32 and columns.
  int other_list_page = -1;             // SpeedButton12's Tag
  int other_list_glyph = -1;
  std::string other_list_hint;
  std::string folder_item_caption, folder_item_hint;  // N32
  std::string column0, column1;
  std::string window_caption;
};

PageFrame ComputePageFrame(const PageFrameInput& in);

// "Orvela [ スタートアップ ]"
std::string WindowCaptionFor(int page);

// A hint "short|long" shows its short part as a tool tip and its long part in the status
// bar; a hint without a bar shows whole in both.
std::string_view ShortHint(std::string_view hint);
std::string_view LongHint(std::string_view hint);

}  // namespace orvela
