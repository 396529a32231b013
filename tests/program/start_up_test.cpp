// The program as a user starts it: one instance at a time, and only when installed.
#include <doctest.h>

#include "program_driver.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

const wchar_t kSettingsKey[] = L"Software\\Ｖ＆Ｌ\\Orvela";

bool SettingsKeyPresent() {
  UniqueHkey key;
  return RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

}  // namespace

TEST_CASE("a second copy is refused while the first runs, and the first is untouched") {
  const std::string exe = InstallProgramCopy("single");
  RunningProgram first = StartProgram(exe);
  REQUIRE(first.pid);
  HWND main = WaitForWindow(first.pid, L"TForm1");
  REQUIRE(main);
  CHECK(WindowText(main) == "Orvela");

  RunningProgram second = StartProgram(exe);
  HWND box = WaitForWindow(second.pid, L"#32770");
  REQUIRE(box);
  CHECK(MessageBoxText(box) == "Orvela は実行中です。");
  // The box is the second copy's own: the first copy's window stays usable meanwhile.
  CHECK(GetWindow(box, GW_OWNER) == nullptr);
  CHECK(IsWindowEnabled(main));
  CHECK(WaitForWindow(second.pid, L"TForm1", 300) == nullptr);
  PressButton(box, IDOK);
  CHECK(WaitForExit(second) == 0);

  CHECK(IsWindow(main));
  CHECK(WaitForExit(first, 200) == STILL_ACTIVE);
  PostMessageW(main, WM_CLOSE, 0, 0);
  CHECK(WaitForExit(first) == 0);
}

TEST_CASE("without its settings key the program asks to be installed and creates nothing") {
  REQUIRE(SettingsKeyPresent());
  REQUIRE(RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey) == ERROR_SUCCESS);
  ScopeExit restore([] {
    UniqueHkey key;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
  });

  RunningProgram program = StartProgram(InstallProgramCopy("uninstalled"));
  HWND box = WaitForWindow(program.pid, L"#32770");
  REQUIRE(box);
  CHECK(MessageBoxText(box) == "インストールして、ご使用下さい！！");
  CHECK(WaitForWindow(program.pid, L"TForm1", 300) == nullptr);
  PressButton(box, IDOK);
  CHECK(WaitForExit(program) == 0);
  CHECK_FALSE(SettingsKeyPresent());
}
