// Tests that start a page's long command answer the window's messages until it has ended,
// as the program's message loop would.
#pragma once
#include <windows.h>

#include "window/page_command_win.h"
#include "platform/message_pump_win.h"

namespace orvela::testing {

// False when it had not ended after a minute.
inline bool WaitForCommand(const PageCommand& command) {
  const ULONGLONG end = GetTickCount64() + 60000;
  while (command.running() && GetTickCount64() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    ProcessPendingMessages();
  }
  return !command.running();
}

}  // namespace orvela::testing
