#include "system/lookup_worker_win.h"

#include <objbase.h>

#include <atomic>
#include <deque>
#include <utility>
#include <vector>

#include "platform/guarded_call_win.h"
#include "platform/message_pump_win.h"

namespace orvela {
namespace {

constexpr wchar_t kAnswersWindowClass[] = L"OrvelaLookupAnswers";
constexpr UINT kAnswersMessage = WM_APP + 0x4C;

}  // namespace

struct LookupWorker::State {
  ThreadLock lock;
  HANDLE jobs_ready = CreateSemaphoreW(nullptr, 0, 0x7FFFFFFF, nullptr);  // one count per job
  std::deque<std::function<void()>> jobs;
  std::shared_ptr<const std::function<void()>> gate;
  bool closing = false;

  ~State() { CloseHandle(jobs_ready); }
};

namespace {

// Whatever a job does, the thread goes on: a look-up that fails gives no answer.
void RunGuarded(const std::function<void()>& job) {
  try {
    job();
  } catch (...) {
  }
}

DWORD WINAPI WorkerThread(void* parameter) {
  std::unique_ptr<std::shared_ptr<LookupWorker::State>> held(static_cast<std::shared_ptr<LookupWorker::State>*>(parameter));
  LookupWorker::State& state = **held;
  // A drive with no medium must not bring up the system's box: the thread has nobody to
  // answer it, and the window would wait for nothing.
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, nullptr);
  // Shell link objects and the shell's icons live in an apartment of the thread's own; the
  // shell may make hidden windows here, so the thread answers messages while it waits.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjectsEx(1, &state.jobs_ready, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0 + 1) {
      ProcessPendingMessages();
      continue;
    }
    if (woken != WAIT_OBJECT_0) break;
    std::function<void()> job;
    std::shared_ptr<const std::function<void()>> gate;
    {
      Locked locked(state.lock);
      if (state.closing) break;
      if (state.jobs.empty()) continue;
      job = std::move(state.jobs.front());
      state.jobs.pop_front();
      gate = state.gate;
    }
    if (gate) RunGuarded(*gate);
    RunGuarded(job);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

}  // namespace

LookupWorker::LookupWorker(int threads) : state_(std::make_shared<State>()), threads_(threads) {
  for (int i = 0; i < threads; ++i) {
    auto* held = new std::shared_ptr<State>(state_);
    HANDLE thread = CreateThread(nullptr, 0, WorkerThread, held, 0, nullptr);
    if (thread) CloseHandle(thread);  // never joined: see the header
    else delete held;
  }
}

LookupWorker::~LookupWorker() {
  std::deque<std::function<void()>> dropped;
  {
    Locked locked(state_->lock);
    state_->closing = true;
    dropped.swap(state_->jobs);
  }
  ReleaseSemaphore(state_->jobs_ready, threads_, nullptr);  // every waiting thread wakes and ends
}

void LookupWorker::Submit(std::function<void()> job) {
  {
    Locked locked(state_->lock);
    if (state_->closing) return;
    state_->jobs.push_back(std::move(job));
  }
  ReleaseSemaphore(state_->jobs_ready, 1, nullptr);
}

void LookupWorker::SetGate(std::function<void()> gate) {
  auto shared = gate ? std::make_shared<const std::function<void()>>(std::move(gate)) : nullptr;
  Locked locked(state_->lock);
  state_->gate = std::move(shared);
}

LookupWorker& SharedLookupWorker() {
  static auto* worker = new LookupWorker(2);
  return *worker;
}

// ---------------------------------------------------------------------------------------

struct LookupClient::Mailbox {
  ThreadLock lock;
  HWND window = nullptr;  // null once the client is gone
  std::atomic<std::uint64_t> generation{0};
  std::vector<std::pair<std::uint64_t, LookupAnswer>> answers;
  bool posted = false;

  void Deliver(std::uint64_t asked_in, LookupAnswer answer) {
    LookupAnswer dropped;  // let go outside the lock: it may hold icons and the like
    Locked locked(lock);
    if (!window || asked_in != generation.load()) {
      dropped = std::move(answer);
      return;
    }
    answers.emplace_back(asked_in, std::move(answer));
    if (!posted) posted = PostMessageW(window, kAnswersMessage, 0, 0) != 0;
  }
};

LookupClient::LookupClient(LookupWorker& worker) : worker_(worker), mailbox_(std::make_shared<Mailbox>()) {
  window_ = CreateNoticeWindow(kAnswersWindowClass, &LookupClient::WindowProc, this);
  Locked locked(mailbox_->lock);
  mailbox_->window = window_;
}

LookupClient::~LookupClient() {
  std::vector<std::pair<std::uint64_t, LookupAnswer>> dropped;
  {
    Locked locked(mailbox_->lock);
    mailbox_->window = nullptr;
    ++mailbox_->generation;
    dropped.swap(mailbox_->answers);
  }
  if (window_) DestroyWindow(window_);
}

void LookupClient::Ask(Lookup lookup) {
  ++waiting_;
  const std::shared_ptr<Mailbox> mailbox = mailbox_;
  const std::uint64_t asked_in = mailbox->generation.load();
  worker_.Submit([mailbox, asked_in, lookup = std::move(lookup)] {
    if (mailbox->generation.load() != asked_in) return;  // forgotten before it started
    mailbox->Deliver(asked_in, lookup());
  });
}

void LookupClient::Forget() {
  waiting_ = 0;
  std::vector<std::pair<std::uint64_t, LookupAnswer>> dropped;
  Locked locked(mailbox_->lock);
  ++mailbox_->generation;
  dropped.swap(mailbox_->answers);
}

int LookupClient::TakeAnswers() {
  std::vector<std::pair<std::uint64_t, LookupAnswer>> taken;
  {
    Locked locked(mailbox_->lock);
    taken.swap(mailbox_->answers);
    mailbox_->posted = false;
  }
  int ran = 0;
  for (auto& [asked_in, answer] : taken) {
    // An answer may start a refill: the ones after it belong to the old rows.
    if (asked_in != mailbox_->generation.load()) continue;
    --waiting_;
    if (!answer) continue;
    ++answered_;
    ++ran;
    answer();
  }
  return ran;
}

int LookupClient::WaitForAnswers(DWORD milliseconds) {
  const std::uint64_t before = answered_;
  if (TakeAnswers() == 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
    ProcessPendingMessages();  // the answers' message runs them
    TakeAnswers();
  }
  return static_cast<int>(answered_ - before);
}

LRESULT CALLBACK LookupClient::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kAnswersMessage) {
    auto* client = reinterpret_cast<LookupClient*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (client) GuardedCall(nullptr, [client] { client->TakeAnswers(); });
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace orvela
