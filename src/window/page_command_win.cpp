#include "window/page_command_win.h"

#include "window/page_host_win.h"
#include "platform/app_title.h"
#include "platform/handles_win.h"
#include "platform/guarded_call_win.h"
#include "platform/message_pump_win.h"

namespace orvela {
namespace {

constexpr wchar_t kNoticeClass[] = L"OrvelaPageCommand";
constexpr UINT kWorkEnded = WM_APP + 1;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressInterval = 100;  // ms
constexpr char kClosesAfter[] = "　終わりしだい閉じます";

}  // namespace

struct PageCommand::Job {
  std::function<void(CommandProgress&)> work;
  CommandProgress progress;
  HWND notices = nullptr;
  std::exception_ptr error;
};


PageCommand::~PageCommand() {
  if (thread_) {
    job_->progress.stop = true;
    // What the thread's end sends this thread is answered meanwhile.
    HANDLE thread = thread_.get();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  if (notices_) DestroyWindow(notices_);
}

bool PageCommand::Start(std::string doing, std::function<void(CommandProgress&)> work,
                        std::function<void()> finished) {
  if (running_) return false;
  if (!notices_) notices_ = CreateNoticeWindow(kNoticeClass, NoticeProc, this);
  job_ = std::make_shared<Job>();
  job_->work = std::move(work);
  job_->notices = notices_;
  doing_ = std::move(doing);
  finished_ = std::move(finished);
  running_ = true;
  closing_ = false;
  host_.CommandStarted(*this);
  ShowProgress();
  SetPageCursor();
  auto* handed = new std::shared_ptr<Job>(job_);
  thread_.reset(CreateThread(nullptr, 0, RunJob, handed, 0, nullptr));
  if (!thread_) {
    // No thread to be had: the work runs here, and ends as it would have.
    RunJob(handed);
    return true;
  }
  SetTimer(notices_, kProgressTimer, kProgressInterval, nullptr);
  return true;
}

DWORD WINAPI PageCommand::RunJob(void* handed) {
  const std::unique_ptr<std::shared_ptr<Job>> owner(static_cast<std::shared_ptr<Job>*>(handed));
  Job& job = **owner;
  // A drive without a medium must not raise a system box from a thread no one watches.
  SetThreadErrorMode(SEM_FAILCRITICALERRORS, nullptr);
  try {
    job.work(job.progress);
  } catch (...) {
    job.error = std::current_exception();
  }
  PostMessageW(job.notices, kWorkEnded, 0, 0);
  return 0;
}

bool PageCommand::RefuseWhileRunning() {
  if (running_) host_.prompt().ShowMessage(kCommandStillRunning, kAppTitle, PromptIcon::kInformation);
  return running_;
}

void PageCommand::StopForClose() {
  if (!running_) return;
  closing_ = true;
  job_->progress.stop = true;
  ShowProgress();
}

void PageCommand::ShowProgress() {
  if (!running_) return;
  const size_t total = job_->progress.total, done = job_->progress.done;
  std::string text = doing_;
  if (total > 0) text += " " + std::to_string(done) + " / " + std::to_string(total);
  if (closing_) text += kClosesAfter;
  host_.SetStatusText(1, text);
}

// The cursor changes at once where the mouse is, not at its next move.
void PageCommand::SetPageCursor() {
  POINT point{};
  if (!GetCursorPos(&point)) return;
  HWND under = WindowFromPoint(point);
  if (under && (under == page_ || IsChild(page_, under)))
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void PageCommand::Finish() {
  if (!running_) return;
  KillTimer(notices_, kProgressTimer);
  // Not waited for: a thread's end under Wine may send this thread a message, which a wait
  // here would answer only after two seconds. The job's state is the thread's too.
  thread_.reset();
  running_ = false;
  const std::exception_ptr error = job_->error;
  job_.reset();
  const std::function<void()> finished = std::move(finished_);
  host_.SetStatusText(1, "");
  SetPageCursor();
  // The frame hears of the end last, unless `finished` started the command's next step: a
  // close that waited closes the window then.
  ScopeExit ended([this] {
    if (!running_) host_.CommandEnded(*this);
  });
  if (error) std::rethrow_exception(error);
  // The window closes: what the command would show or start next no longer matters.
  if (!closing_) finished();
}

LRESULT CALLBACK PageCommand::NoticeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* command = reinterpret_cast<PageCommand*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!command || (message != kWorkEnded && (message != WM_TIMER || wparam != kProgressTimer)))
    return DefWindowProcW(window, message, wparam, lparam);
  GuardedCall(command->host_.window(), [&] {
    if (message == kWorkEnded) command->Finish(); else command->ShowProgress();
  });
  return 0;
}

}  // namespace orvela
