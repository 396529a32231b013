// While an object of this class lives, every visible, enabled top-level window of the thread
// but one is disabled: the program's own modal runs (its dialogs, the folder chooser).
#pragma once
#include <windows.h>

#include <vector>

namespace orvela {

class OtherWindowsDisabled {
 public:
  explicit OtherWindowsDisabled(HWND keep) : keep_(keep) {
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
  }
  ~OtherWindowsDisabled() {
    for (HWND window : disabled_)
      if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM data) {
    auto* self = reinterpret_cast<OtherWindowsDisabled*>(data);
    if (window != self->keep_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      self->disabled_.push_back(window);
    }
    return TRUE;
  }
  HWND keep_;
  std::vector<HWND> disabled_;
};

}  // namespace orvela
