// The SendTo page driven from a second process as a user drives it: the tab, a row, the
// row menu's commands, the view buttons and the real question box; and a crash right
// after a disable. The program shows the current user's SendTo folder.
#include <doctest.h>

#include <shlobj.h>

#include <string>

#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "program_driver.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr int kLiveListButton = 1001, kDisabledBoxButton = 1002, kPageControl1 = 1201, kListBox2 = 1302;
constexpr UINT kDisable = 2101, kEnable = 2102, kDelete = 2103;

std::string SendToFolder() {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_SENDTO, nullptr, SHGFP_TYPE_CURRENT, path);
  return Narrow(path);
}

// Mail.lnk with arguments and an icon, alone in the folder, so it is row 0.
std::string MakeOnlyMailShortcut() {
  const std::string folder = SendToFolder();
  REQUIRE(CreateFolderTree(folder));
  for (const std::string& name : FileNamesIn(folder)) DeleteFileAt(folder + "\\" + name);
  CoInitialize(nullptr);
  ComPtr<IShellLinkW> link;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void());
  REQUIRE(link);
  link->SetPath(L"C:\\windows\\notepad.exe");
  link->SetArguments(L"/compose");
  link->SetIconLocation(L"C:\\windows\\system32\\shell32.dll", 12);
  const std::string path = folder + "\\Mail.lnk";
  REQUIRE(SUCCEEDED(link.query<IPersistFile>()->Save(Wide(path).c_str(), TRUE)));
  link.reset();
  CoUninitialize();
  return path;
}

std::string DataOf(const std::string& exe, const std::string& name) {
  return exe.substr(0, exe.rfind('\\') + 1) + "data\\" + name;
}

struct SendToWindow {
  RunningProgram program;
  HWND main = nullptr, list = nullptr;

  explicit SendToWindow(const std::string& exe) : program(StartProgram(exe)) {
    if (!program.pid || !(main = WaitForWindow(program.pid, L"TForm1"))) return;
    WaitUntilIdle(program);
    // The tab, as a click on it selects it.
    SendWithTimeout(FindControl(main, kPageControl1), TCM_SETCURFOCUS, 1, 0);
    list = FindControl(main, kListBox2);
  }
  ~SendToWindow() { KillProgram(program); }
  bool WaitForRows(int count) const {
    return WaitUntil([&] { return SendWithTimeout(list, LB_GETCOUNT, 0, 0) == count; });
  }
  void SelectRow(int row) const {
    SendWithTimeout(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    PostControlCommand(main, list, LBN_SELCHANGE);
  }
  void Click(int id) const { PostControlCommand(main, FindControl(main, id), BN_CLICKED); }
  HWND Question(UINT command) const {
    PostMenuCommand(main, command);
    return WaitForWindow(program.pid, L"#32770");
  }
};

}  // namespace

TEST_CASE("disable, enable and delete a SendTo item through the window") {
  const std::string mail = MakeOnlyMailShortcut();
  const auto bytes = ReadWholeFile(mail);
  const std::string exe = InstallProgramCopy("sendto");
  SendToWindow window(exe);
  REQUIRE(window.list);
  REQUIRE(window.WaitForRows(1));

  window.SelectRow(0);
  PostMenuCommand(window.main, kDisable);
  REQUIRE(WaitUntil([&] { return !FileExists(mail); }));
  CHECK(window.WaitForRows(0));
  CHECK(ReadWholeFile(DataOf(exe, "sendto.txt")).value_or("").find("@#@Mail=lnkC:\\windows\\notepad.exe\r\n") !=
        std::string::npos);

  window.Click(kDisabledBoxButton);
  REQUIRE(window.WaitForRows(1));
  window.SelectRow(0);
  PostMenuCommand(window.main, kEnable);
  REQUIRE(WaitUntil([&] { return FileExists(mail); }));
  CHECK(ReadWholeFile(mail) == bytes);
  CHECK(window.WaitForRows(0));
  CHECK(ReadWholeFile(DataOf(exe, "sendto.txt")).value_or("Mail").find("Mail") == std::string::npos);

  window.Click(kLiveListButton);
  REQUIRE(window.WaitForRows(1));
  window.SelectRow(0);
  HWND question = window.Question(kDelete);
  REQUIRE(question);
  CHECK(WindowText(question) == "削除確認");
  CHECK(MessageBoxText(question) == "[Mail]\nこの送るメニューを削除してよろしいですか？");
  ClickButton(question, IDNO);
  REQUIRE(WaitUntil([&] { return !IsWindow(question); }));
  question = window.Question(kDelete);
  CHECK(FileExists(mail));  // "No" changed nothing
  REQUIRE(question);
  ClickButton(question, IDYES);
  CHECK(WaitUntil([&] { return !FileExists(mail); }));
  CHECK(window.WaitForRows(0));
}

TEST_CASE("a SendTo item disabled just before a crash is in the box with its kept copy") {
  const std::string mail = MakeOnlyMailShortcut();
  const auto bytes = ReadWholeFile(mail);
  const std::string exe = InstallProgramCopy("sendto-crash");
  {
    SendToWindow first(exe);
    REQUIRE(first.WaitForRows(1));
    first.SelectRow(0);
    PostMenuCommand(first.main, kDisable);
    REQUIRE(WaitUntil([&] { return !FileExists(mail); }));
    REQUIRE(KillProgram(first.program));  // no close: only what is on disk counts
  }
  CHECK(ReadWholeFile(DataOf(exe, "sendto.txt")).value_or("").find("@#@Mail=lnk") != std::string::npos);
  CHECK(FileNamesIn(DataOf(exe, "kept\\sendto")).size() == 1);

  SendToWindow second(exe);
  REQUIRE(second.list);
  second.Click(kDisabledBoxButton);
  REQUIRE(second.WaitForRows(1));
  second.SelectRow(0);
  PostMenuCommand(second.main, kEnable);
  REQUIRE(WaitUntil([&] { return FileExists(mail); }));
  CHECK(ReadWholeFile(mail) == bytes);
  CHECK(WaitUntil([&] { return FileNamesIn(DataOf(exe, "kept\\sendto")).empty(); }));
  DeleteFileAt(mail);
}
