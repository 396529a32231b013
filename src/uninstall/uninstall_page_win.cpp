#include "uninstall/uninstall_page_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "rows/high_contrast_win.h"
#include "rows/list_rows_win.h"
#include "rows/row_text.h"
#include "rows/list_export.h"
#include "window/controls_win.h"
#include "disabled_box/entry.h"
#include "system/entry_folder.h"
#include "components/shell_link_win.h"
#include "platform/app_title.h"
#include "platform/device_context_win.h"
#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/guarded_call_win.h"
#include "platform/message_pump_win.h"
#include "platform/wait_cursor_win.h"
#include "platform/wide_win.h"
#include "uninstall/details_dialog_win.h"
#include "uninstall/keep_dialog_win.h"
#include "uninstall/uninstall_command.h"
#include "uninstall/uninstall_row_win.h"
#include "uninstall/uninstall_values.h"

namespace orvela {
namespace {

constexpr UINT_PTR kTimer2 = 0x5532;
constexpr UINT kTimer2Interval = 1000;
constexpr int kStripHeight = 21;
constexpr int kButtonLeft = 2, kButtonTop = 1, kButtonWidth = 100, kButtonHeight = 19;

}  // namespace

UninstallPage::UninstallPage(PageHost& host, HWND sheet)
    : host_(host),
      sheet_(sheet),
      store_(SharedRowDetails(host.dpi())),
      system_([&host](const std::string& link) {
        std::string target;
        host.shell_link().GetLinkToPath(link, target, nullptr);
        return target;
      }),
      font_(CreateEntryListFont(DEFAULT_QUALITY, host.dpi(), kUninstallFontHeight)),
      list_brush_(CreateSolidBrush(kUninstallListColour)),
      removing_(host) {
  removing_.SetPage(sheet_);
  const Dpi dpi = host_.dpi();
  Panel6 = CreatePanel(sheet_);
  SpeedButton8.Create(Panel6, kIdSpeedButton8, host_.glyphs(), host_.ui_font(), dpi);
  SpeedButton8.SetCaption("他の情報も表示");
  SpeedButton8.SetGlyph(8);
  host_.SetHint(SpeedButton8.hwnd(), "他の情報も表示|アンインストールのコマンドと発行元も表示する");
  ListBox3 = CreateEntryList(sheet_, kIdListBox3);
  SetControlFont(ListBox3, font_.get());
  SendMessageW(ListBox3, LB_SETITEMHEIGHT, 0, dpi.Scale(kUninstallRowHeight));
  details_ = std::make_unique<RowDetailQueue>(ListBox3, RowDetailQueue::OnWorker{},
                                              [this](int row) { return LookUpRow(row); });
  // The sheet hears of every row its list drops (WM_DELETEITEM): a plain subclass.
  sheet_hook_.Attach(sheet_, &UninstallPage::SheetProc, this);
  host_.SetMenuHint(kIdDelete3, "アンインストール情報を削除する");
  host_.SetMenuHint(kIdN23, "クリックで昇順と降順を繰り返す");
  host_.SetMenuHint(kIdN22, "クリックで昇順と降順を繰り返す");
  host_.SetMenuHint(kIdN21, "並べ替え");
}

UninstallPage::~UninstallPage() {
  KillTimer(sheet_, kTimer2);
  sheet_hook_.Detach();  // before the members its procedure reads go
}

LRESULT CALLBACK UninstallPage::SheetProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* page = PlainSubclass::OwnerOf<UninstallPage>(window);
  const auto answer = [&]() -> LRESULT {
    if (message == WM_TIMER && wparam == kTimer2) {
      page->Timer2Timer();
      return 0;
    }
    if (message == WM_CTLCOLORLISTBOX && reinterpret_cast<HWND>(lparam) == page->ListBox3)
      return reinterpret_cast<LRESULT>(HighContrastOn() ? GetSysColorBrush(COLOR_WINDOW) : page->list_brush_.get());
    return page->sheet_hook_.CallPrevious(window, message, wparam, lparam);
  };
  return GuardedCall(window, answer).value_or(0);
}

void UninstallPage::SetAllowed(bool allowed) {
  EnableWindow(sheet_, allowed);
  SetVisible(ListBox3, allowed);
}

bool UninstallPage::allowed() const { return IsShown(ListBox3); }

void UninstallPage::Layout(int width, int height) {
  const Dpi dpi = host_.dpi();
  const int strip = dpi.Scale(kStripHeight);
  SetWindowPos(Panel6, nullptr, 0, 0, width, strip, SWP_NOZORDER);
  const int button_width = std::max(dpi.Scale(kButtonWidth), SpeedButton8.PreferredWidth());
  SetWindowPos(SpeedButton8.hwnd(), nullptr, dpi.Scale(kButtonLeft), dpi.Scale(kButtonTop), button_width,
               dpi.Scale(kButtonHeight), SWP_NOZORDER);
  SetWindowPos(ListBox3, nullptr, 0, strip, width, std::max(0, height - strip), SWP_NOZORDER);
}

// ---------------------------------------------------------------------------------------
// The list

int UninstallPage::picture_of(int row) const {
  const int* picture = RowAt(pictures_, row);
  return picture ? *picture : -1;
}

void UninstallPage::FillUninstallList() {
  // Never filled for a user who is no administrator, whichever button asks.
  if (!allowed()) return;
  fill_.Run([this] { FillOnce(); });
}

void UninstallPage::FillOnce() {
  WaitCursor busy;
  MessagePacer pace;
  const UninstallMode mode = host_.live_view_shown() ? UninstallMode::kPrograms : UninstallMode::kUpdates;
  ListView1 = CollectUninstallRows(host_.registry(), system_, mode, show_all_, [&pace] { pace(); });
  BuildUninstallEntries();
}

void UninstallPage::BuildUninstallEntries() {
  WaitCursor busy;
  details_->Stop();  // the rows are about to go
  MessagePacer pace;
  const std::vector<SortRow> order = ListView1;
  std::vector<UninstallEntry> rows;
  std::vector<int> pictures;
  std::vector<bool> known;
  std::vector<int> waiting;
  rows.reserve(order.size());
  for (const SortRow& row : order) {
    rows.push_back(ReadUninstallEntry(host_.registry(), row, system_));
    // Every icon comes from the worker: even the file's time, which tells whether the run's
    // detail store knows it, may take a drive long.
    const bool has_icon = !rows.back().icon_file.empty();
    pictures.push_back(-1);
    known.push_back(!has_icon);
    if (has_icon) waiting.push_back(static_cast<int>(rows.size()) - 1);
    pace();
  }

  // The selection may have moved while the registry was read: remember it now.
  const int selected = selected_row();
  std::optional<UninstallKey> remembered;
  if (selected >= 0 && static_cast<size_t>(selected) < ListView1.size())
    remembered = ListView1[static_cast<size_t>(selected)].key;
  ListView1 = order;
  entries = std::move(rows);
  pictures_ = std::move(pictures);
  pictures_known_ = std::move(known);
  const int count = static_cast<int>(entries.size());
  SendMessageW(ListBox3, WM_SETREDRAW, FALSE, 0);
  SetListRows(ListBox3, RowTexts());
  if (remembered) {
    if (const std::optional<int> row = RowOf(*remembered)) SendMessageW(ListBox3, LB_SETCURSEL, *row, 0);
  }
  SendMessageW(ListBox3, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(ListBox3, nullptr, TRUE);
  host_.SetStatusText(0, std::to_string(count));
  details_->Start(count, waiting);
}

Lookup UninstallPage::LookUpRow(int row) {
  if (row < 0 || static_cast<size_t>(row) >= entries.size()) return {};
  // On the worker, with a copy of the path; the answer comes back only while this fill lasts.
  return [this, row, icon_file = entries[static_cast<size_t>(row)].icon_file, &store = store_]() -> LookupAnswer {
    const PictureKey picture = store.PictureKeyOf(icon_file, true).value_or(0);
    return [this, row, icon_file, picture] { TakeRowDetails(row, icon_file, picture); };
  };
}

void UninstallPage::TakeRowDetails(int row, const std::string& icon_file, PictureKey picture) {
  if (row < 0 || static_cast<size_t>(row) >= entries.size()) return;
  const size_t i = static_cast<size_t>(row);
  if (entries[i].icon_file != icon_file) return;  // not the row that asked
  pictures_[i] = store_.PictureIndex(picture);
  pictures_known_[i] = true;
}

std::vector<std::string> UninstallPage::RowTexts() const {
  std::vector<std::string> texts;
  texts.reserve(entries.size());
  for (const UninstallEntry& entry : entries)
    texts.push_back(UninstallRowText(entry.display_name, entry.date_text, entry.command, entry.publisher));
  return texts;
}

void UninstallPage::StartDetails() {
  std::vector<int> waiting;
  for (size_t i = 0; i < pictures_known_.size(); ++i)
    if (!pictures_known_[i]) waiting.push_back(static_cast<int>(i));
  details_->Start(static_cast<int>(entries.size()), waiting);
}

void UninstallPage::RemoveUninstallEntry(int row) {
  if (row < 0 || static_cast<size_t>(row) >= ListView1.size() || ListView1.size() != entries.size()) return;
  const auto at = [row](auto& list) { list.erase(list.begin() + row); };
  at(ListView1);
  at(entries);
  at(pictures_);
  at(pictures_known_);
  const int selected = selected_row();
  const int count = static_cast<int>(entries.size());
  if (SendMessageW(ListBox3, LB_DELETESTRING, row, 0) != count) {
    SetListRows(ListBox3, RowTexts());
    if (selected >= 0 && selected != row) SendMessageW(ListBox3, LB_SETCURSEL, selected - (selected > row), 0);
  }
  InvalidateRect(ListBox3, nullptr, TRUE);
  host_.SetStatusText(0, std::to_string(count));
  StartDetails();
}

void UninstallPage::SelectRow(int row) {
  SendMessageW(ListBox3, LB_SETCURSEL, row, 0);
  if (row >= 0 && static_cast<size_t>(row) < entries.size())
    host_.SetStatusText(1, entries[static_cast<size_t>(row)].command);
}

// ---------------------------------------------------------------------------------------
// Commands that read the list

void UninstallPage::ListBox3Click() {
  const int row = selected_row();
  if (row < 0 || static_cast<size_t>(row) >= entries.size()) return;
  host_.SetStatusText(1, entries[static_cast<size_t>(row)].command);
  SearchStart = 0;
}

void UninstallPage::ListBox3DblClick() { Detail1Click(); }

void UninstallPage::SpeedButton8Click() {
  SpeedButton8.SetDown(!SpeedButton8.down());
  const int height = SpeedButton8.down() ? kUninstallDetailedRowHeight : kUninstallRowHeight;
  SendMessageW(ListBox3, LB_SETITEMHEIGHT, 0, host_.dpi().Scale(height));
  InvalidateRect(ListBox3, nullptr, TRUE);
}

void UninstallPage::N22Click(int tag) {
  WaitCursor busy;
  SortUninstallRows(ListView1, tag == 1, UninstallSortAscending, system_);
  UninstallSortAscending = !UninstallSortAscending;
  BuildUninstallEntries();
}

void UninstallPage::Find1Click() {
  const std::optional<std::string> text = host_.prompt().AskText("検索", "アプリケーション名を入力", SearchText);
  if (!text) return;
  SearchText = *text;
  SearchStart = 0;
  FindUninstallEntry(0);
}

void UninstallPage::FindNext1Click() { FindUninstallEntry(SearchStart); }

void UninstallPage::FindUninstallEntry(int start) {
  if (SearchText.empty()) return;
  const std::optional<int> row = orvela::FindUninstallEntry(entries, SearchText, start, system_);
  if (!row) {
    host_.prompt().ShowMessage(kNothingMoreFound, kAppTitle, PromptIcon::kNone);
    return;
  }
  SelectRow(*row);
  SearchStart = *row + 1;
}

void UninstallPage::N13Click() {
  show_all_ = !show_all_;
  const int row = selected_row();
  const std::string name =
      row >= 0 && static_cast<size_t>(row) < entries.size() ? entries[static_cast<size_t>(row)].display_name : "";
  FillUninstallList();
  if (name.empty()) return;
  const auto found = std::find_if(entries.begin(), entries.end(),
                                  [&name](const UninstallEntry& entry) { return entry.display_name == name; });
  if (found != entries.end()) SelectRow(static_cast<int>(found - entries.begin()));
}

void UninstallPage::Open1Click() {
  const int row = selected_row();
  if (row < 0 || static_cast<size_t>(row) >= entries.size()) return;
  const std::string folder = EntryFolderOf(entries[static_cast<size_t>(row)].command, system_);
  if (!folder.empty() && FolderExists(folder)) {
    ShellExecuteW(host_.window(), L"open", Wide(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return;
  }
  host_.prompt().ShowMessage(folder + "\n\nこのディレクトリは存在しません。", kAppTitle, PromptIcon::kInformation);
}

void UninstallPage::Detail1Click() {
  const int row = selected_row();
  if (row < 0 || static_cast<size_t>(row) >= ListView1.size()) return;
  TOKBottomDlg1 dialog(host_.window(), host_.dpi(),
                       EntryValueRows(host_.registry(), ListView1[static_cast<size_t>(row)].key, system_));
  dialog.ShowModal();
}

void UninstallPage::N11Click() {
  if (removing_.RefuseWhileRunning()) return;  // restores and deletes of saved files wait for it
  TUnInstKeepDlg dialog(host_.window(), host_.dpi(),
                        {host_.registry(), host_.prompt(), host_.glyphs(), host_.paths().uninstall_folder});
  host_.prompt().SetOwnerWindow(dialog.hwnd());  // its questions belong to it
  dialog.ShowModal();
  host_.prompt().SetOwnerWindow(host_.window());
  if (dialog.restored()) FillUninstallList();
}

// ---------------------------------------------------------------------------------------
// Changes

UninstallContext UninstallPage::Context() {
  return UninstallContext{host_.registry(), host_.prompt(), host_.paths().uninstall_folder};
}

void UninstallPage::N19Click() {
  const int row = selected_row();
  if (row < 0 || static_cast<size_t>(row) >= ListView1.size()) return;
  if (removing_.RefuseWhileRunning()) return;
  // The menu greys the item; a command that comes anyway (a posted message) does nothing.
  if (static_cast<size_t>(row) < entries.size() &&
      !OffersUninstall(entries[static_cast<size_t>(row)], host_.paths().program_folder, system_))
    return;
  const UninstallKey key = ListView1[static_cast<size_t>(row)].key;
  const UninstallRun run = RepairUninstallCommand(ReadEntryValue(host_.registry(), key, "UninstallString"));
  // Without MOVEFILE_REPLACE_EXISTING: a program file of that name is never replaced.
  if (!run.rename_from.empty()) MoveFileExW(Wide(run.rename_from).c_str(), Wide(run.rename_to).c_str(), 0);
  ShellExecuteW(host_.window(), L"open", L"rundll32.exe", Wide(ShellRunParameters(run.command)).c_str(), nullptr,
                SW_SHOWNORMAL);
  watch_.Add(key);
  SetTimer(sheet_, kTimer2, kTimer2Interval, nullptr);
  timer2_running_ = true;
}

void UninstallPage::Timer2Timer() {
  if (fill_.running()) return;  // the rows are being replaced: next tick
  const std::optional<UninstallKey> finished = watch_.Tick(host_.registry());
  if (!finished) return;
  KillTimer(sheet_, kTimer2);
  timer2_running_ = false;
  if (const std::optional<int> row = RowOf(*finished)) RemoveUninstallEntry(*row);
}

void UninstallPage::Delete3Click() {
  const int row = selected_row();
  if (row < 0 || static_cast<size_t>(row) >= ListView1.size() || entries.size() != ListView1.size()) return;
  if (removing_.RefuseWhileRunning()) return;
  // Copies: the rows may change while the questions are open and while the key goes.
  const SortRow target = ListView1[static_cast<size_t>(row)];
  const std::string name = entries[static_cast<size_t>(row)].display_name;
  // A key with thousands of subkeys takes seconds to look through, save and delete.
  const RunOffWindow run = [this](std::string_view doing, std::function<void()> work, std::function<void()> then) {
    removing_.Start(std::string(doing), [work = std::move(work)](CommandProgress&) { work(); }, std::move(then));
  };
  RemoveUninstallInformation(Context(), target, name, run, [this, key = target.key](RemoveResult result) {
    if (result == RemoveResult::kRemoved) {
      if (const std::optional<int> now = RowOf(key)) RemoveUninstallEntry(*now);
    } else if (result == RemoveResult::kGone) {
      FillUninstallList();
    }
  });
}

// ---------------------------------------------------------------------------------------
// The row menu

// A row whose icon has not come yet gives the item no picture: the menu does not wait for it.
HBITMAP UninstallPage::EntryMenuBitmap(int row) {
  const int big = 32, small = host_.dpi().Scale(16);
  const WindowDc screen(nullptr);
  const UniqueHdc large_dc(CreateCompatibleDC(screen.get())), small_dc(CreateCompatibleDC(screen.get()));
  const UniqueHbitmap large(CreateCompatibleBitmap(screen.get(), big, big));
  HBITMAP result = CreateCompatibleBitmap(screen.get(), small, small);
  const SelectedObject large_drawn(large_dc.get(), large.get());
  RECT square{0, 0, big, big};
  FillRect(large_dc.get(), &square, GetSysColorBrush(COLOR_BTNFACE));
  const int picture = picture_of(row);
  if (picture >= 0) ImageList_Draw(store_.pictures(), picture, large_dc.get(), 0, 0, ILD_TRANSPARENT);
  const SelectedObject small_drawn(small_dc.get(), result);
  SetStretchBltMode(small_dc.get(), HALFTONE);
  StretchBlt(small_dc.get(), 0, 0, small, small, large_dc.get(), 0, 0, big, big, SRCCOPY);
  return result;
}

UniqueMenu UninstallPage::PopupMenu3Popup() {
  const int row = selected_row();
  const bool selected = row >= 0 && static_cast<size_t>(row) < entries.size();
  UniqueMenu menu(CreatePopupMenu());
  HMENU m = menu.get();
  if (selected) {
    AppendMenuItem(m, kIdDetail1, "詳細(&I)", 8);
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  }
  AppendMenuItem(m, kIdFind1, "検索(&S)\tCtrl+F", 12);
  AppendMenuItem(m, kIdFindNext1, "次を検索(&N)\tF3", -1);
  HMENU sort = CreatePopupMenu();
  AppendMenuItem(sort, kIdN23, "タイトル名順(&T)", 28);
  AppendMenuItem(sort, kIdN22, "導入日順(&D)", 26);
  AppendMenuItem(m, kIdN21, "整列(&T)", 30, true, sort);
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  if (selected) AppendMenuItem(m, kIdOpen1, "フォルダを開く(&O)", 3);
  if (!FileNamesIn(host_.paths().uninstall_folder).empty()) {
    HMENU registry = CreatePopupMenu();
    AppendMenuItem(registry, kIdN11, "バックアップ情報(&B)", 19);
    AppendMenuItem(m, 0, "レジストリ(&R)", host_.glyph_count() + 1, true, registry);
  }
  if (selected) {
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuItem(m, kIdN19, "アンインストール(&U)", -1,
                   OffersUninstall(entries[static_cast<size_t>(row)], host_.paths().program_folder, system_));
    menu_bitmap_.reset(EntryMenuBitmap(row));
    MENUITEMINFOW bitmap{};
    bitmap.cbSize = sizeof bitmap;
    bitmap.fMask = MIIM_BITMAP;
    bitmap.hbmpItem = menu_bitmap_.get();
    SetMenuItemInfoW(m, kIdN19, FALSE, &bitmap);
    AppendMenuItem(m, kIdDelete3, "削除(&D)", 2);
  }
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuItem(m, kIdN13, "全ての情報を表示(&A)", show_all_ ? 10 : 9);
  CheckMenuItem(m, kIdN13, MF_BYCOMMAND | (show_all_ ? MF_CHECKED : MF_UNCHECKED));
  AppendMenuItem(m, kIdSaveList3, "一覧を保存(&L)\tCtrl+S", -1);
  return menu;
}

bool UninstallPage::OnContextMenu(HWND control, POINT point) {
  if (control != ListBox3) return false;
  ShowListMenu(control, point, static_cast<int>(entries.size()), host_.dpi(), host_.window(), [this] { ListBox3Click(); },
               [this] { return PopupMenu3Popup(); });
  return true;
}

// ---------------------------------------------------------------------------------------
// Messages

void UninstallPage::SaveList() {
  std::vector<CsvRow> rows;
  for (const UninstallEntry& entry : entries)
    rows.push_back({entry.display_name.empty() ? "不明" : entry.display_name, entry.date_text,
                    entry.command, entry.publisher});
  SaveListAsCsv(host_.prompt(), "プログラムの削除", {"名前", "導入日", "アンインストール", "発行元"},
                rows);
}

void UninstallPage::OnListKey(HWND list, WPARAM key) {
  if (list != ListBox3) return;
  if (key == VK_DELETE) Delete3Click();
  if (key == VK_RETURN) ListBox3DblClick();
  if (key == VK_F3) FindNext1Click();
  if (key == 'F' && (GetKeyState(VK_CONTROL) & 0x8000)) Find1Click();
}

bool UninstallPage::OnCommand(int id, int code, HWND control) {
  if (control == ListBox3) {
    if (code == LBN_SELCHANGE) ListBox3Click();
    if (code == LBN_DBLCLK) ListBox3DblClick();
    return true;
  }
  if (control && control == SpeedButton8.hwnd()) {
    if (code == BN_CLICKED) SpeedButton8Click();
    return true;
  }
  if (control) return false;  // menu commands come without a control
  switch (id) {
    case kIdDetail1: Detail1Click(); return true;
    case kIdFind1: Find1Click(); return true;
    case kIdFindNext1: FindNext1Click(); return true;
    case kIdN23: N22Click(0); return true;
    case kIdN22: N22Click(1); return true;
    case kIdOpen1: Open1Click(); return true;
    case kIdN11: N11Click(); return true;
    case kIdN19: N19Click(); return true;
    case kIdDelete3: Delete3Click(); return true;
    case kIdN13: N13Click(); return true;
    case kIdSaveList3: SaveList(); return true;
  }
  return false;
}

bool UninstallPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem == SpeedButton8.hwnd()) {
    SpeedButton8.Draw(item);
    return true;
  }
  if (item.hwndItem != ListBox3) return false;
  const int row = static_cast<int>(item.itemID);
  if (item.itemID == static_cast<UINT>(-1) || static_cast<size_t>(row) >= entries.size()) return true;
  if (!pictures_known_[static_cast<size_t>(row)]) details_->Prefer(row);  // fetched next
  RECT client{};
  GetClientRect(ListBox3, &client);
  UninstallRowLook look;
  look.detailed = SpeedButton8.down();
  look.font = font_.get();
  look.dpi = host_.dpi();
  look.pictures = store_.pictures();
  look.picture = picture_of(row);
  look.list_width = client.right;
  look.focused = RowShowsFocus(item);
  DrawUninstallRow(item.hDC, item.rcItem, entries[static_cast<size_t>(row)], (item.itemState & ODS_SELECTED) != 0,
                   look);
  return true;
}

}  // namespace orvela
