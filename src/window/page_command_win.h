// A long command of a page (deleting thousands of files, removing a registry key with
// thousands of subkeys) runs on a thread of its own while the window goes on answering: the
// page stays usable, status panel 1 says how far the command got, the mouse shows the wait
// cursor over the page only, and the command's end comes back to the window's thread as a
// posted message. A page runs one command at a time.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "platform/handles_win.h"

namespace orvela {

class PageHost;

inline constexpr char kCommandStillRunning[] =
    "前の処理がまだ終わっていません。終わってからもう一度お試しください。";

// What the work and the window share while a command runs.
struct CommandProgress {
  std::atomic<size_t> done{0};
  std::atomic<size_t> total{0};
  // The window is closing: the work ends at its next point where ending loses nothing.
  std::atomic<bool> stop{false};
};

class PageCommand {
 public:
  explicit PageCommand(PageHost& host) : host_(host) {}
  // A command still running is asked to stop and waited for; its `finished` does not run.
  ~PageCommand();
  PageCommand(const PageCommand&) = delete;
  PageCommand& operator=(const PageCommand&) = delete;

  // Runs `work` on a thread of its own (critical-error boxes off) and `finished` on the
  // window's thread after it has ended; `finished` may start the command's next step.
  // Meanwhile status panel 1 shows `doing` and the progress (" 120 / 10000"). The work must
  // touch no window and no page object. False, and nothing run, while a command of this page
  // is running.
  bool Start(std::string doing, std::function<void(CommandProgress&)> work, std::function<void()> finished);
  bool running() const { return running_; }
  // For a command that would clash with the one running: true, after telling the user, while
  // one runs.
  bool RefuseWhileRunning();
  // The window whose area shows the wait cursor while a command runs (the page's content).
  void SetPage(HWND page) { page_ = page; }
  HWND page() const { return page_; }
  // The window is closing: the work is asked to stop where that loses nothing, the status bar
  // says the window closes once it has, and `finished` does not run.
  void StopForClose();

 private:
  struct Job;
  static LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static DWORD WINAPI RunJob(void* job);
  void ShowProgress();
  void Finish();
  void SetPageCursor();

  PageHost& host_;
  HWND page_ = nullptr;
  HWND notices_ = nullptr;  // a message-only window: the job's end and the progress timer
  std::shared_ptr<Job> job_;
  UniqueHandle thread_;
  std::string doing_;
  std::function<void()> finished_;
  bool running_ = false;
  bool closing_ = false;
};

}  // namespace orvela
