#include "startup/startup_page_win.h"

#include <shellapi.h>

#include <cstring>
#include <iterator>

#include "startup/folder_files_win.h"
#include "startup/run_key_locations.h"
#include "window/controls_win.h"
#include "components/shell_link_win.h"
#include "platform/app_title.h"
#include "platform/folders_win.h"
#include "platform/kept_focus_win.h"
#include "platform/message_pump_win.h"
#include "platform/wait_cursor_win.h"
#include "platform/wide_win.h"
#include "system/add_shortcut_win.h"
#include "system/command_line.h"
#include "disabled_box/disabled_box.h"
#include "rows/entry_colours.h"
#include "system/entry_folder.h"
#include "rows/high_contrast_win.h"
#include "rows/list_rows_win.h"
#include "rows/row_text.h"
#include "startup/add_dialog_win.h"
#include "startup/startup_adding.h"
#include "rows/entry_marks.h"
#include "rows/local_time_win.h"
#include "rows/list_export.h"
#include "startup/startup_approved.h"
#include "startup/startup_entries.h"
#include "startup/startup_list_text.h"
#include "startup/startup_row_details_win.h"
#include "startup/startup_row_win.h"
#include "startup/winlogon_values.h"

namespace orvela {
namespace {

constexpr COLORREF kFolderKindColour = RGB(255, 249, 215);
constexpr COLORREF kRegistryKindColour = RGB(230, 233, 255);
constexpr COLORREF kTaskKindColour = RGB(220, 243, 220);

void SetComboItems(HWND combo, const std::vector<std::string>& items) {
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

bool CopyTextToClipboard(HWND owner, const std::string& text) {
  const std::wstring wide = Wide(text);
  const size_t size = (wide.size() + 1) * sizeof(wchar_t);
  if (!OpenClipboard(owner)) return false;
  ScopeExit close([] { CloseClipboard(); });
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return false;
  std::memcpy(GlobalLock(memory), wide.c_str(), size);
  GlobalUnlock(memory);
  if (SetClipboardData(CF_UNICODETEXT, memory)) return true;
  GlobalFree(memory);
  return false;
}

// ComboBox2's hint: a registry location's, or, as the list has always done for a folder
// entry, the hint of the profile's index among the first three locations (none past them).
std::string LocationHintOf(int kind, int location) {
  return kind == 1 || location < kFixedRunLocations ? LocationHint(location) : std::string();
}

}  // namespace

StartupPage::StartupPage(PageHost& host, HWND sheet)
    : host_(host),
      sheet_(sheet),
      store_(SharedRowDetails(host.dpi())),
      system_(LookupThroughLinks(host.shell_link())),
      shell_(host.shell_link()),
      font_(CreateStartupListFont(DEFAULT_QUALITY, host.dpi())),
      kind_colour_(kFolderKindColour),
      location_colour_(GetSysColor(COLOR_WINDOW)) {
  backup_.file_path = host_.paths().run_keys_backup;
  backup_.run_file_work = [](const std::function<void()>& work) { RunWhileAnswering(work); };
  CreateControls();
  details_ = std::make_unique<RowDetailQueue>(ListBox1, RowDetailQueue::OnWorker{}, [this](int row) { return LookUpRow(row); });
  SetComboItems(ComboBox1, {std::begin(kKindTexts), std::end(kKindTexts)});
  host_.SetMenuHint(kIdN1, "選択したスタートアップを無効ボックスに格納する");
  host_.SetMenuHint(kIdN3, "選択したリストをスタートアップに戻す");
  host_.SetMenuHint(kIdDelete1, "選択したスタートアップを削除する");
  host_.SetMenuHint(kIdUndo1, "レジストリのスタートアップを変更前に戻す");
}

void StartupPage::CreateControls() {
  ListBox1 = CreateEntryList(sheet_, kIdListBox1);
  SetControlFont(ListBox1, host_.list_font());
  const Dpi dpi = host_.dpi();
  SendMessageW(ListBox1, LB_SETITEMHEIGHT, 0, dpi.Scale(kStartupRowHeight));

  // The second row of the tool panel: kind and location of the selected entry.
  HFONT ui = host_.ui_font();
  Panel2 = CreatePanel(host_.tool_panel());
  HWND kind_label = CreateChild(WC_STATICW, Wide("種類 ").c_str(), WS_VISIBLE | SS_NOPREFIX, Panel2, 0);
  const DWORD selector_style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                               CBS_HASSTRINGS;
  ComboBox1 = CreateChild(WC_COMBOBOXW, L"", selector_style, Panel2, kIdComboBox1);
  SpeedButton3.Create(Panel2, kIdSpeedButton3, host_.glyphs(), ui, dpi);
  HWND place_label = CreateChild(WC_STATICW, Wide("登録場所").c_str(), WS_VISIBLE | SS_NOPREFIX, Panel2, 0);
  ComboBox2 = CreateChild(WC_COMBOBOXW, L"", selector_style, Panel2, kIdComboBox2);
  SpeedButton4.Create(Panel2, kIdSpeedButton4, host_.glyphs(), ui, dpi);
  for (HWND c : {kind_label, ComboBox1, place_label, ComboBox2}) SetControlFont(c, ui);
  for (HWND selector : {ComboBox1, ComboBox2}) {
    SendMessageW(selector, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), dpi.Scale(18));
    SendMessageW(selector, CB_SETITEMHEIGHT, 0, dpi.Scale(18));
  }
  auto place = [&dpi](HWND control, int x, int y, int width, int height) {
    SetWindowPos(control, nullptr, dpi.Scale(x), dpi.Scale(y), dpi.Scale(width), dpi.Scale(height), SWP_NOZORDER);
  };
  place(kind_label, 4, 6, 30, 16);
  place(ComboBox1, 34, 2, 110, 200);
  place(SpeedButton3.hwnd(), 146, 1, 24, 24);
  place(place_label, 180, 6, 50, 16);
  place(ComboBox2, 230, 2, 190, 300);
  place(SpeedButton4.hwnd(), 422, 1, 24, 24);
  SpeedButton3.SetName("種類を適用");
  SpeedButton4.SetName("登録場所を適用");
  for (SpeedButton* apply : {&SpeedButton3, &SpeedButton4}) {
    apply->SetGlyph(23);
    apply->SetEnabled(false);
    host_.SetHint(apply->hwnd(), "適用|変更内容を適用する");
  }
  host_.SetHint(ComboBox1, "種類を変更する");
}

void StartupPage::Layout(int width, int height) {
  SetWindowPos(ListBox1, nullptr, 0, 0, width, height, SWP_NOZORDER);
}

void StartupPage::EnableSelectors(bool enabled) {
  EnableKeepingFocus(ComboBox1, enabled);
  EnableKeepingFocus(ComboBox2, enabled);
}

void StartupPage::OnListKey(HWND list, WPARAM key) {
  if (list == ListBox1 && key == VK_DELETE) DeleteStartupEntry(true);
}

bool StartupPage::live_list_shown() const { return host_.live_view_shown(); }

int StartupPage::selected_row() const { return SelectedListRow(ListBox1); }

const EntryRecord* StartupPage::selected_entry() const {
  return RowAt(entries, selected_row());
}

// ---------------------------------------------------------------------------------------
// The list

int StartupPage::picture_of(int row) const {
  const int* picture = RowAt(pictures_, row);
  return picture ? *picture : -1;
}

void StartupPage::RefreshStartupList() { FillView(true); }

void StartupPage::ShowDisabledBox() {
  EnableSelectors(false);
  FillView(false);
}

void StartupPage::FillView(bool live) {
  fill_.Run([&] { FillRows(live); }, [this] { FillRows(live_list_shown()); });
}

void StartupPage::FillRows(bool live) {
  WaitCursor busy;
  details_->Stop();  // the shown rows are about to go
  task_answers_.Forget();  // and an earlier fill's tasks must not join the new rows
  MessagePacer pace;
  pace();  // what came in before the fill is answered first
  ShowRows(live ? LiveRows(pace) : DisabledBoxRecords(host_.startup_box().lines, host_.locations()), live);
  if (live) AskForLogonTasks();
}

void StartupPage::AskForLogonTasks() {
  // The scheduler is asked last, on the worker: its first connection of a session can take a
  // second (under Wine it starts the service), and the other rows and their details come
  // meanwhile, the window taking input. Its rows join the list when it answers.
  task_answers_.Ask([this]() -> LookupAnswer {
    std::optional<std::vector<ScheduledTask>> tasks = Win32TaskScheduler().ListTasks();
    return [this, tasks = std::move(tasks)] {
      if (!tasks || !live_list_shown()) return;
      std::vector<EntryRecord> task_rows = LogonTaskEntries(*tasks, host_.startup_box().lines, host_.locations());
      if (task_rows.empty()) return;
      std::vector<EntryRecord> rows = entries;
      const size_t shown = rows.size();
      rows.insert(rows.end(), task_rows.begin(), task_rows.end());
      ShowRows(std::move(rows), true, shown);
    };
  });
}

std::vector<EntryRecord> StartupPage::LiveRows(MessagePacer& pace) {
  const ProfileLocations& locations = host_.locations();
  std::vector<FolderItem> folder_items;
  for (int i = 0; i < static_cast<int>(locations.profiles().size()); ++i) {
    ListFolderFiles(locations.FolderOf(FolderKind::kStartup, i), i, "", folder_items);
    pace();
  }
  RegistryBackend& registry = host_.registry();
  const std::function<void()> pace_values = [&pace] { pace(); };
  std::vector<std::vector<RunValue>> values;
  for (const RunKeyLocation& where : kRunKeyLocations)
    values.push_back(ReadRunKey(registry, where.root, where.path, pace_values));
  std::vector<EntryRecord> rows = CollectStartupEntries(folder_items, values);
  for (EntryRecord& row : WinlogonEntries(registry, system_.SystemFolder())) rows.push_back(std::move(row));
  MarkWindowsDisabled(rows, registry, locations);
  MarkReturnedEntries(rows, host_.startup_box().lines, locations);
  return rows;
}

void StartupPage::ShowRows(std::vector<EntryRecord> rows, bool live, size_t kept) {
  MarkReadOnlyEntries(rows, host_.registry(), host_.is_admin());
  // Every row's details come from the worker: even a file's time may take a drive long. Rows
  // kept from the list shown keep what came for them.
  std::vector<int> pictures(rows.size(), -1);
  std::vector<int> waiting;
  std::vector<bool> checking(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (i < kept) pictures[i] = pictures_[i];
    checking[i] = i < kept ? details_->waiting(static_cast<int>(i)) : !rows[i].Unrecognised;
    if (checking[i]) waiting.push_back(static_cast<int>(i));
  }

  // The selection may have moved while the sources were read: remember it now.
  const EntryRecord* selected = selected_entry();
  const std::string remembered = live && selected ? selected->Name : std::string();
  entries = std::move(rows);
  pictures_ = std::move(pictures);
  rows_live_ = live;
  const int count = static_cast<int>(entries.size());
  ShowEntryRows(
      ListBox1, entries,
      [&](const EntryRecord& entry) { return RowText(entry, checking[static_cast<size_t>(&entry - entries.data())]); },
      remembered);
  // Another page may have been chosen while the sources were read: its count stays.
  if (host_.current_page() == kStartupPage) host_.SetStatusText(0, std::to_string(count));
  details_->Start(count, waiting);
}

Lookup StartupPage::LookUpRow(int row) {
  const EntryRecord* entry = RowAt(entries, row);
  if (!entry) return {};
  // On the worker, with a copy of the row; the answer comes back only while this fill lasts.
  return [this, row, record = *entry, live = rows_live_, &store = store_]() mutable -> LookupAnswer {
    const TShellLink links;
    PictureKey picture = 0;
    FillStartupRowDetails(record, picture, live, true, store, LookupThroughLinks(links));
    return [this, row, record, picture] { TakeRowDetails(row, record, picture); };
  };
}

void StartupPage::TakeRowDetails(int row, const EntryRecord& looked_up, PictureKey picture) {
  if (row < 0 || static_cast<size_t>(row) >= entries.size()) return;
  entries[static_cast<size_t>(row)] = looked_up;  // the same row of the same fill, with its details
  pictures_[static_cast<size_t>(row)] = store_.PictureIndex(picture);
  SetListRowText(ListBox1, row, RowText(looked_up, false));  // now with the missing mark and version texts
}

std::string StartupPage::RowText(const EntryRecord& entry, bool checking) const {
  const std::vector<std::string>& profiles = host_.locations().profiles();
  const bool folder_entry = entry.Key >= 0 && entry.Key < static_cast<int>(profiles.size());
  return StartupRowText(entry, folder_entry ? profiles[static_cast<size_t>(entry.Key)] : std::string(), checking);
}

void StartupPage::RebuildShownList() {
  if (live_list_shown()) RefreshStartupList(); else ShowDisabledBox();
}

StartupContext StartupPage::Context() {
  return StartupContext{host_.registry(), host_.prompt(),      host_.locations(),
                        shell_,           host_.startup_box(), backup_,
                        host_.is_admin(), &tasks_};
}

// ---------------------------------------------------------------------------------------
// Changes: each reads the selection, calls the page's logic and rebuilds what is shown.

void StartupPage::N1Click() {
  const EntryRecord* entry = selected_entry();
  if (!entry || !live_list_shown()) return;
  StartupContext context = Context();
  if (DisableStartupEntry(context, *entry).changed) RefreshStartupList();
}

void StartupPage::N3Click() {
  const int row = selected_row();
  if (row < 0 || live_list_shown()) return;
  StartupContext context = Context();
  if (EnableStartupEntry(context, static_cast<size_t>(row)).changed) ShowDisabledBox();
}

void StartupPage::DeleteStartupEntry(bool ask) {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  StartupContext context = Context();
  const bool changed = live_list_shown()
                           ? orvela::DeleteStartupEntry(context, *entry, ask).changed
                           : DeleteDisabledBoxEntry(context, static_cast<size_t>(selected_row()), ask).changed;
  if (changed) RebuildShownList();
}

void StartupPage::SpeedButton3Click() {
  const EntryRecord* entry = selected_entry();
  if (!entry || !live_list_shown()) return;
  const int chosen = static_cast<int>(SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0));
  StartupContext context = Context();
  if (ChangeKind(context, *entry, chosen).changed) RefreshStartupList();
}

void StartupPage::SpeedButton4Click() {
  const EntryRecord* entry = selected_entry();
  if (!entry || !live_list_shown()) return;
  const int chosen = ChosenLocation();
  StartupContext context = Context();
  if (ChangeLocation(context, *entry, chosen).changed) RefreshStartupList();
}

// Both are offered in the Disabled Box view too: the rows that view shows stay its own,
// so "有効にする" afterwards acts on the line the user sees.
void StartupPage::N5Click() {
  StartupContext context = Context();
  RestoreRunKeys(context, true);
  RebuildShownList();
}

void StartupPage::Undo1Click() {
  StartupContext context = Context();
  RestoreRunKeys(context, false);
  RebuildShownList();
}

void StartupPage::WindowsEnableClick() {
  const EntryRecord* entry = selected_entry();
  if (!entry || !live_list_shown() || !entry->WindowsDisabled) return;
  StartupContext context = Context();
  if (ClearWindowsDisabled(context, *entry).changed) RefreshStartupList();
}

void StartupPage::DisableAgainClick() {
  const EntryRecord* entry = selected_entry();
  if (!entry || !live_list_shown() || !entry->Returned) return;
  StartupContext context = Context();
  if (DisableAgain(context, *entry).changed) RefreshStartupList();
}

void StartupPage::SaveList() {
  // The company and description columns want every row's details; a refill meanwhile ends the save.
  if (!details_->FetchAll()) return;
  const bool live = live_list_shown();
  SaveListAsCsv(host_.prompt(), live ? "スタートアップ" : "スタートアップ 無効ボックス",
                StartupCsvHeader(), StartupCsvRows(entries, host_.locations(), live));
}

// ---------------------------------------------------------------------------------------
// Adding entries: from the menu (a chosen file, a running application) or dropped files.

void StartupPage::N16Click(int sender) {
  std::optional<std::string> chosen;
  if (sender == kIdN16) {
    const FileFilter programs{"アプリケーション(*.exe)", "*.exe"};
    chosen = host_.prompt().ChooseFileToOpen("", programs, host_.settings().dir1);
  } else {
    chosen = host_.ChooseRunningApplication();
  }
  if (!chosen || chosen->empty()) return;
  host_.settings().dir1 = FolderPartOf(*chosen);
  AddEntries({*chosen});
}

void StartupPage::AddEntries(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  int kind = 0, location = 0;
  {
    TOKBottomDlg dialog(host_.window(), host_.dpi(), host_.locations().profiles(),
                        OfferedRunLocations(host_.registry()), host_.locations().current_profile_name(), host_.glyphs(), host_.glyph_count());
    dialog.ShowModal();
    if (!dialog.ok()) return;
    kind = dialog.kind();
    location = dialog.location();
  }
  {
    WaitCursor busy;
    for (const std::string& path : paths) AddOneEntry(path, kind, location);
  }
  RebuildShownList();  // a drop on the Disabled Box view keeps that view
}

void StartupPage::AddOneEntry(const std::string& path, int kind, int location) {
  if (kind == 1) {
    StartupContext context = Context();
    AddRunValue(context, path, location);
    return;
  }
  const std::string folder = host_.locations().FolderOf(FolderKind::kStartup, location);
  if (folder.empty()) return;
  AddShortcut(host_.shell_link(), host_.prompt(), path, nullptr, folder, "", path);
}

// ---------------------------------------------------------------------------------------
// Selection and the selectors

void StartupPage::ListBox1Click() {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  const int kind = EntryKind(*entry);
  SendMessageW(ComboBox1, CB_SETCURSEL, kind, 0);
  kind_colour_ = kind == 2 ? kTaskKindColour : kind == 1 ? kRegistryKindColour : kFolderKindColour;
  const int location = EntryLocation(*entry);
  location_choices_.clear();
  std::vector<std::string> items;
  if (location < 0) {
    // A task or a Winlogon value: its place, which cannot be changed.
    location_choices_ = {location};
    items = {StartupLocationText(*entry, host_.locations())};
  } else if (kind == 1) {
    location_choices_ = OfferedRunLocations(host_.registry(), location);
    items = RunLocationTexts(location_choices_);
  } else {
    items = host_.locations().profiles();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) location_choices_.push_back(i);
  }
  SetComboItems(ComboBox2, items);
  FitDroppedWidth(ComboBox2, 2 * host_.dpi().Scale(3));  // the items' text sits 3 pixels in
  location_colour_ = EntryColour(entry->Key, entry->Kind, host_.locations().all_users_index());
  SendMessageW(ComboBox2, CB_SETCURSEL, ComboItemOfLocation(location), 0);
  InvalidateRect(ComboBox1, nullptr, TRUE);
  InvalidateRect(ComboBox2, nullptr, TRUE);
  SpeedButton3.SetEnabled(false);
  SpeedButton4.SetEnabled(false);
  std::string status = entry->Location.empty() ? entry->Command : entry->Location;
  if (entry->WindowsDisabled) {
    const std::string since = LocalTimeText(static_cast<std::int64_t>(entry->WindowsDisabledAt));
    status = "[" + std::string(kWindowsDisabledMark) + (since.empty() ? "" : " " + since) + "] " + status;
  }
  if (entry->ReadOnly) {
    const char* why = host_.is_admin() ? "このキーを変更する権限がありません" : "変更には管理者の権限が必要です";
    status = "[" + std::string(kReadOnlyMark) + "：" + why + "] " + status;
  }
  host_.SetStatusText(1, status);
  host_.SetHint(ComboBox2, LocationHintOf(kind, location));
}

int StartupPage::ChosenLocation() const {
  const LRESULT item = SendMessageW(ComboBox2, CB_GETCURSEL, 0, 0);
  if (item < 0 || static_cast<size_t>(item) >= location_choices_.size()) return -1;
  return location_choices_[static_cast<size_t>(item)];
}

int StartupPage::ComboItemOfLocation(int location) const {
  for (size_t i = 0; i < location_choices_.size(); ++i)
    if (location_choices_[i] == location) return static_cast<int>(i);
  return -1;
}

void StartupPage::ComboBox1Change() {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  const int chosen = static_cast<int>(SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0));
  SpeedButton3.SetEnabled(!entry->ReadOnly && KindApplyEnabled(*entry, chosen));
}

void StartupPage::ComboBox2Change() {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  const int chosen = ChosenLocation();
  const int profile_count = static_cast<int>(host_.locations().profiles().size());
  SpeedButton4.SetEnabled(!entry->ReadOnly && LocationApplyEnabled(*entry, chosen, profile_count));
  host_.SetHint(ComboBox2, LocationHintOf(EntryKind(*entry), chosen));
}

// ---------------------------------------------------------------------------------------
// The row menu

UniqueMenu StartupPage::PopupMenu1Popup() {
  const bool selected = selected_entry() != nullptr;
  const bool live = live_list_shown();
  UniqueMenu menu(CreatePopupMenu());
  const EntryRecord* entry = selected_entry();
  if (live && entry && IsWinlogonEntry(*entry)) {
    // A wrong value stops the log-on: the row offers its folder and a copy of the value only.
    AppendMenuItem(menu.get(), kIdOptionMenu2, "フォルダを開く(&O)", 3);
    AppendMenuItem(menu.get(), kIdCopyValue, "値をコピー(&C)", 20);
    return menu;
  }
  // A row of a key the user may only read offers its changes greyed; deleting a Disabled
  // Box line changes no key.
  const bool changeable = entry && !entry->ReadOnly;
  if (live && selected) AppendMenuItem(menu.get(), kIdN1, "無効にする(&N)", 1, changeable);
  if (live && entry && entry->Returned)
    AppendMenuItem(menu.get(), kIdDisableAgain, "もう一度無効にする(&G)", 1, changeable);
  if (live && entry && entry->WindowsDisabled)
    AppendMenuItem(menu.get(), kIdWindowsEnable, "Windows の無効を解除(&W)", 0, changeable);
  if (!live && selected) AppendMenuItem(menu.get(), kIdN3, "有効にする(&E)", 0, changeable);
  if (selected) AppendMenuItem(menu.get(), kIdDelete1, "削除(&D)", 2, changeable || !live);
  if (GetMenuItemCount(menu.get()) > 0) AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  if (backup_.RunKeysUndoAvailable) {
    HMENU registry = CreatePopupMenu();
    AppendMenuItem(registry, kIdN5, "保存内容の読込(&R)", 18);
    AppendMenuItem(registry, kIdUndo1, "元に戻す(&U)", 19);
    AppendMenuItem(menu.get(), 0, "レジストリ(&R)", host_.glyph_count() + 1, true, registry);
  }
  if (live) {
    HMENU add = CreatePopupMenu();
    AppendMenuItem(add, kIdN16, "ファイルを指定する(&F)", 22);
    AppendMenuItem(add, kIdN24, "実行中のアプリから選択する(&R)", 21);
    AppendMenuItem(menu.get(), 0, "スタートアップに追加(&A)", 29, true, add);
  }
  if (backup_.RunKeysUndoAvailable || live) AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuItem(menu.get(), kIdOptionMenu2, "フォルダを開く(&O)", 3, selected);
  AppendMenuItem(menu.get(), kIdSaveList1, "一覧を保存(&L)\tCtrl+S", -1);
  return menu;
}

bool StartupPage::OnContextMenu(HWND control, POINT point) {
  if (control != ListBox1) return false;
  ShowListMenu(control, point, static_cast<int>(entries.size()), host_.dpi(), host_.window(), [this] { ListBox1Click(); },
               [this] { return PopupMenu1Popup(); });
  return true;
}

void StartupPage::OptionMenu2Click() {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  if (IsRegistryEntry(*entry) || IsTaskEntry(*entry)) {
    OpenEntryFolder(selected_row());
    return;
  }
  const std::string folder = host_.locations().FolderOf(FolderKind::kStartup, entry->Key);
  ShellExecuteW(host_.window(), L"open", Wide(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void StartupPage::CopyValueClick() {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  if (!CopyTextToClipboard(host_.window(), entry->Command))
    host_.prompt().ShowMessage("クリップボードにコピーできませんでした。", kAppTitle, PromptIcon::kWarning);
}

void StartupPage::OpenEntryFolder(int row) {
  if (row < 0 || row >= static_cast<int>(entries.size())) return;
  const std::string folder = EntryFolderOf(entries[static_cast<size_t>(row)].Command, system_);
  if (!folder.empty() && FolderExists(folder)) {
    ShellExecuteW(host_.window(), L"open", Wide(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return;
  }
  host_.prompt().ShowMessage(folder + "\n\nこのディレクトリは存在しません。", kAppTitle, PromptIcon::kInformation);
}

// ---------------------------------------------------------------------------------------
// Messages

bool StartupPage::OnCommand(int id, int code, HWND control) {
  if (control == ListBox1) {
    if (code == LBN_SELCHANGE) ListBox1Click();
    return true;
  }
  if (control == ComboBox1 || control == ComboBox2) {
    if (code == CBN_SELCHANGE) {
      if (control == ComboBox1) ComboBox1Change(); else ComboBox2Change();
    }
    return true;
  }
  if (control && control == SpeedButton3.hwnd()) {
    if (code == BN_CLICKED) SpeedButton3Click();
    return true;
  }
  if (control && control == SpeedButton4.hwnd()) {
    if (code == BN_CLICKED) SpeedButton4Click();
    return true;
  }
  if (control) return false;  // menu commands come without a control
  switch (id) {
    case kIdOptionMenu2:
      OptionMenu2Click();
      return true;
    case kIdN1: N1Click(); return true;
    case kIdN3: N3Click(); return true;
    case kIdDelete1: DeleteStartupEntry(true); return true;
    case kIdN5: N5Click(); return true;
    case kIdUndo1: Undo1Click(); return true;
    case kIdWindowsEnable: WindowsEnableClick(); return true;
    case kIdDisableAgain: DisableAgainClick(); return true;
    case kIdSaveList1: SaveList(); return true;
    case kIdCopyValue: CopyValueClick(); return true;
    case kIdN16: case kIdN24:
      N16Click(id);
      return true;
  }
  return false;
}

bool StartupPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
  for (SpeedButton* apply : {&SpeedButton3, &SpeedButton4}) {
    if (item.hwndItem == apply->hwnd()) {
      apply->Draw(item);
      return true;
    }
  }
  if (item.hwndItem == ListBox1) {
    if (item.itemID == static_cast<UINT>(-1)) return true;
    const int row = static_cast<int>(item.itemID);
    details_->Prefer(row);  // shown without its details: they are fetched next
    DrawStartupListItem(item.hDC, item.rcItem, entries, row, (item.itemState & ODS_SELECTED) != 0,
                        store_.pictures(), picture_of(row), host_.locations().all_users_index(),
                        font_.get(), host_.dpi(), RowShowsFocus(item), details_->waiting(row));
    return true;
  }
  if (item.hwndItem == ComboBox1) {
    DrawKindItem(item);
    return true;
  }
  if (item.hwndItem == ComboBox2) {
    DrawLocationItem(item);
    return true;
  }
  return false;
}

void StartupPage::DrawKindItem(const DRAWITEMSTRUCT& item) const {
  DrawKindSelectorItem(item, kind_colour_, host_.glyphs(), host_.glyph_count(), host_.dpi());
}

void StartupPage::DrawLocationItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  const bool highlighted = (item.itemState & ODS_SELECTED) && !(item.itemState & ODS_COMBOBOXEDIT);
  HBRUSH brush = CreateSolidBrush(highlighted      ? GetSysColor(COLOR_HIGHLIGHT)
                                  : HighContrastOn() ? GetSysColor(COLOR_WINDOW)
                                                     : location_colour_);
  FillRect(dc, &item.rcItem, brush);
  DeleteObject(brush);
  if (item.itemID == static_cast<UINT>(-1)) return;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const std::wstring text = Wide(ComboItemText(item.hwndItem, static_cast<int>(item.itemID)));
  TextOutW(dc, item.rcItem.left + host_.dpi().Scale(3), item.rcItem.top + host_.dpi().Scale(2), text.c_str(),
           static_cast<int>(text.size()));
  if (RowShowsFocus(item)) DrawRowFocus(dc, item.rcItem);
}

}  // namespace orvela
