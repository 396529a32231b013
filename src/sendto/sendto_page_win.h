// The SendTo page: the items of the chosen user's SendTo folder (ListBox2), their Disabled
// Box, and the row menu (PopupMenu2) that disables, enables, deletes and opens the folder.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "disabled_box/entry.h"
#include "window/page_host_win.h"
#include "window/repeated_fill.h"
#include "rows/row_detail_queue_win.h"
#include "rows/row_details_win.h"
#include "system/shell_port_win.h"
#include "platform/handles_win.h"
#include "sendto/sendto_actions.h"

namespace orvela {

// Whether the volume a path is on answers, asked once per drive and fill (a drive without
// its disk takes long to say no), from the worker's threads.
class ReadableVolumes {
 public:
  bool Readable(const std::string& path);

 private:
  ThreadLock lock_;
  std::map<char, bool> known_;
};

// The row's icon and texts and whether its target is missing, read on the worker; gives
// the row's picture (0 none).
PictureKey LookUpSendToRow(EntryRecord& row, bool live, RowDetailStore& store, ReadableVolumes& volumes);

// Control and menu command ids of the page.
enum SendToControlId : UINT {
  kIdListBox2 = 1302,
  kIdN7 = 2101,    // 無効
  kIdN8,           // 有効
  kIdDelete2,      // 削除
  kIdSendtoMemu,   // フォルダを開く(&O)
  kIdN17,          // 送るに追加
  kIdSaveList2,    // 一覧を保存
};

class SendToPage : public WindowPage {
 public:
  SendToPage(PageHost& host, HWND sheet);

  // The live view: the items of the user chosen in ComboBox6. The rows show at once; icons,
  // version texts and the missing mark follow from the worker.
  void FillSendToList();
  // The Disabled Box view: one row per line of data\sendto.txt.
  void ShowSendToDisabledBox();

  HWND content() const override { return sheet_; }
  void Layout(int width, int height) override;
  void Redraw() override { InvalidateRect(ListBox2, nullptr, TRUE); }
  bool OnCommand(int id, int code, HWND control) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnContextMenu(HWND control, POINT screen_point) override;
  void OnListKey(HWND list, WPARAM key) override;
  void SaveList() override;  // 一覧を保存 (Ctrl+S)

  void ListBox2Click();
  // The row menu as it opens now; the caller shows and destroys it.
  UniqueMenu PopupMenu2Popup();
  void N7Click();  // disable
  void N8Click();  // enable
  void DeleteSendToEntry(bool ask);
  void SendtoMemuClick();
  // 送るに追加: a file or folder chosen in the shell's browser (opening on, and remembering,
  // the last one chosen) is added for the user shown.
  void N17Click();
  // Shortcuts to the paths in the SendTo folder of the user shown, in order, without asking;
  // then the list is shown anew.
  void AddEntries(const std::vector<std::string>& paths);
  void AddOneEntry(const std::string& path);

  int selected_row() const { return SelectedListRow(ListBox2); }
  const EntryRecord* selected_entry() const;
  HIMAGELIST image_list1() const { return store_.pictures(); }
  int picture_of(int row) const;
  RowDetailQueue& details() { return *details_; }

  std::vector<EntryRecord> entries;  // the rows of ListBox2
  HWND ListBox2 = nullptr;

 private:
  void FillView(bool live);
  void FillRows(bool live);
  // The row's look-up for the worker, and what the window's thread does with its answer.
  Lookup LookUpRow(int row);
  void TakeRowDetails(int row, const EntryRecord& looked_up, PictureKey picture);
  SendToContext Context();

  PageHost& host_;
  HWND sheet_;
  RowDetailStore& store_;
  Win32ShellPort shell_;
  UniqueHfont font_;
  std::vector<int> pictures_;  // by row, in store_.pictures()
  std::unique_ptr<RowDetailQueue> details_;
  std::shared_ptr<ReadableVolumes> volumes_;  // the current fill's
  std::string user_;  // the user whose folder the live rows show
  bool rows_live_ = true;
  RepeatedFill fill_;
};

}  // namespace orvela
