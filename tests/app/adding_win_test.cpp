// Adding entries in a real main window: files dropped on the startup list and on the SendTo
// list, the add dialog answered by a timer while it runs.
#include <doctest.h>

#include "app/form1_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

#include "components/link_naming.h"
#include "drop_support_win.h"
#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/win32_prompt_win.h"
#include "platform/wide_win.h"
#include "system/registry_value_text.h"
#include "sendto/sendto_page_win.h"
#include "startup/startup_page_win.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr char kUserRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void DeleteTree(const std::string& folder) {
  std::wstring from = Wide(folder);
  from.push_back(L'\0');  // the list of paths ends in two zeros
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
}

// Three programs, one with a blank in its name, in a folder named outside ASCII.
struct Programs {
  std::string folder;
  std::vector<std::string> paths;
  Programs() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = Narrow(temp) + "orvela-追加";
    REQUIRE(CreateFolderTree(folder));
    for (const char* name : {"行追加A.exe", "行追加 B.exe", "行追加C.exe"}) {
      paths.push_back(folder + "\\" + name);
      REQUIRE(CopyFileW(Wide(FixturePath("sample-mailer.exe")).c_str(), Wide(paths.back()).c_str(), FALSE));
    }
  }
  ~Programs() { DeleteTree(folder); }
};

// A profile "Ann" with a SendTo folder, gone afterwards.
struct AnnsSendTo {
  std::string profile, folder;
  AnnsSendTo() {
    const ProfileLocations locations = ProfileLocations::FromShell(CurrentShellFolders());
    profile = locations.root() + "Ann";
    folder = profile + locations.SubPath(FolderKind::kSendTo);
    REQUIRE(CreateFolderTree(folder));
  }
  ~AnnsSendTo() { DeleteTree(profile); }
};

// The add dialog's answer, given by a thread timer while the dialog runs.
struct DialogAnswer {
  int kind = 0;
  int location = -1;  // -1: as the dialog chose
  int seen = 0;
  std::string first_location;  // what the dialog opened on
};
DialogAnswer answer;

// The running-application list: the row of this process's own main window, then OK.
void ChooseThisProgram() {
  HWND dialog = FindWindowW(L"TUnInstKeepDlg", nullptr);
  if (!dialog || !IsWindowVisible(dialog) || GetPropW(dialog, L"answered")) return;
  SetPropW(dialog, L"answered", dialog);
  HWND list = GetDlgItem(dialog, 100);
  for (int row = 0; row < ListView_GetItemCount(list); ++row) {
    wchar_t caption[64] = {};
    ListView_GetItemText(list, row, 0, caption, 64);
    if (std::wstring(caption) == L"Orvela") ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
  }
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

void CALLBACK AnswerAddDialog(HWND, UINT, UINT_PTR, DWORD) {
  ChooseThisProgram();
  HWND dialog = FindWindowW(L"TOKBottomDlg", nullptr);
  if (!dialog || !IsWindowVisible(dialog) || GetPropW(dialog, L"answered")) return;
  SetPropW(dialog, L"answered", dialog);
  ++answer.seen;
  HWND kind = GetDlgItem(dialog, 101), location = GetDlgItem(dialog, 102);
  wchar_t text[128] = {};
  SendMessageW(location, CB_GETLBTEXT, SendMessageW(location, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(text));
  answer.first_location = Narrow(text);
  if (answer.kind != 0) {
    SendMessageW(kind, CB_SETCURSEL, answer.kind, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(101, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind));
  }
  if (answer.location >= 0) SendMessageW(location, CB_SETCURSEL, answer.location, 0);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

struct Window {
  ScriptedPrompt prompt;
  Win32Registry registry;
  std::unique_ptr<TForm1> form;
  UINT_PTR timer = 0;
  Window() {
    CoInitialize(nullptr);
    FormServices services = RealFormServices(prompt, registry);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    services.program_folder = Narrow(temp) + "orvela-adding\\";
    form = std::make_unique<TForm1>(services);
    form->Show(SW_SHOWNORMAL);
    answer = DialogAnswer();
    timer = SetTimer(nullptr, 0, 50, AnswerAddDialog);
  }
  ~Window() {
    KillTimer(nullptr, timer);
    form.reset();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    CoUninitialize();
  }
  // Drops the files on the middle of a control, as the shell would.
  void Drop(HWND control, const std::vector<std::string>& paths) {
    RECT r{};
    GetClientRect(control, &r);
    POINT point{r.right / 2, r.bottom / 2};
    MapWindowPoints(control, form->hwnd(), &point, 1);
    SendMessageW(form->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(testing::MakeDrop(paths, point)), 0);
  }
  // The SendTo page, for the user Ann.
  void ShowAnnsSendTo() {
    form->SpeedButton9Click(kSendToPage);
    SendMessageW(form->ComboBox6, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Ann"));
    form->ComboBox6Change();
  }
  const EntryRecord* StartupRow(const std::string& name) {
    for (const EntryRecord& row : form->startup_page().entries)
      if (row.Name == name) return &row;
    return nullptr;
  }
};

std::optional<std::string> UserRun(const std::string& name) {
  Win32Registry backend;
  const auto key = backend.OpenKey(RootKey::kCurrentUser, kUserRun, KeyAccess::kRead);
  const auto value = key ? key->ReadValue(name) : std::nullopt;
  if (!value) return std::nullopt;
  return RunValueText(*value);
}

void DeleteUserRun(const std::vector<std::string>& names) {
  Win32Registry backend;
  if (const auto key = backend.OpenKey(RootKey::kCurrentUser, kUserRun, KeyAccess::kWrite))
    for (const std::string& name : names) key->DeleteValue(name);
}

}  // namespace

TEST_CASE("Files dropped on the startup list: one question, every file added with its answer") {
  Programs programs;
  const std::vector<std::string> names = {"行追加A", "行追加 B", "行追加C"};
  Window w;
  answer.kind = 1;  // Run values of the user
  w.Drop(w.form->startup_page().ListBox1, programs.paths);
  CHECK(answer.seen == 1);
  CHECK(answer.first_location == w.form->locations().current_profile_name());  // kind 0 first
  CHECK(UserRun("行追加A") == programs.paths[0]);
  CHECK(UserRun("行追加 B") == "\"" + programs.paths[1] + "\"");  // a blank: quoted, and still found
  CHECK(UserRun("行追加C") == programs.paths[2]);
  w.form->startup_page().details().FetchAll();
  for (const std::string& name : names) {
    const EntryRecord* row = w.StartupRow(name);
    CHECK_MESSAGE(row, name);
    if (row) CHECK_FALSE(row->Missing);
  }
  DeleteUserRun(names);
}

TEST_CASE("Files dropped on the SendTo list are added for the user shown, without a question") {
  Programs programs;
  AnnsSendTo anns;
  const std::string& folder = anns.folder;
  {
    Window w;
    SendToPage& page = w.form->sendto_page();
    w.ShowAnnsSendTo();

    w.Drop(page.ListBox2, programs.paths);
    CHECK(answer.seen == 0);
    std::vector<std::string> shown;
    for (const EntryRecord& row : page.entries) shown.push_back(row.Name);
    std::sort(shown.begin(), shown.end());
    CHECK(shown == std::vector<std::string>{"行追加 B", "行追加A", "行追加C"});

    // A drive root is named after what the shell calls it.
    SHFILEINFOW info{};
    REQUIRE(SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_DISPLAYNAME));
    std::string drive = Narrow(info.szDisplayName);
    drive.erase(0, drive.find_first_not_of(' '));
    w.Drop(page.ListBox2, {"C:\\"});
    CHECK(FileExists(folder + "\\" + FileMogChk(drive) + ".lnk"));
    CHECK(page.entries.size() == 4);

    // Anywhere else in the window: nothing, and the drop is still released.
    RECT r{};
    GetClientRect(w.form->StatusBar1, &r);
    POINT point{r.right / 2, r.bottom / 2};
    MapWindowPoints(w.form->StatusBar1, w.form->hwnd(), &point, 1);
    HDROP elsewhere = testing::MakeDrop(programs.paths, point);
    SendMessageW(w.form->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(elsewhere), 0);
    CHECK(FileNamesIn(folder).size() == 4);
    CHECK(GlobalSize(elsewhere) == 0);
  }
}

TEST_CASE("The menu commands add through the same road and remember where they looked") {
  Programs programs;
  AnnsSendTo anns;
  const std::string& folder = anns.folder;
  {
    Window w;
    StartupPage& startup = w.form->startup_page();

    // A chosen file, added as a Run value.
    answer.kind = 1;
    w.prompt.AnswerPath(programs.paths[0]);
    startup.N16Click(kIdN16);
    CHECK(UserRun("行追加A") == programs.paths[0]);
    CHECK(w.form->settings().dir1 == programs.folder);
    DeleteUserRun({"行追加A"});

    // A running application: this very program, added as a shortcut of the user.
    answer = DialogAnswer();
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::string link = ShellFolderPath(CSIDL_STARTUP) + "\\" + RemoveExtension(FileNamePart(Narrow(own))) + ".lnk";
    startup.N16Click(kIdN24);
    CHECK(answer.seen == 1);
    CHECK(FileExists(link));
    CHECK(w.form->settings().dir1 + "\\" + FileNamePart(Narrow(own)) == Narrow(own));
    DeleteFileW(Wide(link).c_str());

    // The SendTo browser: titled with the user, opening on the last item chosen.
    w.ShowAnnsSendTo();
    w.form->settings().dir2 = "C:\\before";
    w.prompt.AnswerPath(programs.paths[2]);
    w.form->sendto_page().N17Click();
    CHECK(w.prompt.shown().back().text == "SendTo （Ann）に追加するフォルダ、又はファイルを選択して下さい");
    CHECK(w.prompt.last_initial_folder() == "C:\\before");
    CHECK(w.form->settings().dir2 == programs.paths[2]);
    CHECK(FileExists(folder + "\\行追加C.lnk"));
    // Cancelled: nothing changes.
    w.form->sendto_page().N17Click();
    CHECK(w.form->settings().dir2 == programs.paths[2]);
    CHECK(answer.seen == 1);  // the SendTo page never asks
  }
}

namespace {

// The shell's browser as the SendTo page opens it, looked at by a thread timer.
struct BrowserSeen {
  HWND owner = nullptr;
  HWND browser = nullptr;
  int ticks = 0;
  bool centred = false;
  bool ok_enabled = false;
};
BrowserSeen browser_seen;

BOOL CALLBACK FindBrowser(HWND window, LPARAM) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) == L"#32770" && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == browser_seen.owner) {
    browser_seen.browser = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK LookAtBrowser(HWND, UINT, UINT_PTR, DWORD) {
  if (!browser_seen.browser) EnumThreadWindows(GetCurrentThreadId(), FindBrowser, 0);
  HWND browser = browser_seen.browser;
  if (!browser || !IsWindow(browser)) return;
  RECT r{};
  GetWindowRect(browser, &r);
  const int left = GetSystemMetrics(SM_CXSCREEN) / 2 - (r.right - r.left) / 2;
  const int top = GetSystemMetrics(SM_CYSCREEN) / 2 - (r.bottom - r.top) / 2;
  browser_seen.centred = r.left == left && r.top == top;
  if (!browser_seen.centred && ++browser_seen.ticks < 60) return;
  browser_seen.ok_enabled = IsWindowEnabled(GetDlgItem(browser, IDOK)) != FALSE;
  PostMessageW(browser, WM_COMMAND, IDOK, 0);
  browser_seen.browser = nullptr;
  browser_seen.owner = nullptr;  // done
}

}  // namespace

TEST_CASE("The item browser opens on the folder given, centred, and gives back its path") {
  Programs programs;
  Window w;
  KillTimer(nullptr, w.timer);
  browser_seen = BrowserSeen();
  browser_seen.owner = w.form->hwnd();
  const UINT_PTR look = SetTimer(nullptr, 0, 50, LookAtBrowser);
  const std::string chosen = BrowseForItem(w.form->hwnd(), "テスト", programs.folder);
  KillTimer(nullptr, look);
  CHECK(browser_seen.centred);
  CHECK(browser_seen.ok_enabled);  // a folder of the file system
  CHECK(chosen == programs.folder);
}

TEST_CASE("An added shortcut replaces one of the same name only when the user says so") {
  Programs programs;
  AnnsSendTo anns;
  const std::string& folder = anns.folder;
  // A shortcut of the user's own, with arguments the added one would not have.
  const std::string link = folder + "\\行追加A.lnk";
  const std::string own = "own shortcut bytes";
  REQUIRE(WriteNewFile(link, own));
  {
    Window w;
    w.ShowAnnsSendTo();
    w.prompt.AnswerNo();
    w.Drop(w.form->sendto_page().ListBox2, {programs.paths[0]});
    CHECK(w.prompt.shown().back().text.find("置き換えてよろしいですか？") != std::string::npos);
    CHECK(ReadFileIfPresent(link).bytes == own);
    CHECK(FileNamesIn(folder).size() == 1);  // no second shortcut beside it either

    w.prompt.AnswerYes();
    w.Drop(w.form->sendto_page().ListBox2, {programs.paths[0]});
    CHECK(ReadFileIfPresent(link).bytes != own);
  }
}
