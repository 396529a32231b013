// The startup page of the main window: the list of startup entries (ListBox1), its row
// menu (PopupMenu1) and the kind and location selectors. Handlers read the selection,
// call the page's logic and rebuild the list.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "disabled_box/entry.h"
#include "system/program_lookup_win.h"
#include "window/page_host_win.h"
#include "window/repeated_fill.h"
#include "rows/row_detail_queue_win.h"
#include "rows/row_details_win.h"
#include "components/speed_button_win.h"
#include "platform/handles_win.h"
#include "platform/message_pump_win.h"
#include "startup/run_keys_backup.h"
#include "startup/startup_actions.h"
#include "startup/startup_row_win.h"
#include "startup/startup_shell_win.h"
#include "startup/task_scheduler_win.h"

namespace orvela {

// Control ids of the page.
enum StartupControlId {
  kIdListBox1 = 1301,
  kIdComboBox1 = 1501, kIdComboBox2, kIdSpeedButton3, kIdSpeedButton4,
};

// Menu command ids of PopupMenu1.
enum StartupMenuId : UINT {
  kIdN1 = 2001,       // 無効にする
  kIdN3,              // 有効にする
  kIdDelete1,         // 削除
  kIdN5,              // 保存内容の読込
  kIdUndo1,           // 元に戻す
  kIdN16,             // ファイルを指定する
  kIdN24,             // 実行中のアプリから選択する
  kIdOptionMenu2,     // フォルダを開く(&O)
  kIdWindowsEnable,   // Windows の無効を解除
  kIdDisableAgain,    // もう一度無効にする
  kIdSaveList1,       // 一覧を保存
  kIdCopyValue,       // 値をコピー(&C)
};

class StartupPage : public WindowPage {
 public:
  // Makes the page's list on `sheet` and its selector row in the host's tool panel.
  StartupPage(PageHost& host, HWND sheet);

  // Rebuilds the entry table and ListBox1 from the Startup folders, the Run keys, Winlogon's
  // values other than Windows' own and the log-on tasks. The window answers while the
  // sources are read; the rows then show at once with what the run's
  // detail store already knows, and the rest of their details follow while it is idle.
  void RefreshStartupList();
  // The Disabled Box view, filled the same way.
  void ShowDisabledBox();
  // Rebuilds the view that is shown: the live list or the Disabled Box.
  void RebuildShownList();
  bool live_list_shown() const;

  // The selectors follow the row only in the live list.
  void EnableSelectors(bool enabled);

  HWND content() const override { return sheet_; }
  HWND selector_row() const override { return Panel2; }
  void Layout(int width, int height) override;
  void Redraw() override { InvalidateRect(ListBox1, nullptr, TRUE); }
  bool OnCommand(int id, int code, HWND control) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnContextMenu(HWND control, POINT screen_point) override;
  void OnListKey(HWND list, WPARAM key) override;

  void ListBox1Click();
  // The row menu as it opens now; the caller shows and destroys it.
  UniqueMenu PopupMenu1Popup();
  void OptionMenu2Click();
  void CopyValueClick();  // the selected row's command as text on the clipboard
  void OpenEntryFolder(int row);
  void ComboBox1Change();
  void ComboBox2Change();
  void DeleteStartupEntry(bool ask);
  void N1Click();           // disable
  void N3Click();           // enable
  void SpeedButton3Click(); // apply a change of kind
  void SpeedButton4Click(); // apply a change of location
  void N5Click();           // reload the saved Run keys
  void Undo1Click();        // put the Run keys back as saved
  // N16 (a file chosen) and N24 (a running application chosen): the program is added
  // through AddEntries; the chooser opens in, and remembers, the folder of the last one.
  void N16Click(int sender);
  // Asks once, in TOKBottomDlg, for a kind and a location and adds every path with them,
  // in order; then the list is shown anew. Cancel adds nothing.
  void AddEntries(const std::vector<std::string>& paths);
  // Kind 0: a shortcut to `path` in the Startup folder of profile `location`; kind 1: the
  // Run value of location `location` (AddRunValue).
  void AddOneEntry(const std::string& path, int kind, int location);
  void WindowsEnableClick();  // Windows' own switch of the entry goes on
  void DisableAgainClick();   // a returned entry leaves its key again
  void SaveList() override;   // 一覧を保存 (Ctrl+S)
  const RunKeysBackup& run_keys_backup() const { return backup_; }

  int selected_row() const;
  const EntryRecord* selected_entry() const;
  COLORREF kind_selector_colour() const { return kind_colour_; }
  COLORREF location_selector_colour() const { return location_colour_; }
  // ImageList1: the pictures of the rows of every list; picture_of(row) is a row's (-1 none).
  HIMAGELIST image_list1() const { return store_.pictures(); }
  int picture_of(int row) const;
  // The rows whose icons and version texts are still to come.
  RowDetailQueue& details() { return *details_; }
  // The scheduler's log-on tasks of this fill are still to come.
  bool listing_tasks() const { return task_answers_.waiting() > 0; }

  // The rows of ListBox1, live entries or Disabled Box lines.
  std::vector<EntryRecord> entries;

  // Controls, by their names on the form.
  HWND ListBox1 = nullptr;
  HWND Panel2 = nullptr;  // the kind and location selectors
  HWND ComboBox1 = nullptr, ComboBox2 = nullptr;
  SpeedButton SpeedButton3, SpeedButton4;

 private:
  void CreateControls();
  void DrawKindItem(const DRAWITEMSTRUCT& item) const;
  void DrawLocationItem(const DRAWITEMSTRUCT& item) const;
  StartupContext Context();
  // One fill of a view; a fill asked for while one runs (from a message answered meanwhile)
  // follows it, for the view shown then.
  void FillView(bool live);
  void FillRows(bool live);
  // The rows of the Startup folders, the Run keys and Winlogon.
  std::vector<EntryRecord> LiveRows(MessagePacer& pace);
  // The rows become the list's; every row's details are then looked up on the worker, but for
  // the first `kept`, the rows shown now, which keep theirs.
  void ShowRows(std::vector<EntryRecord> rows, bool live, size_t kept = 0);
  // The scheduler's log-on tasks join the live rows when it answers.
  void AskForLogonTasks();
  // The row's look-up for the worker, and what the window's thread does with its answer.
  Lookup LookUpRow(int row);
  void TakeRowDetails(int row, const EntryRecord& looked_up, PictureKey picture);
  // What the list holds as the row's string; `checking` while its details are looked up.
  std::string RowText(const EntryRecord& entry, bool checking) const;
  // ComboBox2's chosen location (Run location or profile index); -1 when none.
  int ChosenLocation() const;
  int ComboItemOfLocation(int location) const;

  PageHost& host_;
  HWND sheet_;
  RowDetailStore& store_;
  std::vector<int> pictures_;  // by row, in store_.pictures()
  std::unique_ptr<RowDetailQueue> details_;
  bool rows_live_ = true;  // the rows shown are live entries, not Disabled Box lines
  RepeatedFill fill_;
  Win32ProgramLookup system_;
  Win32StartupShell shell_;
  Win32TaskScheduler tasks_;
  RunKeysBackup backup_;
  std::vector<int> location_choices_;  // ComboBox2's items: the location of each
  UniqueHfont font_;
  COLORREF kind_colour_;
  COLORREF location_colour_;
  // Last: it goes first, and with it the answer that would reach the page's members.
  LookupClient task_answers_;
};

}  // namespace orvela
