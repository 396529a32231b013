// The recent-files and programs pages in a main window of this process, on real
// shortcuts and folders of the test prefix: the current user's and another profile's
// Recent folders, the user's and All Users' Programs folders.
#include <doctest.h>

#include "recent/recent_page_win.h"

#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <fstream>

#include "../command_wait_win.h"
#include "app/form1_win.h"
#include "components/shell_link_win.h"
#include "platform/folders_win.h"
#include "platform/message_pump_win.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;
namespace fs = std::filesystem;

namespace {

constexpr char kOtherUser[] = "orvela-hanako";
constexpr std::int64_t kHour = 36000000000LL;
constexpr std::int64_t kJan2024 = 133485408000000000LL;  // 2024-01-01 00:00 UTC

bool Exists(const std::string& path) { return fs::exists(fs::path(Wide(path))); }

// Every entry of the folder goes; the folder stays.
void EmptyFolder(const std::string& folder) {
  std::error_code ignored;
  fs::create_directories(fs::path(Wide(folder)), ignored);
  for (const auto& entry : fs::directory_iterator(fs::path(Wide(folder)), ignored)) fs::remove_all(entry.path(), ignored);
}

size_t LinkCount(const std::string& folder) {
  size_t count = 0;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(fs::path(Wide(folder)), ignored))
    if (entry.path().extension() == L".lnk") ++count;
  return count;
}

// A shortcut as Link makes it, last written at `time` (none: now).
std::string Link(const std::string& folder, const std::string& name, const std::string& target, std::int64_t time) {
  const std::string path = testing::Link(folder, name, target);
  if (time) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const FILETIME t{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    SetFileTime(file.get(), nullptr, nullptr, &t);
  }
  return path;
}

// A shortcut whose target was removed after it was made.
std::string BrokenLink(const std::string& folder, const std::string& name, std::int64_t time = 0) {
  const std::string target = folder + "\\" + name + ".gone.txt";
  WriteFile(target);
  const std::string path = Link(folder, name, target, time);
  DeleteFileW(Wide(target).c_str());
  return path;
}

void Select(HWND list, std::initializer_list<int> rows) {
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  for (int row : rows) {
    REQUIRE(row >= 0);  // -1 would select every row
    ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
  }
}

int RowNamed(RecentPage& page, const std::string& name) {
  for (size_t i = 0; i < page.rows().size(); ++i)
    if (page.rows().NameOf(page.rows()[i]) == name) return static_cast<int>(i);
  return -1;
}

bool MenuHas(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) != static_cast<UINT>(-1); }

// Dispatches this thread's messages until `done` (a minute at most).
bool PumpUntil(const std::function<bool()>& done) {
  for (ULONGLONG end = GetTickCount64() + 60000; !done() && GetTickCount64() < end; ProcessPendingMessages())
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  return done();
}
bool WaitForLookUp(const RecentPage& page) { return PumpUntil([&] { return !page.looking_up(); }); }

// Whether another thread's message, sent with a time-out, is answered while this one dispatches.
bool WindowAnswers(HWND window) {
  LookupWorker prober(1);
  std::atomic<int> answered{-1};
  prober.Submit([&] {
    DWORD_PTR ignored = 0;
    answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored) != 0;
  });
  return PumpUntil([&] { return answered >= 0; }) && answered == 1;
}

// The shell's own confirmation runs a loop of this thread: a timer answers it.
UINT_PTR answer_timer = 0;
int answer_button = IDNO;
bool answered = false;
BOOL CALLBACK PressInBox(HWND window, LPARAM) {
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  if (!IsWindowVisible(window) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(answer_button, BN_CLICKED), 0);
  answered = true;
  return FALSE;
}
void CALLBACK AnswerShellBox(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), PressInBox, 0);
  if (answered) KillTimer(nullptr, answer_timer);
}
void AnswerNextShellBox(int button) {
  answer_button = button;
  answered = false;
  answer_timer = SetTimer(nullptr, 0, 200, AnswerShellBox);
}

struct PageFixture {
  ScriptedPrompt prompt;
  Win32Registry registry;
  FormServices services;
  std::unique_ptr<TForm1> form;
  std::string own_recent, other_recent, own_programs, other_programs, common_programs;

  PageFixture() {
    // An earlier window's end left its quit message: it would end the shell's own boxes.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    services = RealFormServices(prompt, registry);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    services.program_folder = Narrow(temp) + "orvela-recent\\";
    // Another profile beside the user's, made before the window lists the profiles.
    const ProfileLocations shell = ProfileLocations::FromShell(services.shell_folders);
    other_recent = shell.root() + kOtherUser + shell.SubPath(FolderKind::kRecent);
    other_programs = shell.root() + kOtherUser + shell.SubPath(FolderKind::kPrograms);
    own_recent = services.shell_folders.recent;
    own_programs = services.shell_folders.programs;
    common_programs = services.shell_folders.common_programs;
    for (const std::string& folder : {own_recent, other_recent}) EmptyFolder(folder);
    DeleteFileW(Wide(KnownTargetsFile()).c_str());
    form = std::make_unique<TForm1>(services);
  }
  ~PageFixture() {
    form.reset();
    std::error_code ignored;
    const ProfileLocations shell = ProfileLocations::FromShell(services.shell_folders);
    fs::remove_all(fs::path(Wide(shell.root() + kOtherUser)), ignored);
  }
  RecentPage& page() { return form->recent_page(); }
  HWND list() { return form->recent_page().ListView2; }
  void ShowUser(const std::string& user) {
    const LRESULT index = SendMessageW(form->ComboBox6, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(Wide(user).c_str()));
    REQUIRE(index >= 0);
    SendMessageW(form->ComboBox6, CB_SETCURSEL, index, 0);
    form->ComboBox6Change();
  }
};

}  // namespace

TEST_CASE("recent files: newest first, states only for shown rows until the state sort") {
  PageFixture f;
  WriteFile(f.services.program_folder + "mid.txt");
  Link(f.own_recent, "mid", f.services.program_folder + "mid.txt", kJan2024 + 2 * kHour);
  BrokenLink(f.own_recent, "gone", kJan2024 + kHour);
  WriteFile(f.services.program_folder + "a=b.txt");
  Link(f.own_recent, "a=b", f.services.program_folder + "a=b.txt", kJan2024);
  f.form->Show(SW_HIDE);  // nothing painted: no row is shown
  f.form->SpeedButton9Click(kRecentPage);
  RecentPage& page = f.page();

  REQUIRE(page.rows().size() == 3);
  CHECK(page.rows().NameOf(page.rows()[0]) == "mid");
  CHECK(page.rows().NameOf(page.rows()[1]) == "gone");
  CHECK(page.rows().NameOf(page.rows()[2]) == "a=b");
  CHECK(page.rows().PathOf(page.rows()[2]) == f.own_recent + "\\a=b.lnk");
  CHECK(page.list_view().ColumnImage(0) == kDescendingImage);
  CHECK(f.form->status_text(0) == "3");
  const size_t looked_up = page.rows_looked_up();
  CHECK_FALSE(page.rows()[1].state_known);  // the list shows no row

  SUBCASE("the first click sorts ascending with image 28, the next one reverses") {
    page.ListView2ColumnClick(0);
    CHECK(page.rows().NameOf(page.rows()[0]) == "a=b");
    CHECK(page.list_view().ColumnImage(0) == kAscendingImage);
    page.ListView2ColumnClick(1);
    CHECK(page.list_view().ColumnImage(0) == -1);
    CHECK(page.list_view().ColumnImage(1) == kDescendingImage);
    CHECK(page.rows().NameOf(page.rows()[0]) == "mid");
    CHECK(page.rows_looked_up() == looked_up);
  }
  SUBCASE("状態 resolves every row never shown: a gone target gives ×") {
    page.ListView2ColumnClick(2);
    CHECK(page.rows_looked_up() == 3);
    CHECK(looked_up < 3);
    CHECK(page.list_view().ColumnImage(2) == kAscendingImage);
    const int gone = RowNamed(page, "gone");
    CHECK(page.rows()[static_cast<size_t>(gone)].state == LinkState::kBroken);
    CHECK(page.rows()[static_cast<size_t>(RowNamed(page, "mid"))].state == LinkState::kWorks);
    const bool broken_first = CompareStringW(LOCALE_USER_DEFAULT, 0, L"×", -1, L"○", -1) == CSTR_LESS_THAN;
    CHECK(gone == (broken_first ? 0 : 2));
  }
  SUBCASE("a shown row gets its mark, its icon and the shortcut overlay soon after it is drawn") {
    const int gone = RowNamed(page, "gone");
    LVITEMW item{};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.stateMask = LVIS_OVERLAYMASK;
    item.iItem = gone;
    REQUIRE(ListView_GetItem(f.list(), &item));
    CHECK(item.iImage < 0);  // asked for, not looked up while the list asks
    CHECK(Cell(f.list(), gone, 2) == "確認中");
    CHECK(page.rows_looked_up() == looked_up);
    CHECK(page.icons().waiting(gone));
    CHECK(page.icons().waiting_count() == 1);
    page.icons().FetchAll();
    CHECK(page.rows_looked_up() == looked_up + 1);
    REQUIRE(ListView_GetItem(f.list(), &item));
    CHECK(item.iImage >= 0);
    CHECK((item.state & LVIS_OVERLAYMASK) == INDEXTOOVERLAYMASK(2));
    // The list gives its header the system's icons with them: the sort marks must stay.
    HWND header = page.list_view().GetColumnHandle();
    CHECK(reinterpret_cast<HIMAGELIST>(SendMessageW(header, HDM_GETIMAGELIST, 0, 0)) == f.form->glyphs());
    CHECK(Cell(f.list(), gone, 2) == "×");
    CHECK(Cell(f.list(), gone, 0).size() == 16);  // "yyyy/mm/dd hh:nn"
  }
}

TEST_CASE("recent files: the next run's 状態 knows a shortcut read before until it changes") {
  PageFixture f;
  const std::string target = f.services.program_folder + "kept.txt";
  WriteFile(target);
  const std::string kept = Link(f.own_recent, "kept", target, kJan2024);
  Link(f.own_recent, "changed", target, kJan2024);
  f.form->Show(SW_HIDE);
  f.form->SpeedButton9Click(kRecentPage);
  f.page().ListView2ColumnClick(2);
  REQUIRE(f.page().rows_looked_up() == 2);

  // The next run: "kept" cannot be opened now, so only its kept target can tell that it
  // works; "changed" was written again since, to a target that is gone.
  f.form.reset();
  BrokenLink(f.own_recent, "changed", kJan2024 + kHour);
  UniqueFile held(CreateFileW(Wide(kept).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  REQUIRE(held);
  f.form = std::make_unique<TForm1>(f.services);
  f.form->Show(SW_HIDE);
  f.form->SpeedButton9Click(kRecentPage);
  RecentPage& page = f.page();
  page.ListView2ColumnClick(2);
  CHECK(page.rows()[static_cast<size_t>(RowNamed(page, "kept"))].state == LinkState::kWorks);
  CHECK(page.rows()[static_cast<size_t>(RowNamed(page, "changed"))].state == LinkState::kBroken);
}

TEST_CASE("recent files: the delete questions, and who deletes what") {
  PageFixture f;
  const std::string target = f.services.program_folder + "doc.txt";
  WriteFile(target);
  for (const char* name : {"one", "two", "three"}) Link(f.own_recent, name, target);
  Link(f.other_recent, "hanako-1", target);
  Link(f.other_recent, "hanako-2", target);
  f.form->Show(SW_SHOWNOACTIVATE);  // ComboBox6 acts only while the window is seen
  f.form->SpeedButton9Click(kRecentPage);
  HWND list = f.list();
  RecentPage& page = f.page();

  SUBCASE("one row by its name, three by their number; No deletes nothing") {
    Select(list, {RowNamed(page, "two")});
    page.Delete4Click();
    Select(list, {0, 1, 2});
    page.Delete4Click();
    REQUIRE(f.prompt.shown().size() == 2);
    CHECK(f.prompt.shown()[0].text == "'two' を削除してもよろしいですか？");
    CHECK(f.prompt.shown()[0].caption == "削除確認");
    CHECK(f.prompt.shown()[1].text == "3個のファイルを削除してもよろしいですか？");
    CHECK(LinkCount(f.own_recent) == 3);
    CHECK(page.rows().size() == 3);

    f.prompt.AnswerYes();
    Select(list, {RowNamed(page, "two")});
    CHECK(f.form->status_text(1) == f.own_recent + "\\two.lnk");
    page.Delete4Click();
    // The file goes on a thread of its own; its row when the window hears it is gone.
    CHECK(page.rows().size() == 3);
    CHECK(f.form->status_text(1).rfind("削除しています...", 0) == 0);
    Select(list, {RowNamed(page, "one")});
    page.Delete4Click();  // another delete meanwhile is refused
    CHECK(f.prompt.messages().back() == kCommandStillRunning);
    CHECK(f.prompt.shown().size() == 4);  // that message, and no question
    REQUIRE(WaitForCommand(page.long_command()));
    CHECK(LinkCount(f.own_recent) == 2);
    CHECK(RowNamed(page, "two") == -1);
    CHECK(f.form->status_text(0) == "2");
    CHECK(f.form->status_text(1).empty());  // the deleted row's path goes with it
  }
  SUBCASE("another user's list is deleted file by file; the user's own stays") {
    f.ShowUser(kOtherUser);
    REQUIRE(page.rows().size() == 2);
    UniqueMenu menu = page.PopupMenu4Popup();
    CHECK_FALSE(MenuHas(menu.get(), kIdN27));  // N28 is the current user's only
    f.prompt.AnswerYes();
    page.A2Click();
    page.Delete4Click();
    REQUIRE(WaitForCommand(page.long_command()));
    CHECK(page.rows().empty());
    CHECK(LinkCount(f.other_recent) == 0);
    CHECK(LinkCount(f.own_recent) == 3);
  }
  SUBCASE("the user's whole list: what the shell leaves is deleted one by one, a locked file keeps its row") {
    UniqueFile locked(CreateFileW(Wide(f.own_recent + "\\one.lnk").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  0, nullptr));
    REQUIRE(locked);
    CHECK(MenuHas(page.PopupMenu4Popup().get(), kIdN27));
    f.prompt.AnswerYes();
    page.A2Click();
    page.Delete4Click();
    REQUIRE(WaitForCommand(page.long_command()));
    REQUIRE(page.rows().size() == 1);
    CHECK(page.rows().NameOf(page.rows()[0]) == "one");
    CHECK(LinkCount(f.own_recent) == 1);
    CHECK(f.prompt.messages().back() == "次のファイルを削除できませんでした。\n\none\n");
  }
}

TEST_CASE("recent files: 追加 hands a target that exists to the shell, a gone one to nobody") {
  PageFixture f;
  BrokenLink(f.own_recent, "gone");
  f.form->Show(SW_HIDE);
  f.form->SpeedButton9Click(kRecentPage);
  Select(f.list(), {0});
  f.page().N27Click(false);
  REQUIRE(WaitForLookUp(f.page()));
  CHECK(LinkCount(f.own_recent) == 1);
  CHECK(f.prompt.messages().size() == 1);

  const std::string chosen = f.services.program_folder + "報告 (表).txt";
  WriteFile(chosen);
  f.prompt.AnswerPath(chosen);
  f.page().N27Click(true);
  REQUIRE(WaitForLookUp(f.page()));
  CHECK(LinkCount(f.own_recent) == 2);
}

TEST_CASE("recent files: Enter opens a row as a double-click does; the window answers until the target is found") {
  PageFixture f;
  BrokenLink(f.own_recent, "gone");
  f.form->Show(SW_HIDE);
  f.form->SpeedButton9Click(kRecentPage);
  Select(f.list(), {0});
  // Every look-up hangs (a share out of reach) until released.
  UniqueHandle released(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  SharedLookupWorker().SetGate([gate = released.get()] { WaitForSingleObject(gate, 10000); });
  MSG enter{f.list(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  CHECK(f.form->PreTranslateMessage(enter));
  CHECK(f.prompt.messages().empty());
  f.page().Open2Click();  // ignored while the first one is out
  CHECK(WindowAnswers(f.form->hwnd()));

  SUBCASE("the answer comes when the drive does: the shortcut's target is gone, said once") {
    SharedLookupWorker().SetGate(nullptr);
    SetEvent(released.get());
    REQUIRE(WaitForLookUp(f.page()));
    REQUIRE(f.prompt.messages().size() == 1);
    CHECK(f.prompt.messages()[0].rfind("リンク先が見つかりません。", 0) == 0);
  }
  SUBCASE("a refill lets the commands go again; the old answer goes") {
    f.form->RefreshPage(false);
    CHECK_FALSE(f.page().looking_up());
    SharedLookupWorker().SetGate(nullptr);
    SetEvent(released.get());
    Select(f.list(), {0});
    f.page().Open2Click();
    REQUIRE(WaitForLookUp(f.page()));
    CHECK(f.prompt.messages().size() == 1);
  }
}

TEST_CASE("開く: a shortcut to a shell item that is no file opens as the shortcut itself") {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  TShellLink links;
  UniqueItemIdList computer;
  REQUIRE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, computer.put())));
  const std::string link = links.CreateLink2("", computer.get(), Narrow(temp), "コンピューター", true);
  const OpenChoice choice = ChooseWhatToOpen(link, links, nullptr);
  CHECK(choice.kind == OpenChoice::Kind::kOpen);
  CHECK(choice.path == link);  // the shell follows it as Explorer does
  DeleteFileW(Wide(link).c_str());
}

TEST_CASE("programs: every profile with All Users, names whole, folder marks, the broken-file list") {
  PageFixture f;
  const std::string own = f.own_programs + "\\Orvela Test 2.0";
  const std::string common = f.common_programs + "\\Orvela 共通";
  EmptyFolder(own);
  EmptyFolder(common);
  const std::string tool = f.services.program_folder + "tool.exe";
  WriteFile(tool);
  BrokenLink(own, "old-a");
  BrokenLink(own, "old-b");
  WriteFile(own + "\\Site.url", "[InternetShortcut]\r\nURL=http://127.0.0.1/\r\n");
  const std::string some = f.own_programs + "\\Orvela Some";
  EmptyFolder(some);
  BrokenLink(some, "lost");
  Link(some + "\\sub", "ok", tool);
  const std::string empty = f.own_programs + "\\Orvela Empty";
  EmptyFolder(empty);
  Link(common, "共通ツール", tool);
  const std::string site = f.own_programs + "\\Orvela Site.url";
  WriteFile(site, "[InternetShortcut]\r\nURL=http://127.0.0.1/\r\n");
  Link(f.other_programs, "花子のツール", tool);
  f.form->Show(SW_HIDE);
  f.form->SpeedButton9Click(kProgramsPage);
  RecentPage& page = f.page();
  page.ListView2DataHint(0, static_cast<int>(page.rows().size()) - 1);
  page.icons().FetchAll();  // what the list is about to show comes right after

  auto row = [&](const std::string& path) -> const RecentRow& {
    for (const RecentRow& r : page.rows().rows)
      if (page.rows().PathOf(r) == path) return r;
    FAIL("no row for " << path);
    static RecentRow none;
    return none;
  };
  CHECK(page.rows().NameOf(row(own)) == "Orvela Test 2.0");
  CHECK(page.rows().CaptionOf(row(own)) == f.form->locations().current_profile_name());
  CHECK(row(own).state == LinkState::kBroken);  // the .url is never counted as broken
  CHECK(row(some).state == LinkState::kSomeBroken);
  CHECK(row(empty).state == LinkState::kWorks);
  CHECK(page.rows().CaptionOf(row(common)) == "All Users");
  CHECK(page.rows().CaptionOf(row(f.other_programs + "\\花子のツール.lnk")) == kOtherUser);
  CHECK(page.rows().NameOf(row(site)) == "Orvela Site");
  CHECK(row(site).state == LinkState::kWorks);
  CHECK(page.list_view().ColumnImage(0) == kDescendingImage);

  SUBCASE("N33 names the broken files of a folder's tree, or says なし") {
    Select(f.list(), {RowNamed(page, "Orvela Some")});
    page.N33Click();
    REQUIRE(WaitForCommand(page.long_command()));
    Select(f.list(), {RowNamed(page, "Orvela Empty")});
    page.N33Click();
    REQUIRE(WaitForCommand(page.long_command()));
    CHECK(f.prompt.shown().at(0).text == "lost.lnk\n");
    CHECK(f.prompt.shown().at(1).text == "なし");
  }
  SUBCASE("N35 makes the shortcut in the row's profile, replacing one of that name") {
    const std::string old_target = f.services.program_folder + "old.exe";
    WriteFile(old_target);
    Link(f.common_programs, "tool", old_target);
    Select(f.list(), {RowNamed(page, "Orvela 共通")});
    f.prompt.AnswerPath(tool);
    page.N35Click();
    std::string target;
    f.form->shell_link().GetLinkToPath(f.common_programs + "\\tool.lnk", target, nullptr);
    CHECK(target == tool);
    DeleteFileW(Wide(f.common_programs + "\\tool.lnk").c_str());
  }
  SUBCASE("deletion: the shell's No keeps every row, its Yes takes them to the Recycle Bin") {
    const std::string odd = f.own_programs + "\\a=b 表.txt";
    WriteFile(odd);
    f.form->RefreshPage(false);
    Select(f.list(), {RowNamed(page, "a=b 表"), RowNamed(page, "Orvela Empty")});
    const size_t before = page.rows().size();
    AnswerNextShellBox(IDNO);
    page.Delete4Click();
    CHECK(answered);
    CHECK(page.rows().size() == before);
    CHECK(Exists(odd));
    CHECK(f.prompt.shown().empty());  // the program itself asks nothing

    Select(f.list(), {RowNamed(page, "a=b 表"), RowNamed(page, "Orvela Empty")});
    AnswerNextShellBox(IDYES);
    page.Delete4Click();
    CHECK(page.rows().size() == before - 2);
    CHECK_FALSE(Exists(odd));
    CHECK_FALSE(Exists(empty));
  }
  for (const std::string& path : {own, some, empty, common, site}) fs::remove_all(fs::path(Wide(path)));
}


TEST_CASE("recent files: typing moves to the next row whose name begins so, round the end; the menu without a row") {
  PageFixture f;
  BrokenLink(f.own_recent, "beta", kJan2024 + 3 * kHour);
  BrokenLink(f.own_recent, "Alpha", kJan2024 + 2 * kHour);
  BrokenLink(f.own_recent, "Bravo", kJan2024 + kHour);
  f.form->Show(SW_SHOWNORMAL);
  f.form->SpeedButton9Click(kRecentPage);
  REQUIRE(RowNamed(f.page(), "beta") == 0);
  const auto focused = [&] { return ListView_GetNextItem(f.list(), -1, LVNI_FOCUSED); };
  const auto type = [&](wchar_t letter) {
    SendMessageW(f.list(), WM_CHAR, letter, 1);  // a repeat count of one: the list ignores a zero
    Sleep(1100);  // the list starts a new search after a second without keys
  };
  type(L'a');
  CHECK(focused() == RowNamed(f.page(), "Alpha"));
  type(L'B');  // case ignored, from the focused row on
  CHECK(focused() == RowNamed(f.page(), "Bravo"));
  type(L'b');  // round the end
  CHECK(focused() == RowNamed(f.page(), "beta"));

  Select(f.list(), {});
  const UniqueMenu menu = f.page().PopupMenu4Popup();
  bool separator_before = true;  // a menu never opens with one either
  for (int i = 0; i < GetMenuItemCount(menu.get()); ++i) {
    const bool separator = (GetMenuState(menu.get(), static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0;
    CHECK_FALSE((separator && separator_before));
    separator_before = separator;
  }
}
