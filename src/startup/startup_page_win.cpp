#include "startup/startup_page_win.h"

#include <shellapi.h>

#include "app/form1_win.h"
#include "platform/folders_win.h"
#include "platform/image_list_win.h"
#include "platform/shell_icon_win.h"
#include "platform/wait_cursor_win.h"
#include "platform/wide_win.h"
#include "startup/command_line.h"
#include "startup/disabled_box.h"
#include "startup/entry_colours.h"
#include "startup/entry_folder.h"
#include "startup/startup_entries.h"
#include "startup/startup_row_win.h"
#include "startup/version_info_win.h"

namespace orvela {
namespace {

constexpr char kStartupRunPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kMachineRunPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kMachineRunOncePath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kRegistryLocations[] = "HKEY_CURRENT_USER\nHKEY_LOCAL_MACHINE Run\nHKEY_LOCAL_MACHINE RunOnce";
constexpr COLORREF kFolderKindColour = RGB(255, 249, 215);
constexpr COLORREF kRegistryKindColour = RGB(230, 233, 255);

void SetComboItems(HWND combo, const std::vector<std::string>& items) {
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string ComboItemText(HWND combo, int index) {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return Narrow(text);
}

// A menu item with an image of the glyph list, drawn by the main window (HBMMENU_CALLBACK).
void AppendItem(HMENU menu, UINT id, const std::string& caption, int image, bool enabled = true,
                HMENU submenu = nullptr) {
  std::wstring text = Wide(caption);
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA | (image >= 0 ? MIIM_BITMAP : 0) |
               (submenu ? MIIM_SUBMENU : 0);
  item.wID = id;
  item.dwTypeData = text.data();
  item.fState = enabled ? MFS_ENABLED : MFS_GRAYED;
  item.hbmpItem = HBMMENU_CALLBACK;
  item.dwItemData = static_cast<ULONG_PTR>(image + 1);
  item.hSubMenu = submenu;
  InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &item);
}

}  // namespace

StartupPage::StartupPage(TForm1& form)
    : form_(form),
      system_([&form](const std::string& link) {
        std::string target;
        form.shell_link().GetLinkToPath(link, target, nullptr);
        return target;
      }),
      shell_(form.shell_link()),
      font_(CreateStartupListFont()),
      kind_colour_(kFolderKindColour),
      location_colour_(GetSysColor(COLOR_WINDOW)) {
  backup_.file_path = form_.paths().run_keys_backup;
  SetComboItems(form_.ComboBox1, {"フォルダ", "レジストリ"});
  form_.SetMenuHint(kIdN1, "選択したスタートアップを無効ボックスに格納する");
  form_.SetMenuHint(kIdN3, "選択したリストをスタートアップに戻す");
  form_.SetMenuHint(kIdDelete1, "選択したスタートアップを削除する");
  form_.SetMenuHint(kIdUndo1, "レジストリのスタートアップを変更前に戻す");
}

bool StartupPage::live_list_shown() const { return form_.SpeedButton1.down(); }

int StartupPage::selected_row() const { return TForm1::SelectedRow(form_.ListBox1); }

const EntryRecord* StartupPage::selected_entry() const {
  const int row = selected_row();
  if (row < 0 || row >= static_cast<int>(form_.entries.size())) return nullptr;
  return &form_.entries[static_cast<size_t>(row)];
}

// ---------------------------------------------------------------------------------------
// The list

void StartupPage::RefreshStartupList() {
  WaitCursor busy;
  HWND list = form_.ListBox1;
  const EntryRecord* selected = selected_entry();
  const std::string remembered = selected ? selected->Name : std::string();

  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  ImageList_RemoveAll(form_.image_list1());

  const ProfileLocations& locations = form_.locations();
  std::vector<FolderItem> folder_items;
  for (int i = 0; i < static_cast<int>(locations.profiles().size()); ++i)
    ListFolderFiles(locations.FolderOf(FolderKind::kStartup, i), i, "", folder_items);
  RegistryBackend& registry = form_.registry();
  form_.entries = CollectStartupEntries(folder_items,
                                        ReadRunKey(registry, RootKey::kCurrentUser, kStartupRunPath),
                                        ReadRunKey(registry, RootKey::kLocalMachine, kMachineRunPath),
                                        ReadRunKey(registry, RootKey::kLocalMachine, kMachineRunOncePath));
  for (EntryRecord& record : form_.entries) {
    const ResolvedTarget resolved = ResolveTarget(ProgramPathOf(record.Command), system_);
    record.Missing = resolved.missing;
    HICON icon = ShellIconOf(resolved.program, false, false);
    AppendIconOrBlank(form_.image_list1(), icon ? icon : ShellIconOf(resolved.target, false, false));
    ReadVersionInfo(resolved.target, record);
  }
  const int count = static_cast<int>(form_.entries.size());
  SendMessageW(list, LB_SETCOUNT, count, 0);
  const int row = RowToReselect(form_.entries, remembered);
  if (row >= 0) SendMessageW(list, LB_SETCURSEL, row, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  form_.SetStatusText(0, std::to_string(count));
}

void StartupPage::ShowDisabledBox() {
  WaitCursor busy;
  EnableWindow(form_.ComboBox1, FALSE);
  EnableWindow(form_.ComboBox2, FALSE);
  HWND list = form_.ListBox1;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  ImageList_RemoveAll(form_.image_list1());
  form_.entries = DisabledBoxRecords(form_.startup_box(), form_.locations());
  for (EntryRecord& record : form_.entries) {
    UniqueHicon icon = PrepareDisabledBoxRow(record, system_);
    AppendIconOrBlank(form_.image_list1(), icon.release());
  }
  const int count = static_cast<int>(form_.entries.size());
  SendMessageW(list, LB_SETCOUNT, count, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  form_.SetStatusText(0, std::to_string(count));
}

void StartupPage::RebuildShownList() {
  if (live_list_shown()) RefreshStartupList(); else ShowDisabledBox();
}

StartupContext StartupPage::Context() {
  return StartupContext{form_.registry(), form_.prompt(),       form_.locations(),
                        shell_,           form_.startup_box(),  form_.paths().startup_box,
                        form_.startup_box_writable(), backup_};
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
  const int chosen = static_cast<int>(SendMessageW(form_.ComboBox1, CB_GETCURSEL, 0, 0));
  StartupContext context = Context();
  if (ChangeKind(context, *entry, chosen).changed) RefreshStartupList();
}

void StartupPage::SpeedButton4Click() {
  const EntryRecord* entry = selected_entry();
  if (!entry || !live_list_shown()) return;
  const int chosen = static_cast<int>(SendMessageW(form_.ComboBox2, CB_GETCURSEL, 0, 0));
  StartupContext context = Context();
  if (ChangeLocation(context, *entry, chosen).changed) RefreshStartupList();
}

void StartupPage::N5Click() {
  StartupContext context = Context();
  RestoreRunKeys(context, true);
  RefreshStartupList();
}

void StartupPage::Undo1Click() {
  StartupContext context = Context();
  RestoreRunKeys(context, false);
  RefreshStartupList();
}

// ---------------------------------------------------------------------------------------
// Selection and the selectors

void StartupPage::ListBox1Click() {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  const int kind = EntryKind(*entry);
  SendMessageW(form_.ComboBox1, CB_SETCURSEL, kind, 0);
  kind_colour_ = kind == 1 ? kRegistryKindColour : kFolderKindColour;
  SetComboItems(form_.ComboBox2, kind == 1 ? Lines(kRegistryLocations) : form_.locations().profiles());
  location_colour_ = EntryColour(entry->Key, entry->Kind, form_.locations().all_users_index());
  const int location = EntryLocation(*entry);
  SendMessageW(form_.ComboBox2, CB_SETCURSEL, location, 0);
  InvalidateRect(form_.ComboBox1, nullptr, TRUE);
  InvalidateRect(form_.ComboBox2, nullptr, TRUE);
  form_.SpeedButton3.SetEnabled(false);
  form_.SpeedButton4.SetEnabled(false);
  form_.SetStatusText(1, entry->Location.empty() ? entry->Command : entry->Location);
  form_.SetHint(form_.ComboBox2, LocationHint(location));
}

void StartupPage::ComboBox1Change() {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  const int chosen = static_cast<int>(SendMessageW(form_.ComboBox1, CB_GETCURSEL, 0, 0));
  form_.SpeedButton3.SetEnabled(KindApplyEnabled(*entry, chosen));
}

void StartupPage::ComboBox2Change() {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  const int chosen = static_cast<int>(SendMessageW(form_.ComboBox2, CB_GETCURSEL, 0, 0));
  form_.SpeedButton4.SetEnabled(
      LocationApplyEnabled(*entry, chosen, static_cast<int>(form_.locations().profiles().size())));
  form_.SetHint(form_.ComboBox2, LocationHint(chosen));
}

// ---------------------------------------------------------------------------------------
// The row menu

UniqueMenu StartupPage::PopupMenu1Popup() {
  const bool selected = selected_entry() != nullptr;
  const bool live = form_.SpeedButton1.down();
  UniqueMenu menu(CreatePopupMenu());
  if (live && selected) AppendItem(menu.get(), kIdN1, "無効にする", 1);
  if (form_.SpeedButton2.down() && selected) AppendItem(menu.get(), kIdN3, "有効にする", 0);
  if (selected) AppendItem(menu.get(), kIdDelete1, "削除", 2);
  if (GetMenuItemCount(menu.get()) > 0) AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  if (backup_.RunKeysUndoAvailable) {
    HMENU registry = CreatePopupMenu();
    AppendItem(registry, kIdN5, "保存内容の読込", 18);
    AppendItem(registry, kIdUndo1, "元に戻す", 19);
    AppendItem(menu.get(), 0, "レジストリ", form_.designed_image_count() + 1, true, registry);
  }
  if (live) {
    HMENU add = CreatePopupMenu();
    AppendItem(add, kIdN16, "ファイルを指定する", 22);
    AppendItem(add, kIdN24, "実行中のアプリから選択する", 21);
    AppendItem(menu.get(), 0, "スタートアップに追加(&A)", 29, true, add);
  }
  if (backup_.RunKeysUndoAvailable || live) AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendItem(menu.get(), kIdOptionMenu2, "フォルダを開く(&O)", 3, selected);
  return menu;
}

bool StartupPage::OnContextMenu(HWND control, POINT point) {
  if (control != form_.ListBox1) return false;
  if (point.x == -1 && point.y == -1) {
    // From the keyboard: under the selected row, or at the list's corner.
    RECT r{};
    const int row = selected_row();
    if (row < 0 || SendMessageW(control, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)) == LB_ERR) r = {};
    point = {r.left + 16, r.top + 16};
    ClientToScreen(control, &point);
  } else {
    // A right click selects the row under the mouse, as lists do.
    POINT client = point;
    ScreenToClient(control, &client);
    const LRESULT hit = SendMessageW(control, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    const int row = LOWORD(hit);
    if (HIWORD(hit) == 0 && row < static_cast<int>(form_.entries.size()) && row != selected_row()) {
      SendMessageW(control, LB_SETCURSEL, row, 0);
      ListBox1Click();
    }
  }
  UniqueMenu menu = PopupMenu1Popup();
  TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, point.x, point.y, 0, form_.hwnd(), nullptr);
  return true;
}

void StartupPage::OptionMenu2Click() {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  if (IsRegistryEntry(*entry)) {
    OpenEntryFolder(selected_row());
    return;
  }
  const std::string folder = form_.locations().FolderOf(FolderKind::kStartup, entry->Key);
  ShellExecuteW(form_.hwnd(), L"open", Wide(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void StartupPage::OpenEntryFolder(int row) {
  if (row < 0 || row >= static_cast<int>(form_.entries.size())) return;
  const std::string folder = EntryFolderOf(form_.entries[static_cast<size_t>(row)].Command, system_);
  if (!folder.empty() && FolderExists(folder)) {
    ShellExecuteW(form_.hwnd(), L"open", Wide(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return;
  }
  form_.prompt().ShowMessage(folder + "\n\nこのディレクトリは存在しません。", kAppTitle, PromptIcon::kInformation);
}

// ---------------------------------------------------------------------------------------
// Messages

bool StartupPage::OnCommand(int id, int code, HWND control) {
  if (control == form_.ListBox1) {
    if (code == LBN_SELCHANGE) ListBox1Click();
    return true;
  }
  if (control == form_.ComboBox1 || control == form_.ComboBox2) {
    if (code == CBN_SELCHANGE) {
      if (control == form_.ComboBox1) ComboBox1Change(); else ComboBox2Change();
    }
    return true;
  }
  if (control && control == form_.SpeedButton3.hwnd()) {
    if (code == BN_CLICKED) SpeedButton3Click();
    return true;
  }
  if (control && control == form_.SpeedButton4.hwnd()) {
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
    case kIdN16: case kIdN24:
      return true;  // adding entries comes with its own dialog
  }
  return false;
}

bool StartupPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem == form_.ListBox1) {
    if (item.itemID == static_cast<UINT>(-1)) return true;
    DrawStartupListItem(item.hDC, item.rcItem, form_.entries, static_cast<int>(item.itemID),
                        (item.itemState & ODS_SELECTED) != 0, form_.image_list1(),
                        form_.locations().all_users_index(), font_.get());
    return true;
  }
  if (item.hwndItem == form_.ComboBox1) {
    DrawKindItem(item);
    return true;
  }
  if (item.hwndItem == form_.ComboBox2) {
    DrawLocationItem(item);
    return true;
  }
  return false;
}

void StartupPage::DrawKindItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  const bool highlighted = (item.itemState & ODS_SELECTED) && !(item.itemState & ODS_COMBOBOXEDIT);
  HBRUSH brush = CreateSolidBrush(highlighted ? GetSysColor(COLOR_HIGHLIGHT) : kind_colour_);
  FillRect(dc, &item.rcItem, brush);
  DeleteObject(brush);
  if (item.itemID == static_cast<UINT>(-1)) return;
  ImageList_Draw(form_.image_list2(), form_.designed_image_count() + static_cast<int>(item.itemID), dc,
                 item.rcItem.left + 1, item.rcItem.top + 1, ILD_TRANSPARENT);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const std::wstring text = Wide(ComboItemText(item.hwndItem, static_cast<int>(item.itemID)));
  TextOutW(dc, item.rcItem.left + 21, item.rcItem.top + 2, text.c_str(), static_cast<int>(text.size()));
}

void StartupPage::DrawLocationItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  const bool highlighted = (item.itemState & ODS_SELECTED) && !(item.itemState & ODS_COMBOBOXEDIT);
  HBRUSH brush = CreateSolidBrush(highlighted ? GetSysColor(COLOR_HIGHLIGHT) : location_colour_);
  FillRect(dc, &item.rcItem, brush);
  DeleteObject(brush);
  if (item.itemID == static_cast<UINT>(-1)) return;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const std::wstring text = Wide(ComboItemText(item.hwndItem, static_cast<int>(item.itemID)));
  TextOutW(dc, item.rcItem.left + 3, item.rcItem.top + 2, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace orvela
