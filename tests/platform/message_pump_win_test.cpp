#include <doctest.h>

#include <windows.h>

#include "platform/message_pump_win.h"

using namespace orvela;

namespace {

constexpr UINT kPosted = WM_APP + 1;  // stands for a click waiting in the queue
constexpr UINT kSent = WM_APP + 2;    // stands for another process asking the window

int g_posted_seen = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kPosted) {
    ++g_posted_seen;
    return 0;
  }
  if (message == kSent) return 100 + g_posted_seen;  // tells the sender what had run by then
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND CountingWindow() {
  static const ATOM atom = [] {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = CountingProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"OrvelaPumpTest";
    return RegisterClassW(&window_class);
  }();
  (void)atom;
  return CreateWindowExW(0, L"OrvelaPumpTest", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TEST_CASE("work run while answering: sent messages are answered, posted ones wait until it is done") {
  HWND window = CountingWindow();
  REQUIRE(window);
  g_posted_seen = 0;
  PostMessageW(window, kPosted, 0, 0);
  bool done = false;
  DWORD_PTR answer = 0;
  BOOL answered = FALSE;
  RunWhileAnswering([&] {
    // Would wait out its timeout if the window's thread only waited for this work.
    answered = SendMessageTimeoutW(window, kSent, 0, 0, SMTO_NORMAL, 10000, &answer);
    done = true;
  });
  CHECK(done);
  CHECK(answered);
  CHECK(answer == 100);  // the posted message had not run when the window answered
  CHECK(g_posted_seen == 0);
  ProcessPendingMessages();
  CHECK(g_posted_seen == 1);
  DestroyWindow(window);
}
