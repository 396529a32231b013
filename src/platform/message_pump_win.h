// Lets the window repaint and answer during a long piece of work on its own thread.
#pragma once

namespace orvela {

// Dispatches every pending message; a quit message is posted again for the main loop.
void ProcessPendingMessages();

}  // namespace orvela
