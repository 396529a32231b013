// Look-ups that can touch a drive (does a file exist, what does a shortcut point to, a
// program's icon and version texts) run here, on threads of their own, never on a window's
// thread: a share that is out of reach or a card reader with no card may take seconds to
// answer, and the window must keep answering meanwhile.
//
// LookupWorker: a small pool of threads (two) that run look-ups in the order they are asked,
// each thread with COM initialised and the system's critical-error boxes ("insert a disk")
// off. A thread stuck in a look-up is never waited for: the program may end with it.
// LookupClient: a window thread's end. A look-up asked through it runs on the worker and
// gives back an answer (a function) that runs later on the asking thread, between its
// messages; Forget() drops the answers of everything asked before (a refill), and answers
// never reach a client that is gone.
//
// A new kind of look-up needs nothing here: ask the client with a function that reads what
// it needs (copies only: it must not touch a window or a page object) and returns what the
// window's thread does with the result.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

namespace orvela {

// A lock for what the worker's threads share with the window's thread (the toolchain's
// threads have no std::mutex).
class ThreadLock {
 public:
  void lock() { AcquireSRWLockExclusive(&lock_); }
  void unlock() { ReleaseSRWLockExclusive(&lock_); }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};

class Locked {
 public:
  explicit Locked(ThreadLock& lock) : lock_(lock) { lock_.lock(); }
  ~Locked() { lock_.unlock(); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  ThreadLock& lock_;
};

// Runs on the window's thread with what a look-up found.
using LookupAnswer = std::function<void()>;
// Runs on a worker thread: the look-up itself.
using Lookup = std::function<LookupAnswer()>;

class LookupWorker {
 public:
  explicit LookupWorker(int threads = 2);
  // Threads in a look-up finish it unseen; those waiting end.
  ~LookupWorker();
  LookupWorker(const LookupWorker&) = delete;
  LookupWorker& operator=(const LookupWorker&) = delete;

  // Runs the job on a worker thread; never waits. Jobs start in the order given.
  void Submit(std::function<void()> job);

  // Every job passes `gate` on its thread before it runs (null: none). Tests and the bench
  // put a look-up that takes its time or blocks until released here.
  void SetGate(std::function<void()> gate);

  struct State;

 private:
  std::shared_ptr<State> state_;
  int threads_;
};

// The program's worker, made at first use and never destroyed: a thread may still be in a
// look-up when the program ends.
LookupWorker& SharedLookupWorker();

class LookupClient {
 public:
  explicit LookupClient(LookupWorker& worker = SharedLookupWorker());
  ~LookupClient();
  LookupClient(const LookupClient&) = delete;
  LookupClient& operator=(const LookupClient&) = delete;

  // Runs `lookup` on the worker; its answer runs on this thread when messages are
  // dispatched (or TakeAnswers is called), unless Forget() or the client's end came first.
  void Ask(Lookup lookup);
  // Answers of look-ups asked so far are dropped; those not started yet never run.
  void Forget();
  // Runs the answers that have come in; how many ran.
  int TakeAnswers();
  // Waits until an answer comes or `milliseconds` pass, dispatching this thread's messages
  // meanwhile, then runs the answers; how many ran.
  int WaitForAnswers(DWORD milliseconds);
  // Look-ups asked since the last Forget() whose answers have not been taken yet.
  int waiting() const { return waiting_; }

  struct Mailbox;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  LookupWorker& worker_;
  std::shared_ptr<Mailbox> mailbox_;
  HWND window_ = nullptr;  // message-only: the answers' message comes here
  std::uint64_t answered_ = 0;
  int waiting_ = 0;
};

}  // namespace orvela
