// Lets the window repaint and answer during a long piece of work on its own thread.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>

namespace orvela {

// A message-only window of its own class (registered at the first call) whose user data is
// `owner`: how another thread's notices reach an object on this thread.
HWND CreateNoticeWindow(const wchar_t* class_name, WNDPROC procedure, void* owner);

// Dispatches every pending message; a quit message is posted again for the main loop.
void ProcessPendingMessages();

// Runs `work` on a thread of its own and returns when it is done. Meanwhile the calling
// thread answers what other threads and processes send it and paints its windows, but
// takes no input, posted message or timer: nothing the user does can start in between.
// For file work that touches no window and would otherwise stop the window (a flush to
// disk can take a long while on a busy machine).
void RunWhileAnswering(const std::function<void()>& work);

// Called often during a long piece of work: dispatches pending messages at the first call
// and whenever `interval` has passed since it last did, so the window never goes long
// without answering.
class MessagePacer {
 public:
  explicit MessagePacer(std::chrono::milliseconds interval = std::chrono::milliseconds(30))
      : interval_(interval) {}
  void operator()();

 private:
  std::chrono::milliseconds interval_;
  std::optional<std::chrono::steady_clock::time_point> last_;
};

}  // namespace orvela
