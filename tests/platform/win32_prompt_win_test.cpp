// The prompt on real message boxes of this process.
#include <doctest.h>

#include "platform/win32_prompt_win.h"

#include "focused_list_win.h"

using namespace orvela;

namespace {

// Answers the box of this thread once it is shown, as a user pressing Enter.
BOOL CALLBACK AnswerBox(HWND window, LPARAM) {
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  if (!IsWindowVisible(window) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}
void CALLBACK Answer(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0)) KillTimer(nullptr, timer);
}

}  // namespace

TEST_CASE("a message box gives the focus back to the control that had it") {
  testing::FocusedList window;
  REQUIRE(GetFocus() == window.list);
  SetTimer(nullptr, 0, 100, Answer);
  Win32Prompt(window.owner).ShowMessage("確認", "Orvela", PromptIcon::kInformation);
  CHECK(GetFocus() == window.list);
}
