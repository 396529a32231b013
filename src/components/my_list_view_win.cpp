#include "components/my_list_view_win.h"

#include "platform/guarded_call_win.h"

namespace orvela {

TMyListView::~TMyListView() { header_hook_.Detach(); }

bool TMyListView::Create(HWND parent, int id, DWORD style, DWORD ex_style) {
  list_ = CreateWindowExW(ex_style, WC_LISTVIEWW, L"", WS_CHILD | style, 0, 0, 10, 10, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!list_) return false;
  Hook();
  return true;
}

HWND TMyListView::Hook() const {
  // A header once made stays until its list goes: the list is asked only while it has none.
  HWND hooked = header_hook_.window();
  if (hooked && IsWindow(hooked)) return hooked;
  HWND header = list_ ? ListView_GetHeader(list_) : nullptr;
  if (header) header_hook_.Attach(header, &TMyListView::AppWndProc, const_cast<TMyListView*>(this));
  return header;
}

HWND TMyListView::GetColumnHandle() const { return Hook(); }

LRESULT CALLBACK TMyListView::AppWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = PlainSubclass::OwnerOf<TMyListView>(hwnd);
  const auto answer = [&] {
    if (message == WM_NCDESTROY) {
      // The header goes before this object: nothing may call back into it afterwards.
      self->header_hook_.Detach();
      return self->header_hook_.CallPrevious(hwnd, message, wparam, lparam);
    }
    const LRESULT result = self->header_hook_.CallPrevious(hwnd, message, wparam, lparam);
    if (message == WM_CAPTURECHANGED && self->OnCmChange) self->OnCmChange(*self);
    return result;
  };
  return GuardedCall(hwnd, answer).value_or(0);
}

void TMyListView::SetColumnImageList(HIMAGELIST images) {
  HWND header = Hook();
  if (!header) return;
  if (reinterpret_cast<HIMAGELIST>(SendMessageW(header, HDM_GETIMAGELIST, 0, 0)) == images) return;
  SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  InvalidateRect(header, nullptr, FALSE);  // the header draws its images anew only when told
}

void TMyListView::SetColumnImage(int column, int image) {
  HWND header = Hook();
  if (!header) return;
  HDITEMW item{};
  item.mask = HDI_FORMAT | HDI_IMAGE;
  if (!SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item))) return;
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
  SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
}

int TMyListView::ColumnImage(int column) const {
  HWND header = Hook();
  if (!header) return -1;
  HDITEMW item{};
  item.mask = HDI_FORMAT | HDI_IMAGE;
  if (!SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item))) return -1;
  return (item.fmt & HDF_IMAGE) ? item.iImage : -1;
}

}  // namespace orvela
