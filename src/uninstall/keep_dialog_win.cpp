#include "uninstall/keep_dialog_win.h"

#include <windowsx.h>

#include "window/controls_win.h"
#include "platform/file_io.h"
#include "platform/wide_win.h"
#include "uninstall/uninstall_actions.h"
#include "uninstall/uninstall_backup.h"

namespace orvela {
namespace {

constexpr int kClientWidth = 313, kClientHeight = 214;
constexpr int kListHeight = 177;
constexpr int kButtonTop = 186, kButtonWidth = 75, kButtonHeight = 25;
constexpr int kOkLeft = 36, kCancelLeft = 116;
constexpr int kListViewId = 100;

}  // namespace

TUnInstKeepDlg::TUnInstKeepDlg(HWND owner, Dpi dpi, KeepDialogServices services, bool running_application_mode)
    : ModalWindow(L"TUnInstKeepDlg", owner, dpi),
      services_(std::move(services)),
      running_application_mode_(running_application_mode),
      font_(MakeFont(12)),
      ImageList1(ImageList_Create(dpi.Scale(16), dpi.Scale(16), ILC_COLOR32 | ILC_MASK, 0, 16)) {
  CreateFrame(Wide("削除した情報").c_str(), kClientWidth, kClientHeight);
  if (!hwnd()) return;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RECT client{};
  GetClientRect(hwnd(), &client);
  ListView1 = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                              0, 0, client.right, Scale(kListHeight), hwnd(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListViewId)), instance, nullptr);
  ListView_SetExtendedListViewStyle(ListView1, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  SendMessageW(ListView1, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  const std::wstring title = Wide("タイトル");
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(title.c_str());
  column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL) - Scale(4);
  ListView_InsertColumn(ListView1, 0, &column);

  auto button = [&](const char* caption, int id, DWORD style) {
    HWND b = CreateWindowExW(0, WC_BUTTONW, Wide(caption).c_str(), WS_CHILD | WS_TABSTOP | style, 0, 0,
                             Scale(kButtonWidth), Scale(kButtonHeight), hwnd(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return b;
  };
  CancelBtn = button("閉じる", IDCANCEL, WS_VISIBLE | BS_DEFPUSHBUTTON);
  OkBtn = button("OK", IDOK, BS_PUSHBUTTON);
  int ok_left = Scale(kOkLeft), cancel_left = Scale(kCancelLeft);
  if (running_application_mode_) {
    ListView_SetImageList(ListView1, ImageList1.get(), LVSIL_SMALL);
    ShowWindow(OkBtn, SW_SHOW);
    ok_left = client.right / 2 - Scale(kButtonWidth) - Scale(3);
    cancel_left = client.right / 2 + Scale(3);
  }
  SetWindowPos(OkBtn, nullptr, ok_left, Scale(kButtonTop), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetWindowPos(CancelBtn, nullptr, cancel_left, Scale(kButtonTop), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void TUnInstKeepDlg::FormShow() {
  if (running_application_mode_) {
    if (fill_running_applications) fill_running_applications(*this);
  } else {
    for (const std::string& name : FileNamesIn(services_.backup_folder))
      AddRow(BackupCaption(name), services_.backup_folder + name);
  }
}

void TUnInstKeepDlg::AddRow(const std::string& caption, const std::string& sub_item0, const std::string& sub_item1,
                            int image) {
  rows_.push_back({caption, sub_item0, sub_item1});
  std::wstring text = Wide(caption);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = row_count();
  item.pszText = text.data();
  item.iImage = image;
  item.lParam = static_cast<LPARAM>(rows_.size() - 1);
  ListView_InsertItem(ListView1, &item);
}

int TUnInstKeepDlg::row_count() const { return ListView_GetItemCount(ListView1); }

const TUnInstKeepDlg::Row* TUnInstKeepDlg::RowAt(int row) const {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!ListView_GetItem(ListView1, &item) || item.lParam < 0 || static_cast<size_t>(item.lParam) >= rows_.size())
    return nullptr;
  return &rows_[static_cast<size_t>(item.lParam)];
}

std::string TUnInstKeepDlg::RowCaption(int row) const {
  const Row* r = RowAt(row);
  return r ? r->caption : std::string();
}

void TUnInstKeepDlg::SelectRow(int row, bool selected) {
  ListView_SetItemState(ListView1, row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void TUnInstKeepDlg::ProcessSelectedRows(bool restore) {
  const int count = row_count();
  std::vector<std::string> captions;
  std::vector<bool> selected;
  for (int row = 0; row < count; ++row) {
    captions.push_back(RowCaption(row));
    selected.push_back((ListView_GetItemState(ListView1, row, LVIS_SELECTED) & LVIS_SELECTED) != 0);
  }
  const BackupRowsResult result = ProcessBackupRows(captions, selected, services_.backup_folder, restore,
                                                    services_.registry, services_.prompt);
  if (result.restored) restored_ = true;
  for (size_t row : result.removed) ListView_DeleteItem(ListView1, static_cast<int>(row));  // last first
}

void TUnInstKeepDlg::N1Click() { ProcessSelectedRows(true); }

void TUnInstKeepDlg::Delete1Click() {
  const int count = static_cast<int>(ListView_GetSelectedCount(ListView1));
  if (!services_.prompt.AskYesNo(std::to_string(count) + std::string(kDeleteBackupsQuestion), kConfirmDeleteCaption,
                                 PromptIcon::kQuestion))
    return;
  ProcessSelectedRows(false);
}

void TUnInstKeepDlg::OkBtnClick() {
  const int row = ListView_GetNextItem(ListView1, -1, LVNI_SELECTED);
  if (const Row* r = row >= 0 ? RowAt(row) : nullptr) chosen_path_ = r->sub_item1;
  ok_ = true;
  Close();
}

UniqueMenu TUnInstKeepDlg::PopupMenu1Popup() const {
  UniqueMenu menu(CreatePopupMenu());
  AppendMenuItem(menu.get(), kIdRestore, "戻す(&R)", 19);
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuItem(menu.get(), kIdDelete, "削除(&D)", 2);
  return menu;
}

void TUnInstKeepDlg::ShowPopupMenu(POINT point) {
  if (point.x == -1 && point.y == -1) {  // from the keyboard: under the focused row
    RECT r{};
    const int row = ListView_GetNextItem(ListView1, -1, LVNI_FOCUSED);
    if (row < 0 || !ListView_GetItemRect(ListView1, row, &r, LVIR_LABEL)) r = {};
    point = {r.left + Scale(16), r.top + Scale(8)};
    ClientToScreen(ListView1, &point);
  }
  UniqueMenu menu = PopupMenu1Popup();
  const UINT id = static_cast<UINT>(
      TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON | TPM_RETURNCMD, point.x, point.y, 0, hwnd(), nullptr));
  if (id == kIdRestore) N1Click();
  if (id == kIdDelete) Delete1Click();
}

LRESULT TUnInstKeepDlg::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL) {
        Close();
        handled = true;
      } else if (LOWORD(wparam) == IDOK && OkBtn && IsWindowVisible(OkBtn)) {
        OkBtnClick();
        handled = true;
      } else if (LOWORD(wparam) == kIdRestore && !running_application_mode_) {
        N1Click();  // the menu's commands, also when sent by another program
        handled = true;
      } else if (LOWORD(wparam) == kIdDelete && !running_application_mode_) {
        Delete1Click();
        handled = true;
      }
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wparam) == ListView1 && !running_application_mode_) {
        ShowPopupMenu({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
        handled = true;
      }
      return 0;
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (item.CtlType != ODT_MENU) return 0;
      item.itemWidth = item.itemHeight = static_cast<UINT>(Scale(16));
      handled = true;
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
      if (item.CtlType != ODT_MENU) return 0;
      // Menu images: the item data holds the glyph number + 1.
      if (item.itemData > 0)
        ImageList_Draw(services_.glyphs, static_cast<int>(item.itemData) - 1, item.hDC, item.rcItem.left,
                       item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - Scale(16)) / 2, ILD_TRANSPARENT);
      handled = true;
      return TRUE;
    }
    case WM_NOTIFY: {
      auto& header = *reinterpret_cast<NMHDR*>(lparam);
      if (header.hwndFrom != ListView1) return 0;
      if (header.code == LVN_KEYDOWN && reinterpret_cast<NMLVKEYDOWN&>(header).wVKey == VK_DELETE &&
          !running_application_mode_) {
        Delete1Click();
      } else if (header.code == LVN_GETINFOTIPW && running_application_mode_) {
        auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(header);
        const Row* r = RowAt(tip.iItem);
        const std::wstring text = Wide(r ? r->sub_item0 : std::string());
        if (tip.pszText && tip.cchTextMax > 0) lstrcpynW(tip.pszText, text.c_str(), tip.cchTextMax);
      }
      handled = true;
      return 0;
    }
  }
  return 0;
}

}  // namespace orvela
