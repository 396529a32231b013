#include <doctest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/device_context_win.h"
#include "platform/guarded_call_win.h"
#include "platform/handles_win.h"

using namespace orvela;

namespace {

std::string g_shown;
void Remember(HWND, const std::string& text) { g_shown = text; }

}  // namespace

TEST_CASE("a guarded call gives the work's answer, or shows any exception and gives none") {
  g_shown.clear();
  CHECK(GuardedCall(nullptr, [] { return 7; }, Remember) == LRESULT{7});
  CHECK(GuardedCall(nullptr, [] {}, Remember) == LRESULT{0});
  CHECK(g_shown.empty());
  CHECK_FALSE(GuardedCall(nullptr, []() -> int { throw std::runtime_error("書けません"); }, Remember));
  CHECK(g_shown == "書けません");
  g_shown.clear();
  CHECK_FALSE(GuardedCall(nullptr, []() -> int { throw 42; }, Remember));
  CHECK(g_shown == "予期しないエラーが発生しました。");
}

TEST_CASE("a selected object is put back when its owner goes, also when moved from") {
  const WindowDc screen(nullptr);
  REQUIRE(screen);
  const UniqueHdc dc(CreateCompatibleDC(screen.get()));
  const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_PEN);
  const UniqueHpen pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
  {
    SelectedObject moved_into;
    {
      SelectedObject selected(dc.get(), pen.get());
      CHECK(GetCurrentObject(dc.get(), OBJ_PEN) == pen.get());
      moved_into = std::move(selected);
    }
    CHECK(GetCurrentObject(dc.get(), OBJ_PEN) == pen.get());
  }
  CHECK(GetCurrentObject(dc.get(), OBJ_PEN) == original);
}
