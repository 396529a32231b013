#include "rows/row_detail_queue_win.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>

#include "platform/guarded_call_win.h"

namespace orvela {
namespace {

constexpr UINT_PTR kTimerId = 0x5244;
// Long enough to get work done per tick, short enough that a message never waits long; a
// message that arrives meanwhile ends the slice after its shortest length.
constexpr auto kSliceLength = std::chrono::milliseconds(25);
constexpr auto kShortestSlice = std::chrono::milliseconds(8);
// Rows out with the worker at once: enough to keep its threads busy between two answers,
// few enough that a row drawn now comes soon after those. Waiting for all rows, nothing
// comes before them.
constexpr int kRowsAsked = 12, kRowsAskedAtOnce = 512, kRowsPerBatch = 64;
// Once the first screen is in and no drawn row waits: enough jobs queued that neither thread
// waits for the window between two, few enough rows in each that a row drawn next is not
// kept long behind them.
constexpr int kRowsAskedQuietly = 24, kRowsPerQuietJob = 6;

UINT WaitingQueryMessage() {
  static const UINT message = RegisterWindowMessageW(kRowDetailsWaitingMessage);
  return message;
}

UINT ContinueMessage() {
  static const UINT message = RegisterWindowMessageW(L"Orvela.RowDetailsNextSlice");
  return message;
}

bool IsListView(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return lstrcmpiW(name, WC_LISTVIEWW) == 0;
}

// Something the window should answer before more rows are fetched.
bool MessagesWaiting() {
  return HIWORD(GetQueueStatus(QS_INPUT | QS_SENDMESSAGE | QS_POSTMESSAGE)) != 0;
}

}  // namespace

RowDetailQueue::RowDetailQueue(HWND list, std::function<void(int)> fetch)
    : list_(list), is_list_view_(list && IsListView(list)), fetch_(std::move(fetch)) {
  // Every message to the list passes here: a plain subclass.
  if (list_) hook_.Attach(list_, &RowDetailQueue::ListProc, this);
}

RowDetailQueue::RowDetailQueue(HWND list, OnWorker, std::function<Lookup(int)> look, LookupWorker& worker)
    : RowDetailQueue(list, std::function<void(int)>()) {
  look_ = std::move(look);
  answers_ = std::make_unique<LookupClient>(worker);
  asked_limit_ = kRowsAsked;
}

RowDetailQueue::~RowDetailQueue() {
  if (!list_) return;
  SetTimerRunning(false);
  hook_.Detach();
}

void RowDetailQueue::Start(int row_count, const std::vector<int>& rows) {
  ++generation_;
  if (answers_) answers_->Forget();  // what the old rows asked is of no use now
  asked_ = 0;
  answered_ = 0;
  waiting_.assign(static_cast<size_t>(std::max(row_count, 0)), false);
  asked_rows_.assign(waiting_.size(), false);
  waiting_count_ = 0;
  order_.clear();
  preferred_.clear();
  next_ = 0;
  for (int row : rows) {
    if (row < 0 || row >= row_count || waiting_[static_cast<size_t>(row)]) continue;
    waiting_[static_cast<size_t>(row)] = true;
    order_.push_back(row);
    ++waiting_count_;
  }
  if (answers_) AskWorker();
  else SetTimerRunning(waiting_count_ > 0);
}

bool RowDetailQueue::waiting(int row) const {
  return row >= 0 && static_cast<size_t>(row) < waiting_.size() && waiting_[static_cast<size_t>(row)];
}

void RowDetailQueue::Prefer(int row) {
  if (!waiting(row) || asked_rows_[static_cast<size_t>(row)] || (!preferred_.empty() && preferred_.back() == row))
    return;
  preferred_.push_back(row);
  if (answers_) AskWorker();
}

void RowDetailQueue::Want(int row) {
  if (row < 0 || static_cast<size_t>(row) >= waiting_.size()) return;
  if (!waiting_[static_cast<size_t>(row)]) {
    waiting_[static_cast<size_t>(row)] = true;
    ++waiting_count_;
  }
  Prefer(row);
  if (!answers_) SetTimerRunning(true);
}

int RowDetailQueue::NextRow() {
  while (!preferred_.empty()) {
    const int row = preferred_.back();
    preferred_.pop_back();
    if (waiting(row) && !asked_rows_[static_cast<size_t>(row)]) return row;
  }
  while (next_ < order_.size()) {
    const int row = order_[next_++];
    if (waiting(row) && !asked_rows_[static_cast<size_t>(row)]) return row;
  }
  return -1;
}

void RowDetailQueue::AskWorker() {
  // The first screen's rows and rows drawn now go one to a job, so each comes as soon as it
  // is found; the rest go a few to a job, and waiting for all, in batches: a job's own cost
  // (handing over, waking a thread, the window taking the answer) is then shared. A row
  // drawn meanwhile goes out once the quiet jobs already out are down to the usual few.
  const bool all = asked_limit_ > kRowsAsked;
  const bool quiet = !all && answered_ >= kRowsAsked && preferred_.empty();
  const int rows_per_job = all ? kRowsPerBatch : quiet ? kRowsPerQuietJob : 1;
  const int limit = quiet ? kRowsAskedQuietly : asked_limit_;
  while (asked_ < limit) {
    std::vector<std::pair<int, Lookup>> batch;
    for (int row = 0; static_cast<int>(batch.size()) < rows_per_job && asked_ < limit;) {
      if ((row = NextRow()) < 0) break;
      asked_rows_[static_cast<size_t>(row)] = true;
      ++asked_;
      batch.emplace_back(row, look_(row));
    }
    if (batch.empty()) return;
    // The look-ups hold copies only; their answers come back here while this fill lasts.
    answers_->Ask([this, batch = std::move(batch)]() -> LookupAnswer {
      std::vector<std::pair<int, LookupAnswer>> found;
      for (const auto& [row, lookup] : batch) found.emplace_back(row, lookup ? lookup() : LookupAnswer());
      return [this, found = std::move(found)] {
        const uint64_t generation = generation_;
        for (const auto& [row, answer] : found) {
          Answered(row, answer);
          if (generation != generation_) return;  // the answer started a new fill
        }
        AskWorker();
      };
    });
  }
}

void RowDetailQueue::Answered(int row, const LookupAnswer& answer) {
  --asked_;
  ++answered_;
  asked_rows_[static_cast<size_t>(row)] = false;
  if (waiting(row)) {
    waiting_[static_cast<size_t>(row)] = false;
    --waiting_count_;
  }
  const uint64_t generation = generation_;
  if (answer) answer();
  if (generation == generation_) Redraw(row);
}

void RowDetailQueue::FetchRow(int row) {
  waiting_[static_cast<size_t>(row)] = false;
  --waiting_count_;
  const uint64_t generation = generation_;
  fetch_(row);
  if (generation == generation_) Redraw(row);
}

void RowDetailQueue::Redraw(int row) const {
  if (!list_) return;
  // Only a row in sight: each invalidation is a round trip to Wine's server, and a sort
  // answers thousands of rows that are drawn with their details when scrolled to. (A list
  // view is asked by index: asking a virtual one for a row's rectangle asks for the row.)
  if (is_list_view_) {
    const int top = ListView_GetTopIndex(list_);
    if (row >= top && row <= top + ListView_GetCountPerPage(list_)) SendMessageW(list_, LVM_REDRAWITEMS, row, row);
    return;
  }
  RECT rect{}, client{};
  if (SendMessageW(list_, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)) != LB_ERR &&
      GetClientRect(list_, &client) && IntersectRect(&rect, &rect, &client))
    InvalidateRect(list_, &rect, FALSE);
}

void RowDetailQueue::RunSlice() {
  const auto start = std::chrono::steady_clock::now();
  const uint64_t generation = generation_;
  for (;;) {
    const int row = NextRow();
    if (row < 0) break;
    FetchRow(row);
    if (generation != generation_) return;  // a new fill started meanwhile and owns the timer
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (elapsed >= kSliceLength || (elapsed >= kShortestSlice && MessagesWaiting())) break;
  }
  SetTimerRunning(waiting_count_ > 0);
  if (waiting_count_ > 0) ContinueSoon();
}

void RowDetailQueue::ContinueSoon() {
  if (!list_ || continue_posted_) return;
  // The rows just fetched are painted as a message of their own, before the timer's next
  // slice: painting them here would make the slice that much longer.
  // Posted messages come before input, painting and timers: only when none of those waits.
  if (HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER | QS_HOTKEY)) != 0) return;
  continue_posted_ = PostMessageW(list_, ContinueMessage(), 0, 0) != 0;
}

bool RowDetailQueue::FetchAll(const std::function<void()>& progress) {
  if (!answers_) {
    for (int row = NextRow(); row >= 0; row = NextRow()) FetchRow(row);
    SetTimerRunning(false);
    return true;
  }
  const uint64_t generation = generation_;
  asked_limit_ = kRowsAskedAtOnce;
  while (waiting_count_ > 0 && generation == generation_) {
    AskWorker();
    answers_->WaitForAnswers(20);
    if (progress) progress();
  }
  asked_limit_ = kRowsAsked;
  return generation == generation_;
}

void RowDetailQueue::SetTimerRunning(bool running) {
  if (!list_ || running == timer_running_) return;
  timer_running_ = running;
  if (running) SetTimer(list_, kTimerId, USER_TIMER_MINIMUM, nullptr);
  else KillTimer(list_, kTimerId);
}

namespace {

// A failure in the list's procedure: the rows keep what they have and the queue stops, before
// the box, whose own message loop would run the timer again.
void StopAndShow(HWND list, const std::string& text) {
  if (auto* queue = PlainSubclass::OwnerOf<RowDetailQueue>(list)) queue->Stop();
  ShowFailureBox(GetAncestor(list, GA_ROOT), text);
}

}  // namespace

LRESULT CALLBACK RowDetailQueue::ListProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* queue = PlainSubclass::OwnerOf<RowDetailQueue>(window);
  const auto answer = [&]() -> LRESULT {
    if (message == ContinueMessage()) queue->continue_posted_ = false;
    if ((message == WM_TIMER && wparam == kTimerId) || message == ContinueMessage()) {
      queue->RunSlice();
      return 0;
    }
    if (message == WaitingQueryMessage()) {
      if (wparam == static_cast<WPARAM>(-1)) return queue->waiting_count_;
      const int first = static_cast<int>(wparam);
      const int count = std::max(static_cast<int>(lparam), 1);
      int waiting = 0;
      for (int row = first; row < first + count; ++row) waiting += queue->waiting(row) ? 1 : 0;
      return waiting;
    }
    if (message == WM_NCDESTROY) {
      queue->timer_running_ = false;
      queue->hook_.Detach();
      queue->list_ = nullptr;
    }
    return queue->hook_.CallPrevious(window, message, wparam, lparam);
  };
  return GuardedCall(window, answer, StopAndShow).value_or(0);
}

}  // namespace orvela
