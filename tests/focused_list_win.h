// A window of this process whose list has the keyboard focus: what a modal run (a box, a
// dialog) must give the focus back to.
#pragma once
#include <windows.h>

namespace orvela::testing {

struct FocusedList {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                               nullptr, nullptr, nullptr);
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 200, 100, owner,
                              nullptr, nullptr, nullptr);
  FocusedList() {
    SetForegroundWindow(owner);
    SetFocus(list);
  }
  ~FocusedList() { DestroyWindow(owner); }
  FocusedList(const FocusedList&) = delete;
  FocusedList& operator=(const FocusedList&) = delete;
};

}  // namespace orvela::testing
