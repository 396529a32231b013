// TAboutDialog::Execute shows the real box modally, one at a time; the program's version
// resource says what the box says.
#include <doctest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "startup/version_info_win.h"
#include "version/about_dialog_win.h"

using namespace orvela;

namespace {

std::string TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return Narrow(text);
}

// What the timer saw while the box was open.
struct Seen {
  TAboutDialog* dialog = nullptr;
  HWND owner = nullptr;
  bool box_visible = false, owner_disabled = false, second_returned = false;
  int boxes = 0;
  std::string caption, title, version, link;
  int link_right_gap = -1, link_gap_expected = -1;
  COLORREF panel_pixel = 0;
};
Seen seen;

BOOL CALLBACK CountBoxes(HWND window, LPARAM count) {
  wchar_t cls[32] = {};
  GetClassNameW(window, cls, 32);
  if (wcscmp(cls, L"TVersionBox") == 0 && IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

void CALLBACK WhileOpen(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  TVersionBox* box = seen.dialog->box();
  if (!box) return;
  seen.box_visible = IsWindowVisible(box->hwnd());
  seen.owner_disabled = !IsWindowEnabled(seen.owner);
  seen.caption = TextOf(box->hwnd());
  seen.title = TextOf(box->StaticText1);
  seen.version = TextOf(box->StaticText2);
  seen.link = TextOf(box->Label4);
  RECT panel, link;
  GetWindowRect(box->Panel1, &panel);
  GetWindowRect(box->Label4, &link);
  seen.link_right_gap = panel.right - link.right;
  seen.link_gap_expected = box->Scale(16);
  HDC dc = GetDC(box->Panel1);
  seen.panel_pixel = GetPixel(dc, box->Scale(150), box->Scale(110));
  ReleaseDC(box->Panel1, dc);

  seen.dialog->Execute(seen.owner);  // must come straight back
  seen.second_returned = seen.dialog->box() == box;
  EnumWindows(CountBoxes, reinterpret_cast<LPARAM>(&seen.boxes));
  PostMessageW(box->hwnd(), WM_COMMAND, IDOK, 0);
}

// Closes any box left open, so a failing test cannot hang.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (seen.dialog && seen.dialog->box()) PostMessageW(seen.dialog->box()->hwnd(), WM_CLOSE, 0, 0);
}

}  // namespace

TEST_CASE("Execute shows the box modally and a second Execute meanwhile returns at once") {
  ScriptedPrompt prompt;
  TAboutDialog dialog(prompt, AboutDialog1Properties(), "https://site.test/");
  dialog.ApplicationTitle = "Orvela";
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  REQUIRE(owner);
  seen = Seen{};
  seen.dialog = &dialog;
  seen.owner = owner;
  SetTimer(nullptr, 0, 500, WhileOpen);
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 15000, Watchdog);
  dialog.Execute(owner);
  KillTimer(nullptr, watchdog);

  CHECK(seen.box_visible);
  CHECK(seen.owner_disabled);
  CHECK(seen.second_returned);
  CHECK(seen.boxes == 1);
  CHECK(seen.caption == "ﾊﾞｰｼﾞｮﾝ情報");
  CHECK(seen.title == "Orvela  ");
  CHECK(seen.version == "[ 1.2.7.7 ]");
  CHECK(seen.link == "Ｖ＆Ｌ");
  CHECK(seen.link_right_gap == seen.link_gap_expected);
  CHECK(seen.panel_pixel == RGB(0xF1, 0xFF, 0xBF));  // BackColor 0xBFFFF1 on a true-colour screen
  // Closed: the owner is back, the component free for the next Execute.
  CHECK(IsWindowEnabled(owner));
  CHECK_FALSE(dialog.busy());
  CHECK(dialog.box() == nullptr);
  CHECK(prompt.shown().empty());
  DestroyWindow(owner);
}

TEST_CASE("the program's version resource and AboutDialog1 say the same version") {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);  // the test program carries Orvela's resources
  EntryRecord record;
  REQUIRE(ReadVersionInfo(Narrow(exe), record));
  CHECK(record.Product == "Orvela");
  CHECK(record.Company == "Ｖ＆Ｌ");
  CHECK(record.Description == "スタートアップと常駐の管理");

  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe, &ignored);
  REQUIRE(size > 0);
  std::vector<unsigned char> block(size);
  REQUIRE(GetFileVersionInfoW(exe, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  REQUIRE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::string version = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionLS));
  CHECK(version == "1.2.7.7");
  CHECK(fixed->dwProductVersionMS == fixed->dwFileVersionMS);
  CHECK(fixed->dwProductVersionLS == fixed->dwFileVersionLS);
  const AboutDialogProperties one = AboutDialog1Properties();
  CHECK(one.VerNoMain == "[ " + version + " ]");
  std::string digits;
  for (char c : version)
    if (c != '.') digits += c;
  CHECK(one.VerStr == digits);
}
