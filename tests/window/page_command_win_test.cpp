// A page's long command in a real main window of this process: the work blocks until the
// test lets it go, so what the window does meanwhile can be seen.
#include <doctest.h>

#include "window/page_command_win.h"

#include <commctrl.h>

#include <atomic>

#include "../command_wait_win.h"
#include "app/form1_win.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

struct Probe {
  HWND window;
  std::atomic<bool> done{false};
  bool answered = false;
  static DWORD WINAPI Run(void* self) {
    auto* probe = static_cast<Probe*>(self);
    DWORD_PTR ignored = 0;
    // Generous: this only tells a window that answers from one that does not.
    probe->answered = SendMessageTimeoutW(probe->window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored) != 0;
    probe->done = true;
    return 0;
  }
};

void PumpFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    ProcessPendingMessages();
  }
}

}  // namespace

TEST_CASE("a page's long command: the window answers meanwhile, tells how far it got, and closes after it") {
  ScriptedPrompt prompt;
  Win32Registry registry;
  FormServices services = RealFormServices(prompt, registry);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  services.program_folder = Narrow(temp) + "orvela-page-command\\";
  auto form = std::make_unique<TForm1>(services);
  form->Show(SW_SHOWNOACTIVATE);
  HWND window = form->hwnd();
  HWND page = form->TabSheets[kStartupPage];

  PageCommand command(*form);
  command.SetPage(page);
  int finished = 0;
  REQUIRE(command.Start("", [](CommandProgress&) {}, [&] { ++finished; }));
  CHECK(finished == 0);  // not before the window hears of the end
  REQUIRE(WaitForCommand(command));
  CHECK(finished == 1);
  CHECK(form->status_text(1).empty());

  UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<bool> stop_seen{false};
  REQUIRE(command.Start(
      "作業中...",
      [&](CommandProgress& progress) {
        progress.total = 3;
        progress.done = 1;
        WaitForSingleObject(release.get(), 30000);
        stop_seen = progress.stop.load();
        progress.done = 3;
      },
      [&] { ++finished; }));
  CHECK(command.running());
  CHECK_FALSE(command.Start("", [](CommandProgress&) {}, [] {}));  // one at a time

  Probe probe{window};
  UniqueHandle thread(CreateThread(nullptr, 0, Probe::Run, &probe, 0, nullptr));
  const ULONGLONG give_up = GetTickCount64() + 15000;
  while (!probe.done && GetTickCount64() < give_up) PumpFor(20);
  CHECK(probe.answered);
  PumpFor(300);  // a few ticks of the progress timer
  CHECK(command.running());
  CHECK(finished == 1);
  CHECK(form->status_text(1) == "作業中... 1 / 3");
  // The wait cursor over the page only.
  CHECK(SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(page), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  CHECK(GetCursor() == LoadCursorW(nullptr, IDC_WAIT));
  CHECK_FALSE(SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(form->StatusBar1),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));

  PostMessageW(window, WM_CLOSE, 0, 0);
  PumpFor(300);
  REQUIRE(IsWindow(window));  // not before the work has ended
  CHECK(form->status_text(1) == "作業中... 1 / 3　終わりしだい閉じます");

  SetEvent(release.get());
  CHECK(WaitForCommand(command));
  CHECK(stop_seen);
  CHECK(finished == 1);  // what it would show next goes with the window
  PumpFor(100);
  CHECK_FALSE(IsWindow(window));
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}
