#include "window/modal_window_win.h"

#include <optional>

#include "platform/guarded_call_win.h"
#include "platform/kept_focus_win.h"
#include "platform/other_windows_disabled_win.h"
#include "platform/program_font_win.h"
#include "platform/wide_win.h"

namespace orvela {

ModalWindow::ModalWindow(const wchar_t* class_name, HWND owner, Dpi dpi)
    : class_name_(class_name), owner_(owner), dpi_(dpi) {}

ModalWindow::~ModalWindow() {
  if (!hwnd_) return;
  // The derived part is gone: the last messages take the default.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

void ModalWindow::CreateFrame(const wchar_t* caption, int client_width, int client_height) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(GetModuleHandleW(nullptr), class_name_, &wc)) {
    wc.cbSize = sizeof wc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpfnWndProc = WindowProc;
    wc.lpszClassName = class_name_;
    RegisterClassExW(&wc);
  }
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, Scale(client_width), Scale(client_height)};
  AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  CreateWindowExW(ex_style, class_name_, caption, style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, owner_, nullptr,
                  GetModuleHandleW(nullptr), this);
}

UniqueHfont ModalWindow::MakeFont(int pixels, bool bold) const {
  return CreateProgramFont(Scale(pixels), {.bold = bold});
}

void ModalWindow::ShowModal() {
  if (!hwnd_) return;
  KeptFocus kept;  // the owner's control has the focus again once this one is hidden
  {
    OtherWindowsDisabled others(hwnd_);
    FormShow();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    HWND focus = FirstFocus();
    SetFocus(focus ? focus : GetNextDlgTabItem(hwnd_, nullptr, FALSE));
    MSG msg;
    closed_ = false;
    while (!closed_) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got <= 0) {
        if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop
        break;
      }
      if (!IsDialogMessageW(hwnd_, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    // The others come back before this one goes, so the owner gets the activation.
  }
  ShowWindow(hwnd_, SW_HIDE);
}

LRESULT CALLBACK ModalWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<ModalWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<ModalWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  bool handled = false;
  const std::optional<LRESULT> result = GuardedCall(hwnd, [&]() -> LRESULT {
    if (message == WM_CLOSE) {
      self->Close();
      handled = true;
      return 0;
    }
    if (message == WM_NCDESTROY) self->hwnd_ = nullptr;
    return self->HandleMessage(message, wparam, lparam, handled);
  });
  if (result && handled) return *result;
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace orvela
