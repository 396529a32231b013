#include "recent/recent_page_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "common/controls_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

constexpr int kIdListView2 = 1304;

}  // namespace

RecentPage::RecentPage(PageHost& host, HWND parent) : host_(host) {
  ListView2 = CreateChild(WC_LISTVIEWW, L"",
                          WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                          parent, kIdListView2, WS_EX_CLIENTEDGE);
  SetControlFont(ListView2, host_.ui_font());
  ListView_SetExtendedListViewStyle(ListView2, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  {
    // The system's small images, taken for the root of the program's drive.
    SHFILEINFOW info{};
    const std::string root = host_.paths().program_folder.substr(0, 3);
    auto system_list = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        Wide(root).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (system_list) ListView_SetImageList(ListView2, system_list, LVSIL_SMALL);
    HWND header = ListView_GetHeader(ListView2);
    if (header) Header_SetImageList(header, host_.glyphs());
  }
  const char* columns[] = {"更新日時", "最近使ったファイルの名前", "状態"};
  const int widths[] = {host_.dpi().Scale(150), host_.dpi().Scale(400), host_.dpi().Scale(50)};
  for (int i = 0; i < 3; ++i) {
    std::wstring text = Wide(columns[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text.data();
    column.cx = widths[i];
    column.iSubItem = i;
    SendMessageW(ListView2, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void RecentPage::SetColumnCaptions(const std::string& column0, const std::string& column1) {
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
  const int name_width = width - dpi.Scale(150) - dpi.Scale(50) - GetSystemMetrics(SM_CXVSCROLL) - dpi.Scale(4);
  ListView_SetColumnWidth(ListView2, 1, std::max(dpi.Scale(100), name_width));
}

// The pages' own rows come with their work; until then they show an empty list.
void RecentPage::FillRecentList() {
  ListView_SetItemCountEx(ListView2, 0, 0);
  host_.SetStatusText(0, "0");
}

void RecentPage::FillProgramsList() { FillRecentList(); }

bool RecentPage::OnNotify(NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != ListView2) return false;
  result = 0;
  if (header.code == LVN_GETDISPINFOW) {
    // Every row asks for its overlay with its image: overlay + 1 in the state bits 8 to 11,
    // so a row without one asks for overlay 0 (none).
    auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
    if (info.item.iSubItem == 0 && (info.item.mask & LVIF_IMAGE)) {
      info.item.mask |= LVIF_STATE;
      info.item.stateMask = LVIS_OVERLAYMASK;
      info.item.state = INDEXTOOVERLAYMASK(list_view_overlay(info.item.iItem) + 1);
    }
  }
  return true;
}

}  // namespace orvela
