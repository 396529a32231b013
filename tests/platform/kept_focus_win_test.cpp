#include <doctest.h>

#include "platform/kept_focus_win.h"

using namespace orvela;

TEST_CASE("a control disabled while it has the focus hands it to the control before it") {
  HWND owner = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                               200, nullptr, nullptr, nullptr, nullptr);
  const auto button = [owner](int id, int y) {
    return CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, y, 80, 24, owner,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  };
  HWND field = button(1, 0), apply = button(2, 30), other = button(3, 60);
  SetForegroundWindow(owner);
  SetFocus(apply);
  REQUIRE(GetFocus() == apply);
  SUBCASE("disabled") {
    EnableKeepingFocus(apply, false);
    CHECK(GetFocus() == field);
    CHECK_FALSE(IsWindowEnabled(apply));
  }
  SUBCASE("a control without the focus keeps it where it is") {
    EnableKeepingFocus(other, false);
    CHECK(GetFocus() == apply);
  }
  DestroyWindow(owner);
}
