// What a screen reader reads of the lists: another process asks each list for its rows'
// strings with the list's own get-text message and finds what the rows show, the states
// that only colour tells included.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "rows/row_detail_queue_win.h"
#include "platform/file_io.h"
#include "program_driver.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr wchar_t kUserRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kUninstallEntry[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvelaReadAloud";
constexpr int kPageControl1 = 1201, kListBox1 = 1301, kListBox2 = 1302, kListBox3 = 1303;

void SetText(HKEY root, const wchar_t* path, const wchar_t* name, const std::string& text) {
  UniqueHkey key;
  REQUIRE(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) == ERROR_SUCCESS);
  const std::wstring wide = Wide(text);
  REQUIRE(RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                         static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS);
}

void DeleteValue(HKEY root, const wchar_t* path, const wchar_t* name) {
  UniqueHkey key;
  if (RegOpenKeyExW(root, path, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS) RegDeleteValueW(key.get(), name);
}

// Every row's string, asked of the list as a screen reader asks it.
std::vector<std::string> RowStrings(HWND list) {
  std::vector<std::string> rows;
  const LRESULT count = SendWithTimeout(list, LB_GETCOUNT, 0, 0);
  // A row's details may come between a length asked and its text asked, and the text is
  // copied back as long as it is then: the buffer is sized far beyond any row.
  constexpr size_t kRoom = 32768;
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendWithTimeout(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length < 0 || static_cast<size_t>(length) >= kRoom / 2) return {};
    std::wstring text(kRoom, L'\0');
    const LRESULT got = SendWithTimeout(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : std::min(static_cast<size_t>(got), kRoom - 1));
    rows.push_back(Narrow(text));
  }
  return rows;
}

// The row whose string starts with `name`, once the list has it and no row waits for its
// details; empty when none came. The row is looked for before the queue is asked: a
// "nothing waits" answered while the fill was still reading its sources says nothing of
// the rows it shows afterwards.
std::string RowStartingWith(HWND list, const std::string& name) {
  const UINT waiting = RegisterWindowMessageW(kRowDetailsWaitingMessage);
  auto row_named = [&] {
    std::string found;
    for (const std::string& row : RowStrings(list))
      if (row.rfind(name, 0) == 0) found = row;
    return found;
  };
  std::string found;
  WaitUntil([&] {
    if (row_named().empty() || SendWithTimeout(list, waiting, static_cast<WPARAM>(-1), 0) != 0) return false;
    found = row_named();
    return !found.empty();
  });
  return found;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST_CASE("the startup, SendTo and uninstall lists give their rows' texts to another process") {
  const std::string mailer = FixturePath("sample-mailer.exe");
  SetText(HKEY_CURRENT_USER, kUserRun, L"読み上げ 見当たらない", "no-such-tool.exe -q");
  SetText(HKEY_CURRENT_USER, kUserRun, L"読み上げ メーラー", "\"" + mailer + "\" /q");
  ScopeExit remove_values([] {
    DeleteValue(HKEY_CURRENT_USER, kUserRun, L"読み上げ 見当たらない");
    DeleteValue(HKEY_CURRENT_USER, kUserRun, L"読み上げ メーラー");
  });
  wchar_t sendto[MAX_PATH] = {};
  REQUIRE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_SENDTO, nullptr, SHGFP_TYPE_CURRENT, sendto)));
  const std::string fax = Narrow(sendto) + "\\読み上げ Fax.xyz";
  REQUIRE(WriteWholeFileReplacing(fax, ""));
  ScopeExit remove_fax([&] { DeleteFileW(Wide(fax).c_str()); });
  SetText(HKEY_CURRENT_USER, kUninstallEntry, L"DisplayName", "読み上げ 表ツール");
  SetText(HKEY_CURRENT_USER, kUninstallEntry, L"UninstallString", "\"C:\\Tools\\uninst.exe\" /x");
  SetText(HKEY_CURRENT_USER, kUninstallEntry, L"Publisher", "星ソフトウェア");
  SetText(HKEY_CURRENT_USER, kUninstallEntry, L"InstallDate", "20240102");
  ScopeExit remove_entry([] { RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallEntry); });

  const RunningProgram program = StartProgram(InstallProgramCopy("row-texts"));
  ScopeExit end([&] { KillProgram(program); });
  HWND main = WaitForWindow(program.pid, L"TForm1");
  REQUIRE(main);
  WaitUntilIdle(program);

  HWND startup = FindControl(main, kListBox1);
  const std::string missing = RowStartingWith(startup, "読み上げ 見当たらない");
  CHECK(missing == "読み上げ 見当たらない、見つかりません、ユーザーの Run、no-such-tool.exe -q");
  const std::string found = RowStartingWith(startup, "読み上げ メーラー");
  CHECK(Has(found, "ユーザーの Run、\"" + mailer + "\" /q"));
  CHECK(Has(found, "会社名：さくら通信株式会社"));
  CHECK_FALSE(Has(found, "見つかりません"));

  SendWithTimeout(FindControl(main, kPageControl1), TCM_SETCURFOCUS, 1, 0);
  CHECK(RowStartingWith(FindControl(main, kListBox2), "読み上げ Fax") == "読み上げ Fax、" + fax);

  SendWithTimeout(FindControl(main, kPageControl1), TCM_SETCURFOCUS, 2, 0);
  CHECK(RowStartingWith(FindControl(main, kListBox3), "読み上げ 表ツール") ==
        "読み上げ 表ツール、20240102、\"C:\\Tools\\uninst.exe\" /x、発行元：星ソフトウェア");
}
