// The recent-files and programs pages: one virtual list view (ListView2) that lies where
// the page control would be, showing a user's recent-files shortcuts or every profile's
// Start-menu programs, with link-state marks, sorting and file actions (PopupMenu4).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <memory>
#include <optional>

#include "window/page_command_win.h"
#include "window/page_host_win.h"
#include "rows/row_detail_queue_win.h"
#include "components/my_list_view_win.h"
#include "platform/handles_win.h"
#include "recent/link_targets.h"
#include "recent/recent_rows.h"
#include "recent/recent_shell_win.h"

namespace orvela {

// Commands of PopupMenu4.
enum RecentMenuId : UINT {
  kIdOpen2 = 2401, kIdH1, kIdN30, kIdN32, kIdN27, kIdN29, kIdN35, kIdN33, kIdA2, kIdDelete4, kIdSaveList4,
  kIdN28,  // the 最近使ったファイル submenu: its id carries its hint
};

// Where the shortcuts' targets read for the state sort are kept from one run to the next:
// "Orvela\links.txt" in the user's local application data ("" when the system gives none).
std::string KnownTargetsFile();

class RecentPage : public WindowPage {
 public:
  RecentPage(PageHost& host, HWND parent);

  void FillRecentList();
  void FillProgramsList();
  // The captions of the first two columns, which differ between the two pages.
  void SetColumnCaptions(const std::string& column0, const std::string& column1);

  // The list's requests and events.
  void ListView2Data(NMLVDISPINFOW& info);
  void ListView2DataHint(int first, int last);
  void ListView2ColumnClick(int column);
  // The state column of a row still looked up is drawn muted.
  LRESULT ListView2CustomDraw(NMLVCUSTOMDRAW& draw);
  void ListView2Resize();
  void ListView2SelectItem(int row);
  // Type-to-find (LVN_ODFINDITEM): the first row from the list's start row on (round the
  // end when asked) whose name begins with the typed text; -1 when none.
  int ListView2FindItem(const NMLVFINDITEMW& find) const;

  // PopupMenu4 and its commands.
  UniqueMenu PopupMenu4Popup();
  void Open2Click();
  void H1Click();
  void N30Click(bool from_n32);
  void N27Click(bool choose_file);
  void N35Click();
  void N33Click();
  void A2Click();
  void SaveList() override;  // 一覧を保存 (Ctrl+S): the three columns as shown
  void Delete4Click();

  HWND content() const override { return ListView2; }
  void Layout(int width, int height) override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(NMHDR& header, LRESULT& result) override;
  void OnListKey(HWND list, WPARAM key) override;
  bool OnContextMenu(HWND control, POINT screen_point) override;

  const RecentRows& rows() const { return rows_; }
  // Rows whose state and icon have been looked up since the program started.
  size_t rows_looked_up() const { return rows_looked_up_; }
  TMyListView& list_view() { return ListView; }
  // The rows shown whose states and icons are still to come.
  RowDetailQueue& icons() { return *icons_waiting_; }
  // Deleting recent files and listing broken files run on a thread of their own.
  PageCommand& long_command() { return long_command_; }
  // A command's look-up ("開く", "リンク先", "追加", a folder to open) is out with the worker.
  bool looking_up() const { return looking_up_; }

  TMyListView ListView;
  HWND ListView2 = nullptr;
  std::string N32Caption, N32Hint;  // the folder item of the list's menu, set by the frame

 private:
  void Fill(int page, RecentRows rows);
  RecentRows SpareRows();
  void SetSystemImages();
  // The row is about to be shown: its state and icon are asked for.
  void LookUp(int index);
  // The look-up of a row's state (when not known) and icon (when the row was shown), for the
  // worker, and what the window's thread does with its answer; the list redraws the row.
  Lookup LookUpRow(int index);
  void TakeRowLookup(int index, std::optional<LinkState> state, std::optional<SystemIcon> icon);
  void SetRowState(RecentRow& row, LinkState state);
  // The shortcuts' targets read before, from KnownTargetsFile() the first time they are asked
  // for; kept there again after a state sort has read every row.
  LinkTargets& KnownTargets();
  void KeepKnownTargets();
  // The rows were replaced, reordered or removed: icons not found yet are asked again.
  void RowsChanged();
  // Looks up every state not yet known, the window answering meanwhile; false when the rows
  // changed first.
  bool ResolveAllStates();
  // The states of rows whose shortcut's target is known, asked for on the worker.
  void AskTargetStates(std::vector<std::pair<int, std::string>> rows);
  bool reading_targets_ = false;  // a state sort's first pass: rows not shown are only read
  size_t rows_read_ = 0;          // by that pass
  size_t states_known_ = 0;  // rows of the store whose state is known
  std::vector<int> SelectedRows() const;
  RecentRow* SelectedRow();
  bool ShowingCurrentUser() const;
  void Tell(const std::string& text);
  // The files of `gone` leave the list; `kept` names the files that could not be deleted.
  void DropDeletedRows(const std::vector<std::string>& gone, const std::vector<std::string>& kept);
  // Runs `work` on the worker: it looks the paths up, opens or adds, and gives back the
  // warning to show ("" for none), which the window's thread shows when it comes. While one
  // is out a second is ignored (a share that does not answer must not gather a pile of
  // them), until a refill drops it.
  void AskWorker(std::function<std::string()> work);
  void Answered(const std::string& warning);

  PageHost& host_;
  RecentRows rows_;
  RecentRows spare_;  // the rows before the last fill, kept for their memory
  std::string column_captions_[2];  // the first two columns' captions of the page shown
  SortState sort_;
  int page_ = kRecentPage;       // whose rows the list holds
  std::string shown_user_;       // the recent-files page's user at the last fill
  std::string recent_add_folder_, programs_add_folder_;  // kept for the run
  // States and icons come from the worker after the row is drawn: under Wine the shell takes
  // 15 to 30 ms for an icon in a folder of thousands, and a shortcut's target may be on a
  // share that does not answer.
  std::unique_ptr<RowDetailQueue> icons_waiting_;
  unsigned generation_ = 0;      // counts changes of the row store
  bool resolving_ = false;
  bool system_images_set_ = false;
  size_t rows_looked_up_ = 0;
  std::optional<LinkTargets> known_targets_;
  PageCommand long_command_;
  bool looking_up_ = false;
  // Last: they go first, and with them the answers that would reach the page's members.
  LookupClient command_answers_;
  LookupClient target_answers_;
};

}  // namespace orvela
