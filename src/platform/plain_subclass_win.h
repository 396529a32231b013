// An object's window procedure put in front of a window's own, the object found through the
// window's user data. Under Wine every message through a SetWindowSubclass window costs a
// look-up in the server per subclass (about a tenth of a millisecond), which adds up where a
// window hears many messages (a list's rows, a header during a resize); this costs nothing.
// For windows whose user data nobody else uses. Subclasses put on the same window later are
// taken off before this one, as a window's procedures can only be undone in reverse order.
#pragma once
#include <windows.h>

namespace orvela {

class PlainSubclass {
 public:
  PlainSubclass() = default;
  PlainSubclass(const PlainSubclass&) = delete;
  PlainSubclass& operator=(const PlainSubclass&) = delete;
  ~PlainSubclass() { Detach(); }

  // `proc` receives the window's messages from now on and passes them on with CallPrevious.
  void Attach(HWND window, WNDPROC proc, void* owner) {
    Detach();
    window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    previous_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
  }
  // The window gets its procedure back; also called on WM_NCDESTROY, before passing it on.
  void Detach() {
    if (!window_) return;
    if (IsWindow(window_)) {
      SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    }
    window_ = nullptr;
  }
  LRESULT CallPrevious(HWND window, UINT message, WPARAM wparam, LPARAM lparam) const {
    return CallWindowProcW(previous_, window, message, wparam, lparam);
  }
  HWND window() const { return window_; }

  template <typename Owner>
  static Owner* OwnerOf(HWND window) {
    return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }

 private:
  HWND window_ = nullptr;
  WNDPROC previous_ = nullptr;
};

}  // namespace orvela
