#include "platform/guarded_call_win.h"

#include <exception>

#include "platform/app_title.h"
#include "platform/wide_win.h"

namespace orvela {

void ShowFailureBox(HWND window, const std::string& text) {
  MessageBoxW(window, Wide(text).c_str(), Wide(kAppTitle).c_str(), MB_OK | MB_ICONERROR);
}

namespace guarded_call_detail {

void ShowCurrentFailure(HWND window, FailureShow show) noexcept {
  try {
    std::string text;
    try {
      throw;
    } catch (const std::exception& e) {
      text = e.what();
    } catch (...) {
      text = "予期しないエラーが発生しました。";
    }
    show(window, text);
  } catch (...) {
    // Not even the box could be shown (no memory left): the message is answered all the same.
  }
}

}  // namespace guarded_call_detail

}  // namespace orvela
