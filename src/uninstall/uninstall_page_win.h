// The uninstall page (for administrators): the installed programs or updates in ListBox3,
// ordered by the hidden sort list ListView1, with search, sorting, uninstalling, removal
// of uninstall information with a backup, the saved-information dialog and the details.
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/page_command_win.h"
#include "window/page_host_win.h"
#include "window/repeated_fill.h"
#include "rows/row_detail_queue_win.h"
#include "rows/row_details_win.h"
#include "components/speed_button_win.h"
#include "platform/handles_win.h"
#include "platform/plain_subclass_win.h"
#include "uninstall/uninstall_actions.h"
#include "uninstall/uninstall_list.h"
#include "uninstall/uninstall_system_win.h"

namespace orvela {

enum UninstallControlId { kIdListBox3 = 1303, kIdSpeedButton8 = 1305 };

// Menu command ids of PopupMenu3.
enum UninstallMenuId : UINT {
  kIdDetail1 = 2301,  // 詳細
  kIdFind1,           // 検索(&S)  Ctrl+F
  kIdFindNext1,       // 次を検索  F3
  kIdN23,             // 整列 > タイトル名順
  kIdN22,             // 整列 > 導入日順
  kIdOpen1,           // フォルダを開く
  kIdN11,             // レジストリ > バックアップ情報(&B)
  kIdN19,             // アンインストール(&U)
  kIdDelete3,         // 削除(&D)
  kIdN13,             // 全ての情報を表示
  kIdSaveList3,       // 一覧を保存
  kIdN21,             // 整列 (the submenu: its id carries its hint)
};

inline constexpr std::string_view kNothingMoreFound = "他には、見つかりません！";

class UninstallPage : public WindowPage {
 public:
  UninstallPage(PageHost& host, HWND sheet);
  ~UninstallPage() override;

  // Reads every source afresh and rebuilds the page (SpeedButton1 down: programs;
  // SpeedButton2 down: updates). The window answers while the registry is read. Nothing
  // while the page is not allowed.
  void FillUninstallList();
  // Rebuilds the records, icons and ListBox3 from ListView1 in its present order.
  void BuildUninstallEntries();
  // Without administrator rights the page stays disabled and its list hidden.
  void SetAllowed(bool allowed);
  bool allowed() const;

  HWND content() const override { return sheet_; }
  void Layout(int width, int height) override;
  void Redraw() override { InvalidateRect(ListBox3, nullptr, TRUE); }
  bool OnCommand(int id, int code, HWND control) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnContextMenu(HWND control, POINT screen_point) override;
  void OnListKey(HWND list, WPARAM key) override;
  void SaveList() override;  // 一覧を保存 (Ctrl+S)

  // Handlers, by their names on the form.
  void ListBox3Click();
  void ListBox3DblClick();
  void SpeedButton8Click();  // 他の情報も表示
  void N22Click(int tag);    // 0 title, 1 date
  void Find1Click();
  void FindNext1Click();
  void FindUninstallEntry(int start);
  void N13Click();           // 全ての情報を表示
  void Open1Click();
  void N11Click();           // バックアップ情報(&B)
  void N19Click();           // アンインストール(&U)
  void Timer2Timer();
  void Delete3Click();       // 削除(&D), the Delete key
  void Detail1Click();
  // The row menu as it opens now; the caller shows and destroys it.
  UniqueMenu PopupMenu3Popup();
  // Takes one row out of every structure of the page.
  void RemoveUninstallEntry(int row);

  int selected_row() const { return SelectedListRow(ListBox3); }
  bool show_all() const { return show_all_; }
  bool sort_ascending() const { return UninstallSortAscending; }
  const UninstallWatch& watch() const { return watch_; }
  bool timer2_running() const { return timer2_running_; }
  int picture_of(int row) const;
  RowDetailQueue& details() { return *details_; }
  const UninstallSystem& system() const { return system_; }
  // Removing uninstall information runs on a thread of its own.
  PageCommand& removing() { return removing_; }

  // ListView1, the hidden sort list: order and location of every row. `entries` and the
  // rows of ListBox3 follow it index for index.
  std::vector<SortRow> ListView1;
  std::vector<UninstallEntry> entries;
  std::string SearchText;
  int SearchStart = 0;
  bool UninstallSortAscending = false;

  HWND ListBox3 = nullptr;
  HWND Panel6 = nullptr;  // the strip above the list
  SpeedButton SpeedButton8;

 private:
  static LRESULT CALLBACK SheetProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  PlainSubclass sheet_hook_;  // the sheet's messages pass SheetProc first
  void FillOnce();
  // The row's icon, for the worker: the program's file may lie on a drive that does not
  // answer. The answer puts the picture where drawing finds it.
  Lookup LookUpRow(int row);
  void TakeRowDetails(int row, const std::string& icon_file, PictureKey picture);
  void StartDetails();
  // What the list holds as the rows' strings.
  std::vector<std::string> RowTexts() const;
  void SelectRow(int row);
  // The picture of the selected entry as the bitmap of "アンインストール(&U)".
  HBITMAP EntryMenuBitmap(int row);
  std::optional<int> RowOf(const UninstallKey& key) const { return RowOfKey(ListView1, key); }
  UninstallContext Context();

  PageHost& host_;
  HWND sheet_;
  RowDetailStore& store_;
  std::vector<int> pictures_;            // by row, in store_.pictures()
  std::vector<bool> pictures_known_;     // by row
  std::unique_ptr<RowDetailQueue> details_;
  Win32UninstallSystem system_;
  UninstallWatch watch_;
  bool timer2_running_ = false;
  bool show_all_ = false;
  RepeatedFill fill_;
  UniqueHfont font_;
  UniqueHbrush list_brush_;
  UniqueHbitmap menu_bitmap_;
  PageCommand removing_;
};

}  // namespace orvela
