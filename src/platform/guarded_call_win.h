// The boundary between Win32 and the program's code. Every window, dialog, subclass and
// timer procedure runs its work through GuardedCall: an exception must not unwind through
// the system's frames, which neither expect it nor let the window answer again.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <type_traits>

namespace orvela {

// How a failure is shown to the user: the window whose procedure failed, and the text.
using FailureShow = void (*)(HWND window, const std::string& text);

// An error box with the program's title, owned by `window`.
void ShowFailureBox(HWND window, const std::string& text);

namespace guarded_call_detail {
// Shows the exception being handled; never throws.
void ShowCurrentFailure(HWND window, FailureShow show) noexcept;
}  // namespace guarded_call_detail

// Runs a procedure's work and gives back its answer (0 for work that answers nothing).
// An exception of any kind is shown with `show` and gives nullopt: the procedure then gives
// the answer that is safe for its message.
template <typename Work>
std::optional<LRESULT> GuardedCall(HWND window, Work&& work, FailureShow show = ShowFailureBox) noexcept {
  try {
    if constexpr (std::is_void_v<std::invoke_result_t<Work>>) {
      work();
      return LRESULT{0};
    } else {
      return static_cast<LRESULT>(work());
    }
  } catch (...) {
    guarded_call_detail::ShowCurrentFailure(window, show);
  }
  return std::nullopt;
}

}  // namespace orvela
