#include <doctest.h>

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <chrono>
#include <memory>

#include "system/lookup_worker_win.h"

using namespace orvela;

namespace {

// A look-up that does not answer until the test lets it (a share out of reach).
struct Hold {
  HANDLE released = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~Hold() { CloseHandle(released); }
  void Wait() const { WaitForSingleObject(released, 10000); }
  void Release() const { SetEvent(released); }
};

// Waits for answers until `done` or ten seconds pass.
template <typename Done>
void AnswerUntil(LookupClient& client, Done done) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done() && std::chrono::steady_clock::now() < give_up) client.WaitForAnswers(20);
}

}  // namespace

TEST_CASE("a look-up runs on a worker thread with COM and without error boxes; its answer on the asking thread") {
  LookupWorker worker;
  LookupClient client(worker);
  const DWORD asking = GetCurrentThreadId();
  DWORD looked_on = 0, answered_on = 0, error_mode = 0;
  HRESULT com = E_FAIL;
  client.Ask([&] {
    looked_on = GetCurrentThreadId();
    error_mode = GetThreadErrorMode();
    com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // S_FALSE: already initialised
    if (SUCCEEDED(com)) CoUninitialize();
    return [&] { answered_on = GetCurrentThreadId(); };
  });
  AnswerUntil(client, [&] { return answered_on != 0; });
  CHECK(looked_on != asking);
  CHECK(answered_on == asking);
  CHECK((error_mode & SEM_FAILCRITICALERRORS) != 0);
  CHECK(com == S_FALSE);
}

TEST_CASE("a hanging look-up keeps neither the window nor the other look-ups waiting; forgotten answers never run") {
  LookupWorker worker;
  LookupClient client(worker);
  Hold hold;
  bool hung_answered = false, quick_answered = false;
  client.Ask([&] {
    hold.Wait();
    return [&] { hung_answered = true; };
  });
  client.Ask([&] { return [&] { quick_answered = true; }; });
  CHECK(client.waiting() == 2);
  AnswerUntil(client, [&] { return quick_answered; });
  CHECK(quick_answered);  // the second thread answered meanwhile
  CHECK_FALSE(hung_answered);
  CHECK(client.waiting() == 1);

  SUBCASE("a refill forgets the hanging look-up's answer") {
    client.Forget();
    CHECK(client.waiting() == 0);
    bool after_answered = false;
    client.Ask([&] { return [&] { after_answered = true; }; });
    hold.Release();
    AnswerUntil(client, [&] { return after_answered; });
    client.WaitForAnswers(50);
    CHECK(after_answered);
    CHECK_FALSE(hung_answered);
  }
  SUBCASE("look-ups not started when forgotten never run") {
    std::atomic<int> ran{0};
    client.Ask([&] {  // takes the second thread too
      hold.Wait();
      return LookupAnswer();
    });
    client.Ask([&] {
      ++ran;
      return LookupAnswer();
    });
    client.Forget();
    hold.Release();
    Sleep(100);
    CHECK(ran == 0);
  }
}

TEST_CASE("a client that is gone gets no answer from a look-up that outlived it") {
  LookupWorker worker;
  Hold hold, looked;
  auto answered = std::make_shared<std::atomic<bool>>(false);
  {
    LookupClient client(worker);
    client.Ask([&hold, &looked, answered] {
      looked.Release();
      hold.Wait();
      return [answered] { *answered = true; };
    });
    looked.Wait();
  }
  hold.Release();
  Sleep(100);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  CHECK_FALSE(*answered);
}
