#include <doctest.h>

#include <windows.h>

#include <algorithm>

#include "system/locations.h"
#include "system/running_applications_win.h"
#include "platform/wide_win.h"

using namespace orvela;

TEST_CASE("Running applications: this process is listed by its main window and program path") {
  // An owned window first, so it comes before the main window in the enumeration.
  HWND main = CreateWindowExW(0, L"STATIC", L"走行テスト 本体", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND owned = CreateWindowExW(0, L"STATIC", L"走行テスト 付属", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               main, nullptr, GetModuleHandleW(nullptr), nullptr);
  REQUIRE(main);
  REQUIRE(owned);
  wchar_t own_path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, own_path, MAX_PATH);

  const std::vector<RunningApplication> rows = CollectRunningApplications();
  const auto mine = std::find_if(rows.begin(), rows.end(),
                                 [&](const RunningApplication& row) { return EqualsIgnoringCase(row.path, Narrow(own_path)); });
  REQUIRE(mine != rows.end());
  CHECK(mine->title == "走行テスト 本体");
  CHECK(mine->product == "Orvela");  // the test program carries the program's own version resource
  CHECK(std::count_if(rows.begin(), rows.end(), [](const RunningApplication& row) { return row.title == "走行テスト 付属"; }) == 0);

  DestroyWindow(owned);
  DestroyWindow(main);
}
