// Keeps the keyboard focus where it was across a modal run (a message box, a chooser, a
// dialog): the window that owned the run takes the focus itself when it is activated again,
// which left keyboard users on no control at all, Tab after Tab away from their list.
#pragma once
#include <windows.h>

namespace orvela {

class KeptFocus {
 public:
  KeptFocus() : had_(GetFocus()) {}
  ~KeptFocus() {
    // A control hidden or disabled meanwhile (the run changed the page) is left to its window.
    if (had_ && IsWindow(had_) && IsWindowVisible(had_) && IsWindowEnabled(had_)) SetFocus(had_);
  }
  KeptFocus(const KeptFocus&) = delete;
  KeptFocus& operator=(const KeptFocus&) = delete;

 private:
  HWND had_;
};

}  // namespace orvela
