#include "components/my_list_view_win.h"

namespace orvela {
namespace {

constexpr UINT_PTR kHeaderHook = 0x4C56;  // "LV"

}  // namespace

TMyListView::~TMyListView() { Unhook(); }

bool TMyListView::Create(HWND parent, int id, DWORD style, DWORD ex_style) {
  list_ = CreateWindowExW(ex_style, WC_LISTVIEWW, L"", WS_CHILD | style, 0, 0, 10, 10, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!list_) return false;
  Hook();
  return true;
}

HWND TMyListView::Hook() const {
  HWND header = list_ ? ListView_GetHeader(list_) : nullptr;
  if (header == header_) return header_;
  if (header_ && IsWindow(header_)) RemoveWindowSubclass(header_, AppWndProc, kHeaderHook);
  header_ = nullptr;
  if (header && SetWindowSubclass(header, AppWndProc, kHeaderHook,
                                  reinterpret_cast<DWORD_PTR>(const_cast<TMyListView*>(this))))
    header_ = header;
  return header_;
}

HWND TMyListView::GetColumnHandle() const { return Hook(); }

void TMyListView::Unhook() {
  if (header_ && IsWindow(header_)) RemoveWindowSubclass(header_, AppWndProc, kHeaderHook);
  header_ = nullptr;
}

LRESULT CALLBACK TMyListView::AppWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                         DWORD_PTR self_data) {
  auto* self = reinterpret_cast<TMyListView*>(self_data);
  if (message == WM_NCDESTROY) {
    // The header goes before this object: nothing may call back into it afterwards.
    RemoveWindowSubclass(hwnd, AppWndProc, kHeaderHook);
    self->header_ = nullptr;
    return DefSubclassProc(hwnd, message, wparam, lparam);
  }
  const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
  if (message == WM_CAPTURECHANGED && self->OnCmChange) self->OnCmChange(*self);
  return result;
}

void TMyListView::SetColumnImageList(HIMAGELIST images) {
  if (!Hook()) return;
  if (reinterpret_cast<HIMAGELIST>(SendMessageW(header_, HDM_GETIMAGELIST, 0, 0)) == images) return;
  SendMessageW(header_, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

void TMyListView::SetColumnImage(int column, int image) {
  if (!Hook()) return;
  HDITEMW item{};
  item.mask = HDI_FORMAT | HDI_IMAGE;
  if (!SendMessageW(header_, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item))) return;
  // Setting an item redraws the header and tells the list: only for a change.
  if ((item.fmt & HDF_IMAGE) ? item.iImage == image : image < 0) return;
  item.mask = HDI_FORMAT | HDI_IMAGE;
  if (image >= 0) {
    item.fmt |= HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
    item.iImage = image;
  } else {
    item.fmt &= ~(HDF_IMAGE | HDF_BITMAP_ON_RIGHT);
    item.iImage = I_IMAGENONE;
  }
  SendMessageW(header_, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
}

int TMyListView::ColumnImage(int column) const {
  if (!Hook()) return -1;
  HDITEMW item{};
  item.mask = HDI_FORMAT | HDI_IMAGE;
  if (!SendMessageW(header_, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item))) return -1;
  return (item.fmt & HDF_IMAGE) ? item.iImage : -1;
}

}  // namespace orvela
