#include "platform/message_pump_win.h"

#include <windows.h>

#include <exception>

#include "platform/handles_win.h"

namespace orvela {

HWND CreateNoticeWindow(const wchar_t* class_name, WNDPROC procedure, void* owner) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = class_name;
  RegisterClassW(&window_class);  // fails, harmlessly, once the class is known
  HWND window = CreateWindowExW(0, class_name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
  if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  return window;
}

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

namespace {

thread_local bool t_off_window_thread = false;  // work already away from the window

struct Job {
  const std::function<void()>* work;
  std::exception_ptr error;
};

DWORD WINAPI RunWork(void* data) {
  auto* job = static_cast<Job*>(data);
  t_off_window_thread = true;
  try {
    (*job->work)();
  } catch (...) {
    job->error = std::current_exception();  // thrown again on the caller's thread
  }
  return 0;
}

}  // namespace

void RunWhileAnswering(const std::function<void()>& work) {
  if (t_off_window_thread) {
    work();
    return;
  }
  Job job{&work, nullptr};
  const UniqueHandle thread(CreateThread(nullptr, 0, RunWork, &job, 0, nullptr));
  if (!thread) {
    work();
    return;
  }
  // Sent messages are answered inside PeekMessage and MsgWaitForMultipleObjects; paint is
  // the only message taken off the queue.
  const HANDLE waited = thread.get();
  while (MsgWaitForMultipleObjects(1, &waited, FALSE, INFINITE, QS_SENDMESSAGE | QS_PAINT) != WAIT_OBJECT_0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageW(&msg);
  }
  if (job.error) std::rethrow_exception(job.error);
}

void MessagePacer::operator()() {
  if (last_ && std::chrono::steady_clock::now() - *last_ < interval_) return;
  ProcessPendingMessages();
  last_ = std::chrono::steady_clock::now();
}

}  // namespace orvela
