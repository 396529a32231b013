// The control helpers on real controls of this process.
#include <doctest.h>

#include "window/controls_win.h"

#include <commctrl.h>

#include "platform/wide_win.h"

using namespace orvela;

TEST_CASE("a combo box's list opens wide enough for its widest item, never narrower than the box") {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr, nullptr,
                               nullptr, nullptr);
  HWND combo = CreateChild(WC_COMBOBOXW, L"", WS_VISIBLE | CBS_DROPDOWNLIST, owner, 1);
  SetWindowPos(combo, nullptr, 0, 0, 120, 200, SWP_NOZORDER);
  SetControlFont(combo, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  const auto dropped = [combo] { return static_cast<int>(SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0)); };
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"HKCU"));
  FitDroppedWidth(combo, 6);
  CHECK(dropped() == 120);
  const std::wstring longest = Wide("HKEY_LOCAL_MACHINE RunOnce （32ビット）");
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longest.c_str()));
  FitDroppedWidth(combo, 6);
  CHECK(dropped() >= TextWidth(combo, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), longest) + 6);
  DestroyWindow(owner);
}
