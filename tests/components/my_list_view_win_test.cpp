#include <doctest.h>

#include "components/my_list_view_win.h"

#include <commctrl.h>

#include "platform/handles_win.h"

using namespace orvela;

namespace {

int image_lists_set = 0;

// Watches what reaches the header before the component's own procedure does.
LRESULT CALLBACK CountImageLists(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
  if (message == HDM_SETIMAGELIST) ++image_lists_set;
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

struct ListFixture {
  HWND parent = nullptr;
  TMyListView list;
  ListFixture() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    REQUIRE(list.Create(parent, 1, WS_VISIBLE | LVS_REPORT, 0));
    SetWindowPos(list.hwnd(), nullptr, 0, 0, 400, 300, SWP_NOZORDER);
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.pszText = const_cast<wchar_t*>(L"列");
      column.cx = 100;
      ListView_InsertColumn(list.hwnd(), i, &column);
    }
  }
  ~ListFixture() { DestroyWindow(parent); }
};

}  // namespace

TEST_CASE("TMyListView: the header's image list is set once, its images come and go") {
  UniqueHimagelist images(ImageList_Create(16, 16, ILC_COLOR32, 2, 0));  // outlives the list
  ListFixture f;
  HWND header = f.list.GetColumnHandle();
  REQUIRE(header == ListView_GetHeader(f.list.hwnd()));
  SetWindowSubclass(header, CountImageLists, 7, 0);
  image_lists_set = 0;
  f.list.SetColumnImageList(images.get());
  f.list.SetColumnImageList(images.get());
  CHECK(image_lists_set == 1);
  CHECK(reinterpret_cast<HIMAGELIST>(SendMessageW(header, HDM_GETIMAGELIST, 0, 0)) == images.get());

  f.list.SetColumnImage(1, 0);
  CHECK(f.list.ColumnImage(1) == 0);
  CHECK(f.list.ColumnImage(0) == -1);
  f.list.SetColumnImage(1, -1);
  CHECK(f.list.ColumnImage(1) == -1);
  RemoveWindowSubclass(header, CountImageLists, 7);
}

TEST_CASE("TMyListView: a click on the header ends in one notification, after the header let go") {
  ListFixture f;
  HWND header = f.list.GetColumnHandle();
  int calls = 0;
  HWND capture_seen = header;
  f.list.OnCmChange = [&](TMyListView& sender) {
    ++calls;
    capture_seen = GetCapture();
    CHECK(&sender == &f.list);
  };
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
  CHECK(GetCapture() == header);
  SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
  CHECK(calls == 1);
  CHECK(capture_seen != header);

  SUBCASE("without a handler the header works as before") {
    f.list.OnCmChange = nullptr;
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    CHECK(GetCapture() == nullptr);
  }
}
