// "バージョン" as a user presses it: the version box opens over the main window, shows the
// title line, the version, the icon and the maker's link, and closes with OK. A picture of
// it is saved for a person to look at (build/screenshots/test-version-box.bmp).
#include <doctest.h>

#include <algorithm>
#include <vector>

#include "program_driver.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr int kSpeedButton5 = 1004;

RECT RectIn(HWND control, const RECT& grabbed) {
  RECT r;
  GetWindowRect(control, &r);
  OffsetRect(&r, -grabbed.left, -grabbed.top);
  return r;
}

// How many pixels of the rectangle the test says yes to.
template <typename Test>
int Count(const Picture& picture, const RECT& r, Test test) {
  int n = 0;
  for (int y = std::max<int>(0, r.top); y < std::min<int>(picture.height, r.bottom); ++y)
    for (int x = std::max<int>(0, r.left); x < std::min<int>(picture.width, r.right); ++x)
      if (test(picture.At(x, y))) ++n;
  return n;
}

struct Children {
  std::vector<HWND> windows;
};
BOOL CALLBACK Collect(HWND window, LPARAM data) {
  reinterpret_cast<Children*>(data)->windows.push_back(window);
  return TRUE;
}

HWND ChildWithText(HWND box, const std::string& text) {
  Children children;
  EnumChildWindows(box, Collect, reinterpret_cast<LPARAM>(&children));
  for (HWND w : children.windows)
    if (WindowText(w) == text) return w;
  return nullptr;
}

int VisibleBoxes(DWORD pid) {
  struct Count {
    DWORD pid;
    int n;
  } count{pid, 0};
  EnumWindows(
      [](HWND w, LPARAM data) -> BOOL {
        auto* c = reinterpret_cast<Count*>(data);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        wchar_t cls[32] = {};
        GetClassNameW(w, cls, 32);
        if (pid == c->pid && IsWindowVisible(w) && wcscmp(cls, L"TVersionBox") == 0) ++c->n;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.n;
}

}  // namespace

TEST_CASE("バージョン opens the version box with the title, version, icon and link") {
  RunningProgram program = StartProgram(InstallProgramCopy("version"));
  REQUIRE(program.pid);
  ScopeExit end([&] { KillProgram(program); });
  HWND main = WaitForWindow(program.pid, L"TForm1");
  REQUIRE(main);
  WaitUntilIdle(program);
  HWND button = FindControl(main, kSpeedButton5);
  REQUIRE(button);
  CHECK(WindowText(button) == "バージョン");
  SetCursorPos(0, 0);  // away from the box: no tool tip over the picture
  PostControlCommand(main, button, BN_CLICKED);

  HWND box = WaitForWindow(program.pid, L"TVersionBox");
  REQUIRE(box);
  CHECK(WindowText(box) == "ﾊﾞｰｼﾞｮﾝ情報");
  CHECK(WaitUntil([&] { return !IsWindowEnabled(main); }, 3000));
  HWND title = ChildWithText(box, "Orvela  ");
  HWND version = ChildWithText(box, "[ 1.2.7.7 ]");
  HWND link = ChildWithText(box, "Ｖ＆Ｌ");
  REQUIRE(title);
  REQUIRE(version);
  REQUIRE(link);
  CHECK(ChildWithText(box, "Update"));

  // The picture: let the icon be drawn a few times first.
  Sleep(1000);
  RECT window;
  GetWindowRect(box, &window);
  const Picture picture = Grab(window);
  SaveScreenshot(picture, "test-version-box.bmp");

  auto dark = [](COLORREF c) { return GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90; };
  auto link_blue = [](COLORREF c) { return GetBValue(c) > 160 && GetRValue(c) < 120 && GetGValue(c) < 120; };
  // The icon's client area is teal to blue, its frame dark blue: nothing like the pale panel.
  auto icon_blue = [](COLORREF c) { return GetBValue(c) > 100 && GetRValue(c) < 80; };
  CHECK(Count(picture, RectIn(title, window), dark) > 20);
  CHECK(Count(picture, RectIn(version, window), [](COLORREF c) { return GetRValue(c) < 140; }) > 20);
  CHECK(Count(picture, RectIn(link, window), link_blue) > 10);
  HWND panel = GetParent(title);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT icon_area = RectIn(panel, window);  // the icon's corner of the panel
  icon_area.right = icon_area.left + MulDiv(84, dpi, 96);
  icon_area.bottom = icon_area.top + MulDiv(84, dpi, 96);
  CHECK(Count(picture, icon_area, icon_blue) > 1000);

  // Pressed again while the box is open: no second box, the first one answers.
  PostControlCommand(main, button, BN_CLICKED);
  Sleep(500);
  CHECK(VisibleBoxes(program.pid) == 1);
  CHECK(SendWithTimeout(box, WM_NULL, 0, 0) == 0);

  ClickButton(box, IDOK);
  CHECK(WaitUntil([&] { return VisibleBoxes(program.pid) == 0; }, 5000));
  CHECK(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 3000));
  PostMessageW(main, WM_CLOSE, 0, 0);
  CHECK(WaitForExit(program) == 0);
}
