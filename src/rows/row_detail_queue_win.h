// Rows whose details (icon, version texts, link state) are still to come. Rows drawn while
// they wait go first (the last drawn first), then the rest in the order given. Each row is
// redrawn once its details are in. One queue per list; it works for list boxes and list
// views alike.
//
// Details that can touch a drive are looked up on the worker (a `look` queue): a few rows at
// a time are handed to it, and their answers taken on the window's thread, so a drive that
// does not answer never keeps the window waiting; a new fill drops the answers still to come.
// Details that only read the registry or memory may be fetched on the window's thread (a
// `fetch` queue): while the window has nothing else to do, in slices of about 25 ms, cut
// short (after 8 ms) when input or a message from another thread or process waits. The next
// slice follows at once through a message posted to the list while nothing else waits,
// otherwise on the list's timer, which comes after input and painting.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include <memory>

#include "platform/plain_subclass_win.h"
#include "system/lookup_worker_win.h"

namespace orvela {

// Registered message a list with a queue answers, also from another process: how many of
// the lParam rows (at least one) from row wParam on wait; with wParam (WPARAM)-1, how many
// rows wait in all.
inline constexpr wchar_t kRowDetailsWaitingMessage[] = L"Orvela.RowDetailsWaiting";

class RowDetailQueue {
 public:
  // fetch(row) gets the details of a row, on the window's thread, and puts them where
  // drawing finds them.
  RowDetailQueue(HWND list, std::function<void(int row)> fetch);
  // look(row), on the window's thread, gives the row's look-up: it runs on the worker with
  // copies of what it needs, and its answer puts the details where drawing finds them.
  struct OnWorker {};
  RowDetailQueue(HWND list, OnWorker, std::function<Lookup(int row)> look,
                 LookupWorker& worker = SharedLookupWorker());
  ~RowDetailQueue();
  RowDetailQueue(const RowDetailQueue&) = delete;
  RowDetailQueue& operator=(const RowDetailQueue&) = delete;

  // A new fill of row_count rows: exactly `rows` wait, in that order.
  void Start(int row_count, const std::vector<int>& rows);
  // Nothing waits (the rows are about to be replaced).
  void Stop() { Start(0, {}); }
  // Not yet answered: drawn as being checked.
  bool waiting(int row) const;
  int waiting_count() const { return waiting_count_; }
  // The row is being drawn without its details: it is fetched next.
  void Prefer(int row);
  // For a list that fetches only the rows it shows: the row waits from now on, and is
  // fetched next. Rows beyond the last Start's count are not taken.
  void Want(int row);

  // One slice, as the timer runs it.
  void RunSlice();
  // Every waiting row (saved lists, sorts, tests). A look queue waits for the answers, the
  // window answering meanwhile, and calls `progress` as they come; false when a new fill
  // came first.
  bool FetchAll(const std::function<void()>& progress = {});

 private:
  static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  int NextRow();
  void FetchRow(int row);
  // Hands waiting rows to the worker while fewer than a few are out.
  void AskWorker();
  void Answered(int row, const LookupAnswer& answer);
  void Redraw(int row) const;
  void SetTimerRunning(bool running);
  void ContinueSoon();

  HWND list_;
  bool is_list_view_;  // else a list box
  PlainSubclass hook_;
  std::function<void(int)> fetch_;
  std::function<Lookup(int)> look_;
  std::unique_ptr<LookupClient> answers_;  // a look queue's
  int asked_ = 0;                          // rows out with the worker
  int asked_limit_ = 0;                    // at most
  int answered_ = 0;                       // rows answered since the fill began
  std::vector<bool> waiting_;  // by row
  std::vector<bool> asked_rows_;  // by row: out with the worker
  int waiting_count_ = 0;
  std::vector<int> order_;       // the fill's order
  size_t next_ = 0;
  std::vector<int> preferred_;  // drawn while waiting; the last one first
  uint64_t generation_ = 0;     // a new Start while a row is fetched ends that slice
  bool timer_running_ = false;
  bool continue_posted_ = false;
};

}  // namespace orvela
