// TMyListView: a report-style list view that lets its owner reach the column header: its
// window, an image list on it (sort marks beside the captions) and a notification when
// the header lets go of the mouse (the end of a click, a drag or a resize on it).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "platform/plain_subclass_win.h"

namespace orvela {

class TMyListView {
 public:
  TMyListView() = default;
  TMyListView(const TMyListView&) = delete;
  TMyListView& operator=(const TMyListView&) = delete;
  ~TMyListView();  // the header gets its own procedure back

  // Makes the list view (WC_LISTVIEW, WS_CHILD added) and hooks its header. False when the
  // window could not be made.
  bool Create(HWND parent, int id, DWORD style, DWORD ex_style);
  HWND hwnd() const { return list_; }
  // The column header; null before Create or once it is gone.
  HWND GetColumnHandle() const;
  // Gives the header the image list, unless it has that one already. The header does not
  // own it: the caller keeps it alive as long as the list view.
  void SetColumnImageList(HIMAGELIST images);
  // Shows image `image` of the header's list right of the column's caption; -1 removes it.
  void SetColumnImage(int column, int image);
  // The column's header image, -1 when it has none.
  int ColumnImage(int column) const;

  // Called once the header has handled WM_CAPTURECHANGED.
  std::function<void(TMyListView&)> OnCmChange;

 private:
  static LRESULT CALLBACK AppWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  // Hooks the header once the list has one: a list may make its header only with its first
  // column.
  HWND Hook() const;

  HWND list_ = nullptr;
  mutable PlainSubclass header_hook_;
};

}  // namespace orvela
