// Linked into the program for the bench's test of a drive that does not answer: every 40th
// look-up of the run (the first included) takes 5 s, as a share out of reach does. The
// window must keep answering all along.
#include <windows.h>

#include <atomic>

#include "system/lookup_worker_win.h"

namespace {

const bool kSlowLookups = [] {
  orvela::SharedLookupWorker().SetGate([] {
    static std::atomic<int> lookups{0};
    if (lookups++ % 40 == 0) Sleep(5000);
  });
  return true;
}();

}  // namespace
