// The uninstall page's road, watched from outside: a registered uninstaller (a real program)
// is started with "アンインストール(&U)" and removes its own entry, the watch takes its row
// away; another entry's information is removed with "削除(&D)" and put back through the
// saved-information dialog.
#include <doctest.h>

#include <algorithm>
#include <string>

#include "platform/folders_win.h"
#include "program_driver.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kUninstaller[] = L"OrvelaRoadUninstaller";
constexpr wchar_t kSaved[] = L"OrvelaRoadSaved";
constexpr char kSavedTitle[] = "OrvelaRoad B 保存テスト";

// Controls of the window, the uninstall page's commands and the dialog's.
constexpr int kPageControl1 = 1201, kListBox3 = 1303;
constexpr UINT kN19 = 2308, kDelete3 = 2309, kN11 = 2307;
constexpr int kKeepList = 100;
constexpr UINT kKeepRestore = 2351;

void WriteEntry(const wchar_t* subkey, const std::string& title, const std::string& command) {
  UniqueHkey key;
  REQUIRE(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kUninstall) + subkey).c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, key.put(), nullptr) == ERROR_SUCCESS);
  for (auto [name, text] : {std::pair{L"DisplayName", title}, {L"UninstallString", command},
                            {L"Publisher", std::string("Orvela テスト")}}) {
    const std::wstring data = Wide(text);
    REQUIRE(RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS);
  }
}

bool EntryExists(const wchar_t* subkey) {
  UniqueHkey key;
  return RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kUninstall) + subkey).c_str(), 0, KEY_READ, key.put()) ==
         ERROR_SUCCESS;
}

void RemoveEntry(const wchar_t* subkey) {
  RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kUninstall) + subkey).c_str());
}

}  // namespace

TEST_CASE("uninstall with the registered uninstaller, then remove and restore an entry") {
  WriteEntry(kUninstaller, "OrvelaRoad A アンインストーラー",
             "\"" + FixturePath("test-uninstaller.exe") + "\" " + Narrow(kUninstaller));
  WriteEntry(kSaved, kSavedTitle, "C:\\OrvelaRoad\\remove.exe /S");
  ScopeExit clean([] {
    RemoveEntry(kUninstaller);
    RemoveEntry(kSaved);
  });
  const std::string exe = InstallProgramCopy("uninstall");
  const std::string backup = exe.substr(0, exe.rfind('\\') + 1) + "data\\uninst\\" + kSavedTitle + ".reg";

  RunningProgram program = StartProgram(exe);
  ScopeExit end([&] { KillProgram(program); });
  HWND main = WaitForWindow(program.pid, L"TForm1");
  REQUIRE(main);
  WaitUntilIdle(program);
  SendWithTimeout(FindControl(main, kPageControl1), TCM_SETCURFOCUS, 2, 0);
  HWND list = FindControl(main, kListBox3);
  auto rows = [list] { return static_cast<int>(SendWithTimeout(list, LB_GETCOUNT, 0, 0)); };
  auto select = [&](int row) {
    SendWithTimeout(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    PostControlCommand(main, list, LBN_SELCHANGE);
  };
  REQUIRE(WaitUntil([&] { return rows() == 2; }));  // the prefix lists only these two

  // Row 0 is the uninstaller's entry: it runs, removes its key, and the watch takes the row.
  select(0);
  PostMenuCommand(main, kN19);
  CHECK(WaitUntil([] { return !EntryExists(kUninstaller); }));
  CHECK(WaitUntil([&] { return rows() == 1; }));

  // The other entry: asked, saved, removed.
  select(0);
  PostMenuCommand(main, kDelete3);
  HWND question = WaitForWindow(program.pid, L"#32770");
  REQUIRE(question);
  CHECK(MessageBoxText(question) == std::string("[ ") + kSavedTitle + " ]\n\nアンインストール情報を削除してよろしいですか？");
  PressButton(question, IDYES);
  CHECK(WaitUntil([] { return !EntryExists(kSaved); }));
  CHECK(WaitUntil([&] { return rows() == 0; }));
  CHECK(FileExists(backup));

  // Back through the saved-information dialog; closing it fills the list again.
  PostMenuCommand(main, kN11);
  HWND dialog = WaitForWindow(program.pid, L"TUnInstKeepDlg");
  REQUIRE(dialog);
  PostMessageW(FindControl(dialog, kKeepList), WM_KEYDOWN, VK_HOME, 0);
  PostMessageW(dialog, WM_COMMAND, kKeepRestore, 0);
  CHECK(WaitUntil([] { return EntryExists(kSaved); }));
  CHECK(WaitUntil([&] { return !FileExists(backup); }));
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  CHECK(WaitUntil([&] { return rows() == 1; }));

  PostMessageW(main, WM_CLOSE, 0, 0);
  CHECK(WaitForExit(program) == 0);
}
