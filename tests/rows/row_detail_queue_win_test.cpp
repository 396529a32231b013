#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "rows/row_detail_queue_win.h"
#include "platform/message_pump_win.h"

using namespace orvela;

namespace {

// A shown window with an owner-drawn list of 20-pixel rows.
struct ListWindow {
  HWND frame = nullptr;
  HWND list = nullptr;
  explicit ListWindow(int rows) {
    frame = CreateWindowExW(0, WC_STATICW, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300, nullptr,
                            nullptr, nullptr, nullptr);
    list = CreateWindowExW(0, WC_LISTBOXW, L"", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_NODATA |
                           LBS_NOINTEGRALHEIGHT, 0, 0, 200, 200, frame, nullptr, nullptr, nullptr);
    REQUIRE(list);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, 20);
    SendMessageW(list, LB_SETCOUNT, rows, 0);
    UpdateWindow(frame);
  }
  ~ListWindow() { DestroyWindow(frame); }
};

}  // namespace

TEST_CASE("the detail queue takes rows drawn while they wait first, the last drawn first") {
  ListWindow window(6);
  std::vector<int> fetched;
  RowDetailQueue queue(window.list, [&](int row) { fetched.push_back(row); });
  queue.Start(6, {0, 1, 2, 4, 5});  // row 3 had its details already
  CHECK(queue.waiting_count() == 5);
  CHECK_FALSE(queue.waiting(3));
  queue.Prefer(1);
  queue.Prefer(5);
  queue.Prefer(3);  // not waiting: nothing to fetch
  queue.FetchAll();
  CHECK(fetched == std::vector<int>{5, 1, 0, 2, 4});
  CHECK(queue.waiting_count() == 0);

  SUBCASE("a new fill forgets what the old one left waiting") {
    fetched.clear();
    queue.Start(6, {0, 1});
    queue.Prefer(1);
    queue.Start(3, {2});
    queue.FetchAll();
    CHECK(fetched == std::vector<int>{2});
  }
}

TEST_CASE("a fetched row is redrawn, and no other") {
  ListWindow window(6);
  RowDetailQueue queue(window.list, [](int) {});
  queue.Start(6, {2});
  ValidateRect(window.list, nullptr);
  queue.FetchAll();
  RECT row{}, update{};
  SendMessageW(window.list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  REQUIRE(GetUpdateRect(window.list, &update, FALSE));
  CHECK(EqualRect(&update, &row));
}

TEST_CASE("the list's timer works the rows off while messages are dispatched, and says how many wait") {
  ListWindow window(40);
  std::vector<int> fetched;
  RowDetailQueue queue(window.list, [&](int row) { fetched.push_back(row); });
  std::vector<int> all;
  for (int row = 0; row < 40; ++row) all.push_back(row);
  queue.Start(40, all);
  const UINT waiting = RegisterWindowMessageW(kRowDetailsWaitingMessage);
  CHECK(SendMessageW(window.list, waiting, static_cast<WPARAM>(-1), 0) == 40);
  CHECK(SendMessageW(window.list, waiting, 38, 5) == 2);  // rows 38 and 39; the list has no more

  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (queue.waiting_count() > 0 && std::chrono::steady_clock::now() < give_up) {
    ProcessPendingMessages();
    Sleep(1);
  }
  CHECK(fetched.size() == 40);
  CHECK(SendMessageW(window.list, waiting, static_cast<WPARAM>(-1), 0) == 0);
  CHECK(SendMessageW(window.list, waiting, 0, 40) == 0);
}

TEST_CASE("a fill started while a row is fetched ends the slice; the new rows wait") {
  ListWindow window(3);
  std::vector<int> fetched;
  RowDetailQueue* self = nullptr;
  RowDetailQueue queue(window.list, [&](int row) {
    fetched.push_back(row);
    if (row == 0) self->Start(3, {2});
  });
  self = &queue;
  queue.Start(3, {0, 1});
  queue.RunSlice();
  CHECK(fetched == std::vector<int>{0});
  CHECK_FALSE(queue.waiting(1));
  CHECK(queue.waiting(2));
}

TEST_CASE("a row whose look-up hangs waits while the others come; a refill drops its answer") {
  ListWindow window(3);
  LookupWorker worker;
  const HANDLE released = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::vector<int> answered;
  RowDetailQueue queue(
      window.list, RowDetailQueue::OnWorker{},
      [&](int row) -> Lookup {
        return [&answered, released, row]() -> LookupAnswer {
          if (row == 0) WaitForSingleObject(released, 10000);  // a share that does not answer
          return [&answered, row] { answered.push_back(row); };
        };
      },
      worker);
  auto answer_until = [&](int row) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::find(answered.begin(), answered.end(), row) == answered.end() &&
           std::chrono::steady_clock::now() < give_up) {
      ProcessPendingMessages();
      Sleep(1);
    }
  };
  queue.Start(3, {0, 1});
  answer_until(1);  // the window's thread dispatches messages all along
  CHECK(answered == std::vector<int>{1});
  CHECK(queue.waiting(0));  // drawn as being checked
  CHECK_FALSE(queue.waiting(1));

  queue.Start(3, {2});  // a refill while row 0 hangs
  SetEvent(released);
  answer_until(2);
  Sleep(50);
  ProcessPendingMessages();
  CHECK(answered == std::vector<int>{1, 2});
  CHECK(queue.waiting_count() == 0);
  CloseHandle(released);
}

TEST_CASE("waiting for every row, an answer that starts a new fill ends its batch there") {
  ListWindow window(200);
  LookupWorker worker;
  std::vector<int> answered;
  RowDetailQueue* self = nullptr;
  RowDetailQueue queue(
      window.list, RowDetailQueue::OnWorker{},
      [&](int row) -> Lookup {
        return [&answered, &self, row]() -> LookupAnswer {
          return [&answered, &self, row] {
            answered.push_back(row);
            if (row == 20) self->Start(200, {150});
          };
        };
      },
      worker);
  self = &queue;
  std::vector<int> all(200);
  for (int i = 0; i < 200; ++i) all[static_cast<size_t>(i)] = i;
  queue.Start(200, all);
  CHECK_FALSE(queue.FetchAll());
  // The rows after it in its batch belong to the old fill; only the new fill's row may follow.
  const auto new_fill = std::find(answered.begin(), answered.end(), 20);
  REQUIRE(new_fill != answered.end());
  CHECK(std::all_of(new_fill + 1, answered.end(), [](int row) { return row == 150; }));
}
