// Lets the window repaint and answer during a long piece of work on its own thread.
#pragma once
#include <chrono>
#include <optional>

namespace orvela {

// Dispatches every pending message; a quit message is posted again for the main loop.
void ProcessPendingMessages();

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
