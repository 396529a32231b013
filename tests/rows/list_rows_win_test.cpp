#include <doctest.h>

#include <windows.h>

#include "rows/list_rows_win.h"

using namespace orvela;

TEST_CASE("a row's string changes in place: selection, focused row and scroll stay") {
  HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                               nullptr, nullptr);
  HWND list = CreateEntryList(frame, 1);
  REQUIRE(list);
  SetWindowPos(list, nullptr, 0, 0, 280, 100, SWP_NOZORDER);
  SendMessageW(list, LB_SETITEMHEIGHT, 0, 20);
  std::vector<std::string> texts;
  for (int i = 0; i < 30; ++i) texts.push_back("行 " + std::to_string(i));
  SetListRows(list, texts);
  CHECK(SendMessageW(list, LB_GETCOUNT, 0, 0) == 30);
  CHECK(ListRowText(list, 29) == "行 29");
  CHECK(ListRowText(list, 30).empty());

  SendMessageW(list, LB_SETCURSEL, 12, 0);
  SendMessageW(list, LB_SETTOPINDEX, 10, 0);
  SetListRowText(list, 12, "行 12、見つかりません");  // the selected row
  SetListRowText(list, 5, "行 5、表");                // a row above the scroll position
  CHECK(ListRowText(list, 12) == "行 12、見つかりません");
  CHECK(ListRowText(list, 5) == "行 5、表");
  CHECK(SendMessageW(list, LB_GETCOUNT, 0, 0) == 30);
  CHECK(SendMessageW(list, LB_GETCURSEL, 0, 0) == 12);
  CHECK(SendMessageW(list, LB_GETCARETINDEX, 0, 0) == 12);
  CHECK(SendMessageW(list, LB_GETTOPINDEX, 0, 0) == 10);
  SetListRowText(list, 30, "none");  // past the end: nothing
  CHECK(SendMessageW(list, LB_GETCOUNT, 0, 0) == 30);
  // A row taken out: the texts after it move up with their rows.
  SendMessageW(list, LB_DELETESTRING, 4, 0);
  CHECK(ListRowText(list, 4) == "行 5、表");
  CHECK(ListRowText(list, 11) == "行 12、見つかりません");
  CHECK(ListRowText(list, 28) == "行 29");

  SetListRows(list, {"a"});  // a refill replaces every row
  CHECK(SendMessageW(list, LB_GETCOUNT, 0, 0) == 1);
  DestroyWindow(frame);
}
