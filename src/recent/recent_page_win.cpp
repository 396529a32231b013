#include "recent/recent_page_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <exception>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "rows/list_export.h"
#include "rows/row_text.h"
#include "window/controls_win.h"
#include "components/link_file.h"
#include "components/shell_link_win.h"
#include "recent/recent_delete_win.h"
#include "platform/app_title.h"
#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/message_pump_win.h"
#include "platform/wait_cursor_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

constexpr int kIdListView2 = 1304;
constexpr char kDeleteCaption[] = "削除確認";
// Wide enough for "状態" and a sort mark beside it; at 50 the caption shrank to "...".
constexpr int kStateColumnWidth = 66;
// Far beyond the targets of any Recent folder: a larger file is damaged and read only so far.
constexpr size_t kLinkTargetsLimit = 32u << 20;

// The system's locale order as bytes: LCMapString's sort key compares like lstrcmp.
std::string LocaleSortKey(const std::string& text) {
  const std::wstring wide = Wide(text);
  const int size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, wide.c_str(), static_cast<int>(wide.size()),
                                nullptr, 0);
  if (size <= 0) return text;
  std::string key(static_cast<size_t>(size), '\0');
  LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, wide.c_str(), static_cast<int>(wide.size()),
               reinterpret_cast<LPWSTR>(key.data()), size);
  return key;
}

void CopyText(std::string_view text, LVITEMW& item) {
  if (!item.pszText || item.cchTextMax <= 0) return;
  const std::wstring wide = Wide(text);
  const size_t length = std::min(wide.size(), static_cast<size_t>(item.cchTextMax - 1));
  std::copy_n(wide.c_str(), length, item.pszText);
  item.pszText[length] = L'\0';
}

const FileFilter kOpenDialog1Filter{"アプリケーション(*.exe)", "*.exe", true};
constexpr char kLookingUp[] = "確認しています...";

// What the commands do on the worker: a target may be on a share that does not answer, and
// the shell's "open" of such a path may wait as long. Each gives back the warning to show
// ("" for none); the shell's own questions and boxes belong to `owner`.
std::string OpenEntry(const std::string& path, HWND owner) {
  const OpenChoice choice = ChooseWhatToOpen(path, TShellLink(), owner);
  if (choice.kind == OpenChoice::Kind::kTargetGone) return "リンク先が見つかりません。\n" + path;
  if (choice.kind == OpenChoice::Kind::kCannotOpen || !OpenPath(owner, choice.path, choice.folder))
    return "開くことができません。\n" + choice.path;
  return {};
}

std::string OpenFolder(const std::string& folder, HWND owner) {
  if (folder.empty() || !FolderExists(folder)) return "フォルダが見つかりません。\n" + folder;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner, L"open", Wide(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32 ? std::string() : "フォルダを開けませんでした。\n" + folder;
}

// The shortcut's target when it exists, else the shortcut itself; never asks the user.
std::string TargetOf(const std::string& link) {
  std::string target;
  TShellLink().GetLinkToPath(link, target, nullptr);
  return target;
}

std::string AddRecentDocument(const std::string& path) {
  // A shortcut that resolves to itself has lost its target; a shortcut is never made a
  // recent document of its own.
  if (HasLinkExtension(path) || !FileExists(path)) return "追加できるファイルが見つかりません。\n" + path;
  SHAddToRecentDocs(SHARD_PATHW, Wide(path).c_str());
  return {};
}

}  // namespace

RecentPage::RecentPage(PageHost& host, HWND parent) : host_(host), long_command_(host) {
  ListView.Create(parent, kIdListView2,
                  WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                  WS_EX_CLIENTEDGE);
  ListView2 = ListView.hwnd();
  long_command_.SetPage(ListView2);
  SetControlFont(ListView2, host_.ui_font());
  ListView_SetExtendedListViewStyle(ListView2, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP);
  // Overlays come with each row's image: the list asks for them.
  ListView_SetCallbackMask(ListView2, LVIS_OVERLAYMASK);
  const char* columns[] = {"更新日時", "最近使ったファイルの名前", "状態"};
  const int widths[] = {host_.dpi().Scale(150), host_.dpi().Scale(400), host_.dpi().Scale(kStateColumnWidth)};
  for (int i = 0; i < 3; ++i) {
    std::wstring text = Wide(columns[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text.data();
    column.cx = widths[i];
    column.iSubItem = i;
    SendMessageW(ListView2, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  ListView.SetColumnImageList(host_.glyphs());
  icons_waiting_ = std::make_unique<RowDetailQueue>(ListView2, RowDetailQueue::OnWorker{}, [this](int row) { return LookUpRow(row); });
  host_.SetMenuHint(kIdN30, "選択したショートカットのリンク先");
  host_.SetMenuHint(kIdN27, "選択したリストのファイルを追加する");
  host_.SetMenuHint(kIdN28, "選択したファイルをスタートメニューへ追加する");
}

void RecentPage::SetColumnCaptions(const std::string& column0, const std::string& column1) {
  column_captions_[0] = column0;
  column_captions_[1] = column1;
  const std::string captions[] = {column0, column1};
  for (int i = 0; i < 2; ++i) {
    std::wstring text = Wide(captions[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = text.data();
    SendMessageW(ListView2, LVM_SETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void RecentPage::Layout(int width, int) {
  const Dpi dpi = host_.dpi();
  const int name_width =
      width - dpi.Scale(150) - dpi.Scale(kStateColumnWidth) - GetSystemMetrics(SM_CXVSCROLL) - dpi.Scale(4);
  ListView_SetColumnWidth(ListView2, 1, std::max(dpi.Scale(100), name_width));
  ListView2Resize();
}

// ---------------------------------------------------------------------------------------
// The fills: names and times only; icons and states wait until a row is shown.

void RecentPage::FillRecentList() {
  WaitCursor busy;
  shown_user_ = host_.selected_user();
  const ProfileLocations& locations = host_.locations();
  const std::optional<int> profile = locations.ProfileIndexOf(shown_user_);
  RecentRows rows = SpareRows();
  rows.rows.reserve(rows_.size());  // a refill is mostly as long as the list it replaces
  if (profile && !shown_user_.empty()) ListRecentShortcuts(locations.FolderOf(FolderKind::kRecent, *profile), rows);
  Fill(kRecentPage, std::move(rows));
}

void RecentPage::FillProgramsList() {
  WaitCursor busy;
  const ProfileLocations& locations = host_.locations();
  RecentRows rows = SpareRows();
  for (int i = 0; i < static_cast<int>(locations.profiles().size()); ++i)
    ListProgramsEntries(locations.FolderOf(FolderKind::kPrograms, i), locations.profiles()[i], rows);
  Fill(kProgramsPage, std::move(rows));
}

RecentRows RecentPage::SpareRows() {
  // The store of the fill before the last: its memory is the process's already, which
  // spares a fill of ten thousand rows the faults of fresh pages.
  RecentRows rows = std::move(spare_);
  rows.Clear();
  return rows;
}

void RecentPage::SetSystemImages() {
  if (system_images_set_) return;
  system_images_set_ = true;
  // The system's small images, taken for the root of the program's drive: asked with the
  // first icon, as the shell takes a while to make them.
  SHFILEINFOW info{};
  const std::string root = host_.paths().program_folder.substr(0, 3);
  auto system_list = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(Wide(root).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (!system_list) return;
  ListView_SetImageList(ListView2, system_list, LVSIL_SMALL);
  // The list hands its small images to the header too: the sort marks come back.
  ListView.SetColumnImageList(host_.glyphs());
}

void RecentPage::Fill(int page, RecentRows rows) {
  if (looking_up_) {
    // A drive that never answers must not hold the commands back for good: a refill or a
    // switch of pages lets them go, and the answer of the old rows' look-up goes.
    command_answers_.Forget();
    looking_up_ = false;
    if (!long_command_.running()) host_.SetStatusText(1, "");
  }
  sort_ = SortState{};
  for (int column = 1; column < 3; ++column) ListView.SetColumnImage(column, -1);
  ListView.SetColumnImage(0, sort_.image);
  // Only the rows that are selected or focused are told they are no more: the list would
  // otherwise hear about every one of ten thousand rows. The count is set once, so a list
  // of the same length keeps its scroll bar and needs no new layout.
  // Many rows are unselected with drawing off (see A2Click); turning it on again costs a
  // layout of its own, a few milliseconds, which a refill with a row or two selected spares.
  const std::vector<int> selected = SelectedRows();
  const bool many = selected.size() > 64;
  if (many) SendMessageW(ListView2, WM_SETREDRAW, FALSE, 0);
  for (int i : selected) ListView_SetItemState(ListView2, i, 0, LVIS_SELECTED);
  const int focused = ListView_GetNextItem(ListView2, -1, LVNI_FOCUSED);
  if (focused >= 0) ListView_SetItemState(ListView2, focused, 0, LVIS_FOCUSED);
  if (many) SendMessageW(ListView2, WM_SETREDRAW, TRUE, 0);
  page_ = page;
  spare_ = std::move(rows_);
  rows_ = std::move(rows);
  SortNewestFirst(rows_);
  RowsChanged();
  // A refill of the same length only repaints the rows. A new count may show or hide the
  // scroll bar, which the list draws at once (with its frame, a few milliseconds under
  // Wine) unless it is hidden meanwhile; the list's own WM_SETREDRAW does not stop that.
  const int count = static_cast<int>(rows_.size());
  if (ListView_GetItemCount(ListView2) != count) {
    // Hidden by the window's own means: DefWindowProc's WM_SETREDRAW takes WS_VISIBLE away.
    const bool shown = (GetWindowLongPtrW(ListView2, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown) DefWindowProcW(ListView2, WM_SETREDRAW, FALSE, 0);
    ListView_SetItemCountEx(ListView2, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    if (shown) {
      DefWindowProcW(ListView2, WM_SETREDRAW, TRUE, 0);
      RedrawWindow(ListView2, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
    }
  }
  if (count > 0 && ListView_GetTopIndex(ListView2) != 0) ListView_EnsureVisible(ListView2, 0, FALSE);
  InvalidateRect(ListView2, nullptr, TRUE);
  host_.SetStatusText(0, std::to_string(rows_.size()));
}

// ---------------------------------------------------------------------------------------
// What the list asks for

void RecentPage::LookUp(int index) {
  RecentRow& row = rows_[static_cast<size_t>(index)];
  if ((row.image < 0 || !row.state_known) && !row.image_asked) {
    row.image_asked = true;
    icons_waiting_->Want(index);
  }
}

Lookup RecentPage::LookUpRow(int index) {
  if (index < 0 || static_cast<size_t>(index) >= rows_.size()) return {};
  const RecentRow& row = rows_[static_cast<size_t>(index)];
  // The icon only for a row that was shown: the state sort asks every row for its state.
  const bool want_state = !row.state_known, want_icon = row.image < 0 && row.image_asked;
  const bool only_read = want_state && !want_icon && reading_targets_;
  std::string path = rows_.PathOf(row);
  const std::string* known = want_state ? KnownTargets().Find(path, row.time, row.size) : nullptr;
  return [this, index, path = std::move(path), time = row.time, size = row.size, known_target = known ? *known : std::string(),
          want_state, want_icon, only_read]() -> LookupAnswer {
    std::optional<LinkState> state;
    std::string read_target;
    std::optional<SystemIcon> icon;
    if (want_state && !known_target.empty()) {
      state = TargetStateMark(known_target);
    } else if (want_state) {
      // Most rows are shortcut files: read first, so such a row costs no separate attribute
      // look-up (each file system call is a round trip, thousands of them in a state sort).
      if (std::optional<LinkFile> file = ReadLinkFileAt(path)) {
        read_target = std::move(file->target);
        if (!only_read) state = TargetStateMark(read_target);  // else asked with the others'
      } else {
        state = StateMarkOfOther(path);
      }
    }
    if (want_icon) icon = ThreadSystemIconOf(path);
    return [this, index, state, icon, path, time, size, read_target, only_read] {
      if (!read_target.empty()) KnownTargets().Keep(path, time, size, read_target);
      if (only_read && !state) ++rows_read_;
      TakeRowLookup(index, state, icon);
    };
  };
}

std::string KnownTargetsFile() {
  // The user's own, not beside the program: the targets tell which files the user opened.
  const std::string folder = ShellFolderPath(CSIDL_LOCAL_APPDATA);
  return folder.empty() ? std::string() : folder + "\\Orvela\\links.txt";
}

LinkTargets& RecentPage::KnownTargets() {
  if (!known_targets_) {
    // A file that cannot be read starts afresh.
    const std::string path = KnownTargetsFile();
    const std::optional<std::string> text = path.empty() ? std::nullopt : ReadFileHead(path, kLinkTargetsLimit);
    known_targets_ = LinkTargets::FromText(text ? *text : std::string());
  }
  return *known_targets_;
}

void RecentPage::KeepKnownTargets() {
  LinkTargets& targets = KnownTargets();
  const std::string path = KnownTargetsFile();
  if (!targets.changed() || path.empty()) return;
  // Only spares work later: a folder that cannot be written leaves the sorts as they are.
  if (MakeFolderTree(path.substr(0, path.rfind('\\'))) && WriteWholeFileReplacing(path, targets.Text()))
    targets.MarkSaved();
}

void RecentPage::TakeRowLookup(int index, std::optional<LinkState> state, std::optional<SystemIcon> icon) {
  if (index < 0 || static_cast<size_t>(index) >= rows_.size()) return;
  RecentRow& row = rows_[static_cast<size_t>(index)];
  if (state) SetRowState(row, *state);
  if (!icon) {
    // Asked for its state only: the icon is asked when the row is shown.
    if (row.image < 0) row.image_asked = false;
    return;
  }
  SetSystemImages();
  if (icon->icon >= 0) {
    row.image = icon->icon;
    row.overlay = static_cast<std::int8_t>(icon->overlay);
  }
}

void RecentPage::SetRowState(RecentRow& row, LinkState state) {
  if (row.state_known) return;
  row.state = state;
  row.state_known = true;
  ++states_known_;
  ++rows_looked_up_;
}

void RecentPage::RowsChanged() {
  ++generation_;
  target_answers_.Forget();  // their answers belong to the rows before
  // A row whose icon could not be found is asked again the next time it is shown; one whose
  // state is known (the state sort) is asked only for its icon.
  states_known_ = 0;
  for (RecentRow& row : rows_.rows) {
    if (row.image < 0) row.image_asked = false;
    states_known_ += row.state_known ? 1 : 0;
  }
  icons_waiting_->Start(static_cast<int>(rows_.size()), {});
}

void RecentPage::ListView2Data(NMLVDISPINFOW& info) {
  LVITEMW& item = info.item;
  if (item.iItem < 0 || item.iItem >= static_cast<int>(rows_.size())) return;
  RecentRow& row = rows_[static_cast<size_t>(item.iItem)];
  // Every request is for a row about to be shown; the hint may not have come first.
  LookUp(item.iItem);
  if (item.mask & LVIF_TEXT) {
    switch (item.iSubItem) {
      case 0: CopyText(page_ == kRecentPage ? LocalTimeText(row.time) : rows_.CaptionOf(row), item); break;
      case 1: CopyText(rows_.NameOf(row), item); break;
      case 2:
        CopyText(row.state_known                          ? StateText(row.state)
                 : icons_waiting_->waiting(item.iItem) ? kCheckingMark
                                                       : std::string_view(),
                 item);
        break;
    }
  }
  if (item.iSubItem == 0 && (item.mask & (LVIF_IMAGE | LVIF_STATE))) {
    if (item.mask & LVIF_IMAGE) item.iImage = row.image;
    // The overlay travels in the state: overlay + 1, so a row without one asks for none.
    item.mask |= LVIF_STATE;
    item.stateMask |= LVIS_OVERLAYMASK;
    item.state = (item.state & ~LVIS_OVERLAYMASK) | INDEXTOOVERLAYMASK(row.overlay + 1);
  }
}

void RecentPage::ListView2DataHint(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, static_cast<int>(rows_.size()) - 1);
  for (int i = first; i <= last; ++i) LookUp(i);
}

// ---------------------------------------------------------------------------------------
// Sorting

bool RecentPage::ResolveAllStates() {
  WaitCursor busy;
  resolving_ = true;
  const unsigned generation = generation_;
  const size_t count = rows_.size();
  // Thousands of shortcuts take a while: the window keeps answering and says how far it
  // got. A refill or a deletion meanwhile ends this sort; the rows it would sort are gone.
  // A row counts once its state or, in the first pass, its target is known.
  size_t told = states_known_;
  rows_read_ = 0;
  const auto tell = [&] {
    const size_t done_rows = states_known_ + (reading_targets_ ? rows_read_ : 0);
    if (done_rows < told + 256) return;
    told = done_rows;
    host_.SetStatusText(1, "状態を確認しています... " + std::to_string(told) + " / " + std::to_string(count));
  };
  // Rows whose shortcut's target is known go out in large jobs (AskTargetStates); the others
  // to the queue. First those are only read, so that their targets too are then asked for
  // together (under Wine a target that is not there costs a search through its whole folder,
  // a listing of the folder answers them all); a row still without one is looked up whole.
  const auto ask_rows = [&] {
    std::vector<std::pair<int, std::string>> known;
    for (size_t i = 0; i < count; ++i) {
      const RecentRow& row = rows_[i];
      if (row.state_known) continue;
      if (const std::string* target = KnownTargets().Find(rows_.PathOf(row), row.time, row.size))
        known.emplace_back(static_cast<int>(i), *target);
      else
        icons_waiting_->Want(static_cast<int>(i));
    }
    AskTargetStates(std::move(known));
    const bool fetched = icons_waiting_->FetchAll(tell);
    while (fetched && target_answers_.waiting() > 0 && generation_ == generation) {
      target_answers_.WaitForAnswers(20);
      tell();
    }
    return fetched && generation_ == generation;
  };
  reading_targets_ = true;
  bool done = ask_rows();
  reading_targets_ = false;
  done = done && ask_rows() && IsWindow(ListView2);
  resolving_ = false;
  if (count >= 32) host_.SetStatusText(1, "");
  if (done) {
    sort_.states_resolved = true;
    KeepKnownTargets();
  }
  return done;
}

void RecentPage::AskTargetStates(std::vector<std::pair<int, std::string>> rows) {
  // Only whether each target is there: many rows to a job, as a job's own cost (handing over,
  // the window taking the answer) would be most of one row's. Targets that many rows share a
  // folder with go together, their folder listed once.
  constexpr size_t kRowsPerJob = 512, kListFolderAtLeast = 64;
  std::unordered_map<std::string, std::vector<std::pair<int, std::string>>> by_folder;
  for (auto& row : rows) by_folder[TargetFolderKey(row.second)].push_back(std::move(row));
  std::vector<std::pair<int, std::string>> single;
  const auto ask = [this](std::vector<std::pair<int, std::string>> job, bool list_folder) {
    std::vector<int> job_rows;
    std::vector<std::string> targets;
    for (auto& [row, target] : job) {
      job_rows.push_back(row);
      targets.push_back(std::move(target));
    }
    // A refill forgets the answer (RowsChanged): the row numbers are this fill's.
    target_answers_.Ask([this, job_rows = std::move(job_rows), targets = std::move(targets), list_folder]() -> LookupAnswer {
      return [this, job_rows, states = TargetStateMarks(targets, list_folder)] {
        for (size_t i = 0; i < job_rows.size(); ++i)
          SetRowState(rows_[static_cast<size_t>(job_rows[i])], states[i]);
        InvalidateRect(ListView2, nullptr, FALSE);
      };
    });
  };
  for (auto& [folder, group] : by_folder) {
    if (group.size() >= kListFolderAtLeast) {
      ask(std::move(group), true);
      continue;
    }
    single.insert(single.end(), std::make_move_iterator(group.begin()), std::make_move_iterator(group.end()));
    if (single.size() >= kRowsPerJob) ask(std::exchange(single, {}), false);
  }
  if (!single.empty()) ask(std::move(single), false);
}

void RecentPage::ListView2ColumnClick(int column) {
  if (resolving_ || column < 0 || column > 2) return;
  if (column == 2 && !sort_.states_resolved && !ResolveAllStates()) return;
  // The selection stays with its rows, not with their places.
  const std::vector<int> selected = SelectedRows();
  for (RecentRow& row : rows_.rows) row.selected = false;
  for (int i : selected) rows_[static_cast<size_t>(i)].selected = true;
  const SortState::Click click = sort_.OnColumnClick(column);
  SortRows(rows_, column, click.ascending, LocaleSortKey);
  SendMessageW(ListView2, WM_SETREDRAW, FALSE, 0);
  const bool all = selected.size() == rows_.size() && !rows_.empty();
  if (!all) {
    for (int i : selected) ListView_SetItemState(ListView2, i, 0, LVIS_SELECTED);
    for (size_t i = 0; i < rows_.size(); ++i)
      if (rows_[i].selected) ListView_SetItemState(ListView2, static_cast<int>(i), LVIS_SELECTED, LVIS_SELECTED);
  }
  SendMessageW(ListView2, WM_SETREDRAW, TRUE, 0);
  RowsChanged();
  if (click.column_cleared >= 0) ListView.SetColumnImage(click.column_cleared, -1);
  ListView.SetColumnImage(click.column, click.image);
  InvalidateRect(ListView2, nullptr, TRUE);
}

LRESULT RecentPage::ListView2CustomDraw(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      // "確認中" is a note while the state is looked up, not a state: muted.
      const size_t row = draw.nmcd.dwItemSpec;
      if (draw.iSubItem != 2 || row >= rows_.size() || rows_[row].state_known ||
          (draw.nmcd.uItemState & CDIS_SELECTED))
        return CDRF_DODEFAULT;
      draw.clrText = GetSysColor(COLOR_GRAYTEXT);
      return CDRF_NEWFONT;
    }
  }
  return CDRF_DODEFAULT;
}

void RecentPage::ListView2Resize() { ListView.SetColumnImage(sort_.column, sort_.image); }

int RecentPage::ListView2FindItem(const NMLVFINDITEMW& find) const {
  const LVFINDINFOW& wanted = find.lvfi;
  if (!(wanted.flags & (LVFI_STRING | LVFI_PARTIAL)) || !wanted.psz) return -1;
  const int count = static_cast<int>(rows_.size());
  const int typed = lstrlenW(wanted.psz);
  const bool prefix = (wanted.flags & LVFI_PARTIAL) != 0;
  const int start = find.iStart > 0 && find.iStart < count ? find.iStart : 0;
  for (int i = 0; i < count; ++i) {
    const int row = (start + i) % count;
    if (row < start && !(wanted.flags & LVFI_WRAP)) break;
    const std::wstring name = Wide(rows_.NameOf(rows_[static_cast<size_t>(row)]));
    if (prefix && static_cast<int>(name.size()) < typed) continue;
    const int compared = prefix ? typed : static_cast<int>(name.size());
    // Case and width as Windows' own lists ignore them: "a", "A" and "Ａ" find the same row.
    if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREWIDTH, name.c_str(), compared, wanted.psz,
                       typed) == CSTR_EQUAL)
      return row;
  }
  return -1;
}

void RecentPage::ListView2SelectItem(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  host_.SetStatusText(1, rows_.PathOf(rows_[static_cast<size_t>(row)]));
}

// ---------------------------------------------------------------------------------------
// Selection

std::vector<int> RecentPage::SelectedRows() const {
  std::vector<int> selected;
  for (int i = ListView_GetNextItem(ListView2, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(ListView2, i, LVNI_SELECTED)) {
    if (i >= static_cast<int>(rows_.size())) break;
    selected.push_back(i);
  }
  return selected;
}

RecentRow* RecentPage::SelectedRow() {
  const int i = ListView_GetNextItem(ListView2, -1, LVNI_SELECTED);
  return i >= 0 && i < static_cast<int>(rows_.size()) ? &rows_[static_cast<size_t>(i)] : nullptr;
}

bool RecentPage::ShowingCurrentUser() const {
  return !shown_user_.empty() && EqualsIgnoringCase(shown_user_, host_.locations().current_profile_name());
}

void RecentPage::Tell(const std::string& text) { host_.prompt().ShowMessage(text, kAppTitle, PromptIcon::kWarning); }

// ---------------------------------------------------------------------------------------
// PopupMenu4

UniqueMenu RecentPage::PopupMenu4Popup() {
  const bool selected = SelectedRow() != nullptr;
  const bool recent = page_ == kRecentPage;
  UniqueMenu menu(CreatePopupMenu());
  if (selected) AppendMenuItem(menu.get(), kIdOpen2, "開く(&O)", 24);
  if (selected && recent) AppendMenuItem(menu.get(), kIdH1, "アプリケーションから開く(&H)", 25);
  HMENU folders = CreatePopupMenu();
  AppendMenuItem(folders, kIdN30, "リンク先(&L)", 31, selected);
  AppendMenuItem(folders, kIdN32, N32Caption + "(&F)", host_.glyph_count() + 2);
  AppendMenuItem(menu.get(), 0, "フォルダを開く(&F)", 3, true, folders);
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  if (recent && ShowingCurrentUser()) {
    HMENU add = CreatePopupMenu();
    AppendMenuItem(add, kIdN27, "追加(&A)", 29, selected);
    AppendMenuItem(add, kIdN29, "ファイルを選択して追加(&F)", 29);
    AppendMenuItem(menu.get(), kIdN28, "最近使ったファイル(&R)", 26, true, add);
  }
  if (!recent && selected) {
    HMENU programs = CreatePopupMenu();
    AppendMenuItem(programs, kIdN35, "ファイルを選択して追加(&F)", 33);
    AppendMenuItem(menu.get(), 0, "プログラム(&P)", 32, true, programs);
    AppendMenuItem(menu.get(), kIdN33, "不明ファイルの一覧(&U)", 11);
  }
  AppendMenuItem(menu.get(), kIdA2, "全て選択(&A)\tCtrl+A", 30);
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  if (selected) {  // without it, two separators would stand together
    AppendMenuItem(menu.get(), kIdDelete4, "削除(&D)\tDel", 2);
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  }
  AppendMenuItem(menu.get(), kIdSaveList4, "一覧を保存(&L)\tCtrl+S", -1);
  host_.SetMenuHint(kIdN32, N32Hint);
  return menu;
}

bool RecentPage::OnContextMenu(HWND control, POINT point) {
  if (control != ListView2) return false;
  if (point.x == -1 && point.y == -1) {
    // From the keyboard: beside the focused row, or at the list's corner.
    RECT r{};
    const int row = ListView_GetNextItem(ListView2, -1, LVNI_FOCUSED);
    if (row < 0 || !ListView_GetItemRect(ListView2, row, &r, LVIR_LABEL)) r = {};
    point = {r.left + 16, r.top + 8};
    ClientToScreen(ListView2, &point);
  }
  UniqueMenu menu = PopupMenu4Popup();
  TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, point.x, point.y, 0, host_.window(), nullptr);
  return true;
}

// ---------------------------------------------------------------------------------------
// Opening

void RecentPage::Open2Click() {
  const RecentRow* row = SelectedRow();
  if (!row) return;
  AskWorker([path = rows_.PathOf(*row), owner = host_.window()] { return OpenEntry(path, owner); });
}

void RecentPage::AskWorker(std::function<std::string()> work) {
  if (looking_up_) return;
  looking_up_ = true;
  if (!long_command_.running()) host_.SetStatusText(1, kLookingUp);
  // The answer carries its own paths and touches no row. A failure of the work itself is
  // told on the window's thread too, after the page is ready for the next command.
  command_answers_.Ask([work = std::move(work), this]() -> LookupAnswer {
    std::string warning;
    std::exception_ptr error;
    try {
      warning = work();
    } catch (...) {
      error = std::current_exception();
    }
    return [this, warning, error] {
      Answered(warning);
      if (error) std::rethrow_exception(error);
    };
  });
}

void RecentPage::Answered(const std::string& warning) {
  looking_up_ = false;
  // Panel 1 belongs to a long command while one runs, and to another page once one is shown.
  if (!long_command_.running() && host_.current_page() == page_) {
    const int selected = ListView_GetNextItem(ListView2, -1, LVNI_SELECTED);
    if (selected >= 0) ListView2SelectItem(selected);
    else host_.SetStatusText(1, "");
  }
  if (!warning.empty()) Tell(warning);
}

void RecentPage::H1Click() {
  const RecentRow* row = SelectedRow();
  if (!row || page_ != kRecentPage) return;
  const std::string path = rows_.PathOf(*row);
  if (!OpenWithChooser(host_.window(), path)) Tell("プログラムの選択を開けませんでした。\n" + path);
}

void RecentPage::N30Click(bool from_n32) {
  const ProfileLocations& locations = host_.locations();
  if (!from_n32) {
    const RecentRow* row = SelectedRow();
    if (!row) return;
    AskWorker([link = rows_.PathOf(*row), owner = host_.window()] {
      return OpenFolder(FolderPart(TargetOf(link)), owner);
    });
    return;
  }
  // The page's own folder: a profile's may lie on a server too.
  std::string folder;
  if (page_ == kRecentPage) {
    const std::optional<int> profile = locations.ProfileIndexOf(shown_user_);
    if (profile) folder = locations.FolderOf(FolderKind::kRecent, *profile);
  } else {
    const RecentRow* row = SelectedRow();
    const std::optional<int> profile =
        locations.ProfileIndexOf(row ? rows_.CaptionOf(*row) : locations.current_profile_name());
    if (profile) folder = locations.FolderOf(FolderKind::kPrograms, *profile);
  }
  AskWorker([folder, owner = host_.window()] { return OpenFolder(folder, owner); });
}

// ---------------------------------------------------------------------------------------
// Adding

void RecentPage::N27Click(bool choose_file) {
  if (!choose_file) {
    const RecentRow* row = SelectedRow();
    if (row) AskWorker([link = rows_.PathOf(*row)] { return AddRecentDocument(TargetOf(link)); });
    return;
  }
  if (looking_up_) return;  // before the dialog: its answer would be ignored
  const std::optional<std::string> chosen =
      host_.prompt().ChooseFileToOpen("", kOpenDialog1Filter, recent_add_folder_);
  if (!chosen) return;
  recent_add_folder_ = FolderPart(*chosen);
  AskWorker([path = *chosen] { return AddRecentDocument(path); });
}

void RecentPage::N35Click() {
  const RecentRow* row = SelectedRow();
  if (!row || page_ != kProgramsPage) return;
  const ProfileLocations& locations = host_.locations();
  const std::optional<int> profile = locations.ProfileIndexOf(rows_.CaptionOf(*row));
  if (!profile) return;
  const std::string folder = locations.FolderOf(FolderKind::kPrograms, *profile);
  const std::optional<std::string> chosen =
      host_.prompt().ChooseFileToOpen("", kOpenDialog1Filter, programs_add_folder_);
  if (!chosen) return;
  programs_add_folder_ = FolderPart(*chosen);
  UniqueItemIdList item = ParsePath(*chosen);
  if (host_.shell_link().CreateLink2(*chosen, item.get(), folder, NameWithoutExtension(*chosen), true).empty())
    Tell("ショートカットを作成できませんでした。\n" + folder);
}

void RecentPage::N33Click() {
  const RecentRow* row = SelectedRow();
  if (!row || page_ != kProgramsPage || long_command_.RefuseWhileRunning()) return;
  // A folder of thousands of shortcuts, or one on a server, takes its time: the walk goes on
  // a thread of its own and the names come when it ends.
  auto names = std::make_shared<std::vector<std::string>>();
  long_command_.Start(
      "不明ファイルを調べています...",
      [folder = rows_.PathOf(*row), names](CommandProgress& progress) { *names = BrokenFileNames(folder, progress); },
      [this, names] { host_.prompt().ShowMessage(BrokenNamesText(*names), kAppTitle, PromptIcon::kNone); });
}

void RecentPage::SaveList() {
  // The state column wants every row's state; a refill meanwhile ends the save.
  if (!sort_.states_resolved && !ResolveAllStates()) return;
  std::vector<CsvRow> rows;
  rows.reserve(rows_.size());
  for (size_t i = 0; i < rows_.size(); ++i) {
    const RecentRow& row = rows_[i];
    rows.push_back({page_ == kRecentPage ? LocalTimeText(row.time) : rows_.CaptionOf(row),
                    std::string(rows_.NameOf(row)), std::string(StateText(row.state))});
  }
  SaveListAsCsv(host_.prompt(), page_ == kRecentPage ? "最近使ったファイル" : "プログラム",
                {column_captions_[0], column_captions_[1], "状態"}, rows);
}

void RecentPage::A2Click() {
  // The list repaints each row as its state changes: ten thousand rows selected with drawing
  // on kept the window from answering for a second under Wine; off, it is one repaint.
  SendMessageW(ListView2, WM_SETREDRAW, FALSE, 0);
  ListView_SetItemState(ListView2, -1, LVIS_SELECTED, LVIS_SELECTED);
  SendMessageW(ListView2, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(ListView2, nullptr, TRUE);
}

// ---------------------------------------------------------------------------------------
// Deleting

void RecentPage::Delete4Click() {
  const std::vector<int> selected = SelectedRows();
  if (selected.empty()) return;
  const bool recent = page_ == kRecentPage;
  if (long_command_.RefuseWhileRunning()) return;
  const std::string_view first_name = rows_.NameOf(rows_[static_cast<size_t>(selected[0])]);
  if (recent && !host_.prompt().AskYesNo(DeleteQuestion(selected.size(), first_name), kDeleteCaption,
                                         PromptIcon::kQuestion))
    return;
  if (recent) {
    // Ten thousand files take seconds: they go on a thread of their own, and their rows
    // when they are gone.
    auto deletion = std::make_shared<RecentDeletion>();
    deletion->clear_shell_list = selected.size() == rows_.size() && ShowingCurrentUser();
    for (int i : selected) {
      const RecentRow& row = rows_[static_cast<size_t>(i)];
      deletion->paths.push_back(rows_.PathOf(row));
      deletion->names.emplace_back(rows_.NameOf(row));
    }
    long_command_.Start(
        "削除しています...", [deletion](CommandProgress& progress) { DeleteRecentFiles(*deletion, progress); },
        [this, deletion] { DropDeletedRows(deletion->gone, deletion->kept); });
    return;
  }
  WaitCursor busy;
  std::vector<std::string> paths, gone, kept;
  for (int i : selected) paths.push_back(rows_.PathOf(rows_[static_cast<size_t>(i)]));
  const ShellDeleteResult result = DeleteToRecycleBin(host_.window(), paths);
  // Even a cancelled or failed operation may have removed some: their rows go.
  for (int i : selected) {
    const RecentRow& row = rows_[static_cast<size_t>(i)];
    if (!PathExists(rows_.PathOf(row))) gone.push_back(rows_.PathOf(row));
    else if (result == ShellDeleteResult::kFailed) kept.emplace_back(rows_.NameOf(row));
  }
  DropDeletedRows(gone, kept);
}

void RecentPage::DropDeletedRows(const std::vector<std::string>& gone, const std::vector<std::string>& kept) {
  // By path: the list may have been refilled or sorted while the files were deleted.
  const std::unordered_set<std::string> gone_paths(gone.begin(), gone.end());
  std::vector<bool> drop(rows_.size(), false);
  for (size_t i = 0; i < rows_.size(); ++i) drop[i] = gone_paths.count(rows_.PathOf(rows_[i])) > 0;
  SendMessageW(ListView2, WM_SETREDRAW, FALSE, 0);
  for (int i : SelectedRows()) ListView_SetItemState(ListView2, i, 0, LVIS_SELECTED);
  DropRows(rows_.rows, drop);
  RowsChanged();
  ListView_SetItemCountEx(ListView2, static_cast<int>(rows_.size()), LVSICF_NOSCROLL);
  SendMessageW(ListView2, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(ListView2, nullptr, TRUE);
  host_.SetStatusText(0, std::to_string(rows_.size()));
  host_.SetStatusText(1, "");  // it showed the path of a row that is now gone or unselected
  if (!kept.empty()) {
    std::string names;
    for (size_t i = 0; i < kept.size() && i < 20; ++i) names += kept[i] + "\n";
    if (kept.size() > 20) names += "ほか " + std::to_string(kept.size() - 20) + " 個\n";
    Tell("次のファイルを削除できませんでした。\n\n" + names);
  }
}

// ---------------------------------------------------------------------------------------
// Messages

bool RecentPage::OnCommand(int id, int, HWND control) {
  if (control == ListView2) return true;
  // Enter in the list comes as the window's default button.
  if (id == IDOK && GetFocus() == ListView2) {
    Open2Click();
    return true;
  }
  if (control) return false;  // menu commands come without a control
  switch (id) {
    case kIdOpen2: Open2Click(); return true;
    case kIdH1: H1Click(); return true;
    case kIdN30: N30Click(false); return true;
    case kIdN32: N30Click(true); return true;
    case kIdN27: N27Click(false); return true;
    case kIdN29: N27Click(true); return true;
    case kIdN35: N35Click(); return true;
    case kIdN33: N33Click(); return true;
    case kIdA2: A2Click(); return true;
    case kIdDelete4: Delete4Click(); return true;
    case kIdSaveList4: SaveList(); return true;
  }
  return false;
}

bool RecentPage::OnNotify(NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != ListView2) return false;
  result = 0;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      ListView2Data(reinterpret_cast<NMLVDISPINFOW&>(header));
      break;
    case LVN_ODCACHEHINT: {
      const auto& hint = reinterpret_cast<NMLVCACHEHINT&>(header);
      ListView2DataHint(hint.iFrom, hint.iTo);
      break;
    }
    case LVN_COLUMNCLICK:
      ListView2ColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
      break;
    case NM_CUSTOMDRAW:
      result = ListView2CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
      break;
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED))
        ListView2SelectItem(change.iItem);
      break;
    }
    case LVN_ODFINDITEMW:
      result = ListView2FindItem(reinterpret_cast<NMLVFINDITEMW&>(header));
      break;
    case NM_DBLCLK:
      Open2Click();
      break;
    case LVN_KEYDOWN: {
      const WORD key = reinterpret_cast<NMLVKEYDOWN&>(header).wVKey;
      if (key == VK_DELETE) Delete4Click();
      if (key == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) A2Click();
      break;
    }
  }
  return true;
}

void RecentPage::OnListKey(HWND list, WPARAM key) {
  if (list == ListView2 && key == VK_RETURN) Open2Click();  // as a double-click
}

}  // namespace orvela
