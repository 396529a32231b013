// The dialog base on real windows of this process.
#include <doctest.h>

#include "window/modal_window_win.h"

#include "focused_list_win.h"

using namespace orvela;

namespace {

// Shows for a moment and closes itself, as a dialog closed at once.
class BriefWindow : public ModalWindow {
 public:
  explicit BriefWindow(HWND owner) : ModalWindow(L"OrvelaBriefWindow", owner, Dpi()) {
    CreateFrame(L"brief", 120, 60);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 60, 24, hwnd(), nullptr,
                    nullptr, nullptr);
  }

 protected:
  void FormShow() override { SetTimer(hwnd(), 1, 50, nullptr); }
  LRESULT HandleMessage(UINT message, WPARAM, LPARAM, bool& handled) override {
    if (message == WM_TIMER) {
      Close();
      handled = true;
    }
    return 0;
  }
};

}  // namespace

TEST_CASE("a dialog gives the focus back to the control that had it") {
  testing::FocusedList window;
  REQUIRE(GetFocus() == window.list);
  BriefWindow(window.owner).ShowModal();
  CHECK(GetFocus() == window.list);
}
