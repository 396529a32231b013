// The Windows-settings page of the running program, on a prefix that reports Windows XP to
// it: a value changed and applied, its first state in data\windata.ini, the restore answered
// Yes and the restart No, all watched from this process.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/registry_backend_win.h"
#include "program_driver.h"
#include "settings/settings_backup.h"
#include "settings/settings_page_win.h"
#include "settings/tuning_seed.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

// Wine gives a program the Windows version its AppDefaults key names.
constexpr char kXpDefaults[] = "Software\\Wine\\AppDefaults\\OrvelaXP.exe";
constexpr int kPageControl1 = 1201, kSpeedButton7 = 1003;

std::optional<RegistryValue> MenuShowDelay() {
  Win32Registry registry;
  return Get(registry, RootKey::kCurrentUser, kDesktopKey, "MenuShowDelay");
}

// An edit's text asked of the control itself (the system keeps no copy of it).
std::string ControlText(HWND control) {
  wchar_t text[256] = {};
  SendWithTimeout(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return Narrow(text);
}

}  // namespace

TEST_CASE("change a value on the settings page, apply, restore, and say No to the restart") {
  Win32Registry registry;
  SeedTuningValues(registry);
  Put(registry, RootKey::kCurrentUser, kXpDefaults, "Version", TextValue("winxp64"));
  ScopeExit clean([&] {
    RemoveTuningValues(registry);
    registry.DeleteKeyTree(RootKey::kCurrentUser, kXpDefaults);
  });
  const std::string copy = InstallProgramCopy("settings");
  const std::string folder = copy.substr(0, copy.rfind('\\') + 1);
  const std::string exe = folder + "OrvelaXP.exe";
  REQUIRE(CopyFileW(Wide(copy).c_str(), Wide(exe).c_str(), FALSE));
  const std::string ini = folder + "data\\windata.ini";

  RunningProgram program = StartProgram(exe);
  ScopeExit end([&] { KillProgram(program); });
  HWND main = WaitForWindow(program.pid, L"TForm1");
  REQUIRE(main);
  WaitUntilIdle(program);
  HWND pages = FindControl(main, kPageControl1);
  REQUIRE(SendWithTimeout(pages, TCM_GETITEMCOUNT, 0, 0) == 6);  // XP has the settings tab
  SendWithTimeout(pages, TCM_SETCURFOCUS, kSettingsPage, 0);
  REQUIRE(WaitUntil([&] { return WindowText(main) == "Orvela [ Windowsの設定 ]"; }));
  HWND restore = FindControl(main, kSpeedButton7);
  CHECK_FALSE(IsWindowVisible(restore));  // nothing recorded yet

  // "その他": MenuShowDelay from 400 to 100.
  SendWithTimeout(FindControl(main, kIdPageControl2), TCM_SETCURFOCUS, 1, 0);
  HWND edit = FindControl(main, kIdEdit1);
  HWND apply = FindControl(main, kIdUpDateBtn2);
  REQUIRE(WaitUntil([&] { return ControlText(edit) == "400" && IsWindowVisible(edit); }));
  SendWithTimeout(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"100"));
  REQUIRE(WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }, 3000));
  PostMessageW(apply, BM_CLICK, 0, 0);
  REQUIRE(WaitUntil([] { return MenuShowDelay() == TextValue("100"); }));
  CHECK(ReadWholeFile(ini) ==
        "[Orvela]\r\nEntries=1\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\nMenuShowDelay=1400\r\n");
  REQUIRE(WaitUntil([&] { return IsWindowVisible(restore) != FALSE; }));

  // "復元": Yes to the restore, No to the restart.
  PostControlCommand(main, restore, BN_CLICKED);
  HWND question = WaitForWindow(program.pid, L"#32770");
  REQUIRE(question);
  CHECK(WindowText(question) == "復元");
  CHECK(MessageBoxText(question) == kRestoreQuestion);
  ClickButton(question, IDYES);
  REQUIRE(WaitUntil([&] { return !IsWindow(question); }));
  question = WaitForWindow(program.pid, L"#32770");
  REQUIRE(question);
  CHECK(WindowText(question) == "再起動の確認");
  CHECK(MessageBoxText(question) == kRestartQuestion);
  ClickButton(question, IDNO);
  REQUIRE(WaitUntil([&] { return !IsWindow(question); }));

  CHECK(MenuShowDelay() == TextValue("400"));
  CHECK_FALSE(FileExists(ini));
  CHECK(WaitUntil([&] { return ControlText(edit) == "400"; }));
  CHECK(WaitUntil([&] { return !IsWindowVisible(restore); }));

  PostMessageW(main, WM_CLOSE, 0, 0);
  CHECK(WaitForExit(program) == 0);
  CHECK(MenuShowDelay() == TextValue("400"));
}
