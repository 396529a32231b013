#include "platform/message_pump_win.h"

#include <windows.h>

namespace orvela {

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void MessagePacer::operator()() {
  if (last_ && std::chrono::steady_clock::now() - *last_ < interval_) return;
  ProcessPendingMessages();
  last_ = std::chrono::steady_clock::now();
}

}  // namespace orvela
