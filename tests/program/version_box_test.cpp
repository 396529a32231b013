// "バージョン" as a user presses it: the version box opens over the main window, shows the
// title line, the version, the icon and the maker's link, and closes with OK. A picture of
// it is saved for a person to look at (build/screenshots/test-version-box.bmp).
#include <doctest.h>

#include <algorithm>
#include <vector>

#include "platform/folders_win.h"
#include "program_driver.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr int kSpeedButton5 = 1004;

struct Picture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;  // top row first
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The screen inside `rect`, as a person sees it.
Picture Grab(const RECT& rect) {
  Picture picture;
  picture.width = rect.right - rect.left;
  picture.height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, picture.width, picture.height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const auto* bgra = static_cast<const unsigned char*>(bits);
  for (int i = 0; i < picture.width * picture.height; ++i)
    picture.pixels.push_back(RGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

void SaveBmp(const Picture& picture, const std::string& path) {
  const int stride = (picture.width * 3 + 3) & ~3;
  std::string data;
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const COLORREF c = picture.At(x, y);
      data += {static_cast<char>(GetBValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetRValue(c))};
    }
    data.append(static_cast<size_t>(stride - picture.width * 3), '\0');
  }
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER head{};
  head.biSize = sizeof head;
  head.biWidth = picture.width;
  head.biHeight = picture.height;
  head.biPlanes = 1;
  head.biBitCount = 24;
  head.biSizeImage = static_cast<DWORD>(data.size());
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof head;
  file.bfSize = file.bfOffBits + head.biSizeImage;
  HANDLE out = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, &file, sizeof file, &written, nullptr);
  WriteFile(out, &head, sizeof head, &written, nullptr);
  WriteFile(out, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(out);
}

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
  const std::string folder = "Z:" ORVELA_EXE_DIR "/../../screenshots";
  std::string windows_folder = folder;
  std::replace(windows_folder.begin(), windows_folder.end(), '/', '\\');
  CreateFolderTree(windows_folder);
  SaveBmp(picture, windows_folder + "\\test-version-box.bmp");

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
