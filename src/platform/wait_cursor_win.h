// The hourglass while the window works on the user's behalf (reading folders, resolving
// shortcuts), so a busy window never looks frozen.
#pragma once
#include <windows.h>

namespace orvela {

class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor() { SetCursor(previous_); }

 private:
  HCURSOR previous_;
};

}  // namespace orvela
