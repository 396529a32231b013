// The startup page of the main window: the list of startup entries (ListBox1), its row
// menu (PopupMenu1) and the kind and location selectors. Handlers read the selection,
// call the page's logic and rebuild the list.
#pragma once
#include <windows.h>

#include <string>

#include "platform/handles_win.h"
#include "startup/entry.h"
#include "startup/run_keys_backup.h"
#include "startup/startup_actions.h"
#include "startup/startup_row_win.h"
#include "startup/startup_shell_win.h"
#include "startup/startup_system_win.h"

namespace orvela {

class TForm1;

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
};

class StartupPage {
 public:
  explicit StartupPage(TForm1& form);

  // Rebuilds the entry table, ImageList1 and ListBox1 from the Startup folders and Run keys.
  void RefreshStartupList();
  // The Disabled Box view.
  void ShowDisabledBox();
  bool live_list_shown() const;

  // Messages of the page's controls; true when handled.
  bool OnCommand(int id, int code, HWND control);
  bool OnDrawItem(const DRAWITEMSTRUCT& item);
  bool OnContextMenu(HWND control, POINT screen_point);

  void ListBox1Click();
  // The row menu as it opens now; the caller shows and destroys it.
  UniqueMenu PopupMenu1Popup();
  void OptionMenu2Click();
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
  const RunKeysBackup& run_keys_backup() const { return backup_; }

  int selected_row() const;
  const EntryRecord* selected_entry() const;
  COLORREF kind_selector_colour() const { return kind_colour_; }
  COLORREF location_selector_colour() const { return location_colour_; }

 private:
  void DrawKindItem(const DRAWITEMSTRUCT& item) const;
  void DrawLocationItem(const DRAWITEMSTRUCT& item) const;
  StartupContext Context();
  // Rebuilds the view that is shown: the live list or the Disabled Box.
  void RebuildShownList();

  TForm1& form_;
  Win32StartupSystem system_;
  Win32StartupShell shell_;
  RunKeysBackup backup_;
  UniqueHfont font_;
  COLORREF kind_colour_;
  COLORREF location_colour_;
};

}  // namespace orvela
