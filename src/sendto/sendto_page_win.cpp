#include "sendto/sendto_page_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "system/add_shortcut_win.h"
#include "rows/list_export.h"
#include "window/controls_win.h"
#include "rows/entry_row_win.h"
#include "rows/high_contrast_win.h"
#include "rows/list_rows_win.h"
#include "rows/row_text.h"
#include "window/pages.h"
#include "components/shell_link_win.h"
#include "platform/app_title.h"
#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/message_pump_win.h"
#include "platform/plain_text.h"
#include "platform/shell_icon_win.h"
#include "platform/wait_cursor_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

void ApplyTexts(const VersionTexts& texts, EntryRecord& row) {
  row.Product = texts.product;
  row.Company = texts.company;
  row.LegalNotice = texts.legal_notice;
  row.Description = texts.description;
}

bool HasTexts(const VersionTexts& texts) {
  return !texts.product.empty() || !texts.company.empty() || !texts.legal_notice.empty() ||
         !texts.description.empty();
}

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool ReadableVolumes::Readable(const std::string& path) {
  if (path.empty()) return false;
  const char drive = path[0];
  {
    Locked locked(lock_);
    if (const auto known = known_.find(drive); known != known_.end()) return known->second;
  }
  // The worker's threads keep the system's "insert a disk" box off.
  const std::wstring root = Wide(std::string(1, drive) + ":\\");
  const bool readable = GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0) != 0;
  Locked locked(lock_);
  known_[drive] = readable;
  return readable;
}

PictureKey LookUpSendToRow(EntryRecord& row, bool live, RowDetailStore& store, ReadableVolumes& volumes) {
  if (row.Unrecognised) return 0;
  if (!live) {
    // A shell item rather than a file: its own icon and texts.
    if (row.ItemIdForm) return store.AddPicture(ItemIdFormIcon(row.Command).release());
    PictureKey icon = store.PictureKeyOf(row.Command, true).value_or(0);
    ApplyTexts(store.Version(row.Command, true).value_or(VersionTexts{}), row);
    // The item is gone (a plain item lives only in the box): its file type's icon.
    if (icon == 0) icon = store.AddPicture(ShellIconOf(row.Command, false, true));
    return icon;
  }

  const VersionTexts own = store.Version(row.Command, true).value_or(VersionTexts{});
  VersionTexts texts;
  bool missing = false;
  std::string icon_of = row.Command;
  // A drive that does not answer is left alone: no company, not marked missing.
  if (EndsWith(row.Command, ".lnk") && volumes.Readable(row.Command)) {
    const LinkTarget link = store.Link(row.Command, true).value_or(LinkTarget{});
    if (!link.path.empty()) {
      missing = !PathExists(link.path);
      if (!missing) {
        texts = store.Version(link.path, true).value_or(VersionTexts{});
        // Without an icon of its own a shortcut shows its target's (asked of the target:
        // the shell draws some shortcut files without their picture).
        if (!link.own_icon) icon_of = link.path;
      }
    } else {
      // No path: a shortcut to a shell item (or no shortcut at all).
      missing = !TShellLink().GetLinkToItemId(row.Command, nullptr);
    }
  }
  const PictureKey icon = store.PictureKeyOf(icon_of, true).value_or(0);
  if (HasTexts(own)) texts = own;
  ApplyTexts(texts, row);
  row.Missing = missing;
  return icon;
}

SendToPage::SendToPage(PageHost& host, HWND sheet)
    : host_(host),
      sheet_(sheet),
      store_(SharedRowDetails(host.dpi())),
      shell_(host.shell_link()),
      font_(CreateEntryListFont(DEFAULT_QUALITY, host.dpi())) {
  ListBox2 = CreateEntryList(sheet_, kIdListBox2);
  SetControlFont(ListBox2, host_.list_font());
  SendMessageW(ListBox2, LB_SETITEMHEIGHT, 0, host_.dpi().Scale(kEntryRowHeight));
  details_ = std::make_unique<RowDetailQueue>(ListBox2, RowDetailQueue::OnWorker{}, [this](int row) { return LookUpRow(row); });
  host_.SetMenuHint(kIdN7, "選択した送るメニューを無効ボックスに格納する");
  host_.SetMenuHint(kIdN8, "選択したリストを送るメニューに戻す");
  host_.SetMenuHint(kIdDelete2, "選択した送るメニューを削除する");
  host_.SetMenuHint(kIdSendtoMemu, "送るフォルダを開く");
  host_.SetMenuHint(kIdN17, "ファイルやフォルダを送るメニューに追加する");
}

void SendToPage::Layout(int width, int height) {
  SetWindowPos(ListBox2, nullptr, 0, 0, width, height, SWP_NOZORDER);
}

const EntryRecord* SendToPage::selected_entry() const {
  return RowAt(entries, selected_row());
}

int SendToPage::picture_of(int row) const {
  const int* picture = RowAt(pictures_, row);
  return picture ? *picture : -1;
}

// ---------------------------------------------------------------------------------------
// The views

void SendToPage::FillSendToList() { FillView(true); }

void SendToPage::ShowSendToDisabledBox() { FillView(false); }

void SendToPage::FillView(bool live) {
  fill_.Run([&] { FillRows(live); }, [this] { FillRows(host_.live_view_shown()); });
}

void SendToPage::FillRows(bool live) {
  WaitCursor busy;
  details_->Stop();  // the shown rows are about to go
  volumes_ = std::make_shared<ReadableVolumes>();  // a drive may have become ready since
  std::vector<EntryRecord> rows;
  std::string user;
  if (live) {
    user = host_.selected_user();
    const std::string folder = SendToFolderOf(host_.locations(), user);
    if (!folder.empty()) rows = SendToItemRecords(folder, FileNamesIn(folder));
  } else {
    rows = SendToBoxRecords(host_.sendto_box().lines, host_.locations());
  }
  // Every row's details come from the worker: even a file's time may take a drive long.
  std::vector<int> pictures(rows.size(), -1);
  std::vector<int> waiting;
  for (size_t i = 0; i < rows.size(); ++i)
    if (!rows[i].Unrecognised) waiting.push_back(static_cast<int>(i));

  // The selection may have moved while the folder was read: remember it now.
  const EntryRecord* selected = selected_entry();
  const std::string remembered = live && rows_live_ && selected ? selected->Name : std::string();
  entries = std::move(rows);
  pictures_ = std::move(pictures);
  rows_live_ = live;
  user_ = user;
  const int count = static_cast<int>(entries.size());
  ShowEntryRows(
      ListBox2, entries, [](const EntryRecord& entry) { return SendToRowText(entry, !entry.Unrecognised); },
      remembered);
  // A fill overtaken by a switch to another page leaves that page's count alone.
  if (host_.current_page() == kSendToPage) host_.SetStatusText(0, std::to_string(count));
  details_->Start(count, waiting);
}

Lookup SendToPage::LookUpRow(int row) {
  const EntryRecord* entry = RowAt(entries, row);
  if (!entry) return {};
  // On the worker, with a copy of the row; the answer comes back only while this fill lasts.
  return [this, row, record = *entry, live = rows_live_, &store = store_, volumes = volumes_]() mutable -> LookupAnswer {
    const PictureKey picture = LookUpSendToRow(record, live, store, *volumes);
    return [this, row, record, picture] { TakeRowDetails(row, record, picture); };
  };
}

void SendToPage::TakeRowDetails(int row, const EntryRecord& looked_up, PictureKey picture) {
  if (row < 0 || static_cast<size_t>(row) >= entries.size()) return;
  entries[static_cast<size_t>(row)] = looked_up;  // the same row of the same fill, with its details
  pictures_[static_cast<size_t>(row)] = store_.PictureIndex(picture);
  SetListRowText(ListBox2, row, SendToRowText(looked_up));  // now with the missing mark and version texts
}

SendToContext SendToPage::Context() {
  return SendToContext{host_.prompt(), shell_, host_.sendto_box(), host_.locations()};
}

// ---------------------------------------------------------------------------------------
// Commands: each reads the selection, calls the page's logic and rebuilds the view.

void SendToPage::N7Click() {
  const EntryRecord* entry = selected_entry();
  if (!entry || !rows_live_ || !host_.live_view_shown()) return;
  SendToContext context = Context();
  if (DisableSendToItem(context, user_, *entry)) FillSendToList();
}

void SendToPage::N8Click() {
  const int row = selected_row();
  if (row < 0 || rows_live_ || host_.live_view_shown()) return;
  SendToContext context = Context();
  if (EnableSendToLine(context, static_cast<size_t>(row))) ShowSendToDisabledBox();
}

void SendToPage::DeleteSendToEntry(bool ask) {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  SendToContext context = Context();
  if (rows_live_) {
    if (DeleteSendToItem(context, *entry, ask)) FillSendToList();
  } else if (DeleteSendToLine(context, static_cast<size_t>(selected_row()), ask)) {
    ShowSendToDisabledBox();
  }
}

void SendToPage::SendtoMemuClick() {
  const std::string folder = SendToFolderOf(host_.locations(), host_.selected_user());
  if (folder.empty()) return;
  if (!FolderExists(folder)) {
    host_.prompt().ShowMessage(folder + "\n\nこのディレクトリは存在しません。", kAppTitle, PromptIcon::kInformation);
    return;
  }
  ShellExecuteW(host_.window(), L"open", Wide(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void SendToPage::N17Click() {
  const std::string title =
      "SendTo （" + host_.selected_user() + "）に追加するフォルダ、又はファイルを選択して下さい";
  const std::optional<std::string> chosen = host_.prompt().ChooseItem(title, host_.settings().dir2);
  if (!chosen || chosen->empty()) return;
  host_.settings().dir2 = *chosen;
  AddEntries({*chosen});
}

void SendToPage::AddEntries(const std::vector<std::string>& paths) {
  {
    WaitCursor busy;
    for (const std::string& path : paths) AddOneEntry(path);
  }
  if (host_.live_view_shown()) FillSendToList(); else ShowSendToDisabledBox();
}

void SendToPage::AddOneEntry(const std::string& path) {
  const std::string folder = SendToFolderOf(host_.locations(), host_.selected_user());
  const UniqueItemIdList item = PathToItemIdList(path);
  if (folder.empty() || !item) return;
  std::string name;
  if (path.size() < 4) {
    // A drive root has no file name: the shortcut takes the drive's display name, without
    // the blank Wine puts before " (C:)" on a drive without a label.
    SHFILEINFOW info{};
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item.get()), 0, &info, sizeof info,
                       SHGFI_PIDL | SHGFI_DISPLAYNAME))
      name = std::string(Trim(Narrow(info.szDisplayName), Blanks::kSpaces));
  }
  AddShortcut(host_.shell_link(), host_.prompt(), "", item.get(), folder, name, path);
}

void SendToPage::ListBox2Click() {
  const EntryRecord* entry = selected_entry();
  if (!entry) return;
  host_.SetStatusText(1, entry->Location.empty() ? entry->Command : entry->Location);
}

// ---------------------------------------------------------------------------------------
// The row menu and messages

UniqueMenu SendToPage::PopupMenu2Popup() {
  const bool selected = selected_entry() != nullptr;
  const bool live = rows_live_;
  UniqueMenu menu(CreatePopupMenu());
  if (live && selected) AppendMenuItem(menu.get(), kIdN7, "無効(&N)", 1);
  if (!live && selected) AppendMenuItem(menu.get(), kIdN8, "有効(&E)", 0);
  if (selected) AppendMenuItem(menu.get(), kIdDelete2, "削除(&D)", 2);
  if (live) {
    if (GetMenuItemCount(menu.get()) > 0) AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuItem(menu.get(), kIdN17, "送るに追加(&A)", 29);
    AppendMenuItem(menu.get(), kIdSendtoMemu, "フォルダを開く(&O)", 3);
  }
  if (GetMenuItemCount(menu.get()) > 0) AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuItem(menu.get(), kIdSaveList2, "一覧を保存(&L)\tCtrl+S", -1);
  return menu;
}

bool SendToPage::OnContextMenu(HWND control, POINT point) {
  if (control != ListBox2) return false;
  ShowListMenu(control, point, static_cast<int>(entries.size()), host_.dpi(), host_.window(), [this] { ListBox2Click(); },
               [this] { return PopupMenu2Popup(); });
  return true;
}

void SendToPage::OnListKey(HWND list, WPARAM key) {
  if (list == ListBox2 && key == VK_DELETE) DeleteSendToEntry(true);
}

void SendToPage::SaveList() {
  // The company and description columns want every row's details; a refill meanwhile ends the save.
  if (!details_->FetchAll()) return;
  std::vector<CsvRow> rows;
  for (const EntryRecord& record : entries)
    rows.push_back({record.Name, record.Location.empty() ? record.Command : record.Location,
                    record.Company, record.Description, record.Missing ? "はい" : ""});
  SaveListAsCsv(host_.prompt(), rows_live_ ? "送る" : "送る 無効ボックス",
                {"名前", "場所", "会社名", "説明", "見つからない"}, rows);
}

bool SendToPage::OnCommand(int id, int code, HWND control) {
  if (control == ListBox2) {
    if (code == LBN_SELCHANGE) ListBox2Click();
    return true;
  }
  if (control) return false;  // menu commands come without a control
  switch (id) {
    case kIdN7: N7Click(); return true;
    case kIdN8: N8Click(); return true;
    case kIdDelete2: DeleteSendToEntry(true); return true;
    case kIdSendtoMemu: SendtoMemuClick(); return true;
    case kIdN17: N17Click(); return true;
    case kIdSaveList2: SaveList(); return true;
  }
  return false;
}

bool SendToPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem != ListBox2) return false;
  const int row = static_cast<int>(item.itemID);
  if (item.itemID == static_cast<UINT>(-1) || static_cast<size_t>(row) >= entries.size()) return true;
  details_->Prefer(row);  // shown without its details: they are fetched next
  const EntryRecord& record = entries[static_cast<size_t>(row)];
  EntryRowLook look;
  look.background = SendToRowColour(record);
  look.frame = FramePenColour(look.background, kSendToFrameDarker);
  look.caption = SendToCaption(record.Name);
  look.text = record.Location.empty() ? record.Command : record.Location;
  look.checking = details_->waiting(row);
  DrawEntryRow(item.hDC, item.rcItem, look, record, (item.itemState & ODS_SELECTED) != 0, store_.pictures(),
               picture_of(row), font_.get(), host_.dpi(), RowShowsFocus(item));
  return true;
}

}  // namespace orvela
