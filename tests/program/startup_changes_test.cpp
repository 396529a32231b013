// The startup page's changes made in the running program, watched from outside: a Run
// value is disabled, enabled and deleted through the window's own commands while this
// process checks the registry and data\startup.txt after every step.
#include <doctest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "program_driver.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr wchar_t kUserRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kMachineRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kMachineRunOnce[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr wchar_t kToolName[] = L"Tool";
constexpr wchar_t kToolCommand[] = L"\"C:\\Tools\\tool.exe\" /q";
constexpr char kToolLine[] = "User@Tool=\"C:\\Tools\\tool.exe\" /q";

// Controls of the main window and the row menu's commands.
constexpr int kLiveListButton = 1001, kDisabledBoxButton = 1002, kListBox1 = 1301;
constexpr UINT kDisable = 2001, kEnable = 2002, kDelete = 2003;

void DeleteEveryValue(HKEY root, const wchar_t* path) {
  UniqueHkey key;
  if (RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return;
  std::vector<wchar_t> name(16384);
  for (;;) {
    DWORD length = static_cast<DWORD>(name.size());
    if (RegEnumValueW(key.get(), 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    if (RegDeleteValueW(key.get(), name.data()) != ERROR_SUCCESS) break;
  }
}

DWORD ValueCount(HKEY root, const wchar_t* path) {
  UniqueHkey key;
  DWORD count = 0;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS)
    RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                     nullptr, nullptr);
  return count;
}

std::string ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return Narrow(path);
}

void DeleteFilesIn(const std::string& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::wstring path = Wide(folder + "\\") + found.cFileName;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// Every Startup folder the program lists: each profile's under the profiles root (the same
// sub-path as the current user's) and the common one.
std::vector<std::string> StartupFolders() {
  const std::string profile = ShellFolder(CSIDL_PROFILE);
  const std::string own = ShellFolder(CSIDL_STARTUP);
  std::vector<std::string> folders{own, ShellFolder(CSIDL_COMMON_STARTUP)};
  const size_t cut = profile.rfind('\\');
  if (cut == std::string::npos || own.size() <= profile.size() ||
      CompareStringOrdinal(Wide(own.substr(0, profile.size())).c_str(), -1, Wide(profile).c_str(), -1, TRUE) !=
          CSTR_EQUAL)
    return folders;
  const std::string root = profile.substr(0, cut + 1);
  const std::string sub_path = own.substr(profile.size());
  for (const std::string& name : ListSubfolders(root)) folders.push_back(root + name + sub_path);
  return folders;
}

// Leaves no startup entry but the ones a test writes, so its entry is row 0.
void ClearEveryStartupEntry() {
  DeleteEveryValue(HKEY_CURRENT_USER, kUserRun);
  DeleteEveryValue(HKEY_LOCAL_MACHINE, kMachineRun);
  DeleteEveryValue(HKEY_LOCAL_MACHINE, kMachineRunOnce);
  for (const std::string& folder : StartupFolders()) DeleteFilesIn(folder);
}

bool WriteToolValue() {
  UniqueHkey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kUserRun, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) !=
      ERROR_SUCCESS)
    return false;
  const DWORD size = static_cast<DWORD>((wcslen(kToolCommand) + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), kToolName, 0, REG_SZ, reinterpret_cast<const BYTE*>(kToolCommand), size) ==
         ERROR_SUCCESS;
}

void DeleteToolValue() {
  UniqueHkey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kUserRun, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
    RegDeleteValueW(key.get(), kToolName);
}

struct StoredValue {
  bool present = false;
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
};

StoredValue ReadToolValue() {
  StoredValue value;
  UniqueHkey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kUserRun, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), kToolName, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return value;
  value.bytes.resize(size);
  if (RegQueryValueExW(key.get(), kToolName, nullptr, &value.type, value.bytes.data(), &size) != ERROR_SUCCESS)
    return value;
  value.bytes.resize(size);
  value.present = true;
  return value;
}

bool ToolValuePresent() { return ReadToolValue().present; }

// The value as the test wrote it: the same type and the same bytes, terminator included.
bool ToolValueAsWritten() {
  const StoredValue value = ReadToolValue();
  const auto* first = reinterpret_cast<const BYTE*>(kToolCommand);
  const std::vector<BYTE> written(first, first + (wcslen(kToolCommand) + 1) * sizeof(wchar_t));
  return value.present && value.type == REG_SZ && value.bytes == written;
}

std::string FolderOf(const std::string& exe) { return exe.substr(0, exe.rfind('\\') + 1); }

std::string BoxFileBytes(const std::string& exe) {
  return ReadWholeFile(FolderOf(exe) + "data\\startup.txt").value_or(std::string());
}

// The Disabled Box file holds the line as a whole line of its own.
bool BoxFileHasToolLine(const std::string& exe) {
  const std::string bytes = "\r\n" + BoxFileBytes(exe);
  return bytes.find(std::string("\r\n") + kToolLine + "\r\n") != std::string::npos;
}

bool BoxFileMentionsTool(const std::string& exe) {
  return BoxFileBytes(exe).find("Tool") != std::string::npos;
}

// The started program with its window and the controls the tests drive.
struct StartupWindow {
  RunningProgram program;
  HWND main = nullptr;
  HWND list = nullptr;

  int RowCount() const { return static_cast<int>(SendWithTimeout(list, LB_GETCOUNT, 0, 0)); }
  bool WaitForRows(int count) const {
    return WaitUntil([&] { return RowCount() == count; });
  }
  // Selects the row the way a click does: the list box changes, then tells its page.
  bool SelectRow(int row) const {
    SendWithTimeout(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    PostControlCommand(main, list, LBN_SELCHANGE);
    return SendWithTimeout(list, LB_GETCURSEL, 0, 0) == row;
  }
  void ClickSpeedButton(int id) const { PostControlCommand(main, FindControl(main, id), BN_CLICKED); }
};

StartupWindow Start(const std::string& exe) {
  StartupWindow window;
  window.program = StartProgram(exe);
  if (!window.program.pid) return window;
  window.main = WaitForWindow(window.program.pid, L"TForm1");
  if (!window.main) return window;
  WaitUntilIdle(window.program);
  window.list = FindControl(window.main, kListBox1);
  return window;
}

}  // namespace

TEST_CASE("a disabled Run value survives a crash of the program and comes back byte for byte") {
  ClearEveryStartupEntry();
  REQUIRE(WriteToolValue());
  ScopeExit remove_value(DeleteToolValue);
  const std::string exe = InstallProgramCopy("crash");

  StartupWindow first = Start(exe);
  ScopeExit end_first([&] { KillProgram(first.program); });
  REQUIRE(first.list);
  REQUIRE(first.WaitForRows(1));
  REQUIRE(first.SelectRow(0));
  PostMenuCommand(first.main, kDisable);
  REQUIRE(WaitUntil([] { return !ToolValuePresent(); }));
  // No close: whatever is not on disk by now is lost.
  REQUIRE(KillProgram(first.program));
  CHECK(BoxFileHasToolLine(exe));
  CHECK(BoxFileBytes(exe).rfind("\xEF\xBB\xBF", 0) != 0);  // plain ANSI, no byte-order mark

  StartupWindow second = Start(exe);
  ScopeExit end_second([&] { KillProgram(second.program); });
  REQUIRE(second.list);
  CHECK(second.RowCount() == 0);  // the live list: the value is still disabled
  second.ClickSpeedButton(kDisabledBoxButton);
  REQUIRE(second.WaitForRows(1));
  REQUIRE(second.SelectRow(0));
  PostMenuCommand(second.main, kEnable);
  REQUIRE(WaitUntil(ToolValuePresent));
  CHECK(ToolValueAsWritten());
  CHECK(WaitUntil([&] { return !BoxFileMentionsTool(exe); }));
  CHECK(second.WaitForRows(0));

  PostMessageW(second.main, WM_CLOSE, 0, 0);
  CHECK(WaitForExit(second.program) == 0);
  CHECK(ToolValueAsWritten());
  CHECK_FALSE(BoxFileMentionsTool(exe));
}

TEST_CASE("disable, enable and delete a Run value through the window") {
  ClearEveryStartupEntry();
  REQUIRE(ValueCount(HKEY_CURRENT_USER, kUserRun) == 0);
  REQUIRE(ValueCount(HKEY_LOCAL_MACHINE, kMachineRun) == 0);
  REQUIRE(ValueCount(HKEY_LOCAL_MACHINE, kMachineRunOnce) == 0);
  REQUIRE(WriteToolValue());
  ScopeExit remove_value(DeleteToolValue);
  const std::string exe = InstallProgramCopy("changes");

  StartupWindow window = Start(exe);
  ScopeExit end([&] { KillProgram(window.program); });
  REQUIRE(window.list);
  REQUIRE(window.WaitForRows(1));

  // Disable: the value leaves the Run key for a line of the Disabled Box.
  REQUIRE(window.SelectRow(0));
  PostMenuCommand(window.main, kDisable);
  REQUIRE(WaitUntil([] { return !ToolValuePresent(); }));
  CHECK(BoxFileHasToolLine(exe));
  CHECK(window.WaitForRows(0));
  // The Run keys were saved before this first change of the run.
  CHECK(FileExists(FolderOf(exe) + "data\\regdata.reg"));

  // Enable from the Disabled Box view: the value is back as it was, the line gone.
  window.ClickSpeedButton(kDisabledBoxButton);
  REQUIRE(window.WaitForRows(1));
  REQUIRE(window.SelectRow(0));
  PostMenuCommand(window.main, kEnable);
  REQUIRE(WaitUntil(ToolValuePresent));
  CHECK(ToolValueAsWritten());
  CHECK(WaitUntil([&] { return !BoxFileMentionsTool(exe); }));
  CHECK(window.WaitForRows(0));

  // Delete from the live list, answered "No" first and then "Yes" in the real question box.
  window.ClickSpeedButton(kLiveListButton);
  REQUIRE(window.WaitForRows(1));
  REQUIRE(window.SelectRow(0));
  PostMenuCommand(window.main, kDelete);
  HWND question = WaitForWindow(window.program.pid, L"#32770");
  REQUIRE(question);
  CHECK(WindowText(question) == "削除確認");
  CHECK(MessageBoxText(question) == "[Tool]\nこのスタートアップを削除してよろしいですか？");
  ClickButton(question, IDNO);
  REQUIRE(WaitUntil([&] { return !IsWindow(question); }));

  // The next question comes only after the first command has finished.
  PostMenuCommand(window.main, kDelete);
  question = WaitForWindow(window.program.pid, L"#32770");
  CHECK(ToolValueAsWritten());  // "No" changed nothing
  CHECK(window.RowCount() == 1);
  REQUIRE(question);
  CHECK(MessageBoxText(question) == "[Tool]\nこのスタートアップを削除してよろしいですか？");
  ClickButton(question, IDYES);
  REQUIRE(WaitUntil([] { return !ToolValuePresent(); }));
  CHECK(window.WaitForRows(0));
  CHECK_FALSE(BoxFileMentionsTool(exe));  // deleted, not disabled

  PostMessageW(window.main, WM_CLOSE, 0, 0);
  CHECK(WaitForExit(window.program) == 0);
  CHECK_FALSE(ToolValuePresent());
  CHECK_FALSE(BoxFileMentionsTool(exe));
}
