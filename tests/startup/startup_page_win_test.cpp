// The startup page in a real main window, on entries made in the test prefix.
#include <doctest.h>

#include "app/form1_win.h"

#include <commctrl.h>

#include <algorithm>
#include <tuple>

#include "platform/file_io.h"
#include "platform/message_pump_win.h"
#include "platform/folders_win.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "regfile/registry_accessor.h"
#include "rows/entry_colours.h"
#include "rows/list_rows_win.h"
#include "startup/run_key_locations.h"
#include "startup/run_keys_backup.h"
#include "startup/seeded_task_win.h"
#include "startup/startup_page_win.h"
#include "system/lookup_worker_win.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr char kUserRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kMachineRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kMachineRunOnce[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kTag[] = "行テスト";  // every entry of these tests has a name starting with it

// Entries of all four sources and two profiles, removed again when the test ends.
struct SeededEntries {
  Win32Registry backend;
  std::vector<std::string> files;
  std::string taro_startup;

  SeededEntries() {
    CoInitialize(nullptr);
    const std::string mailer = FixturePath("sample-mailer.exe");
    Write(RootKey::kCurrentUser, kUserRun, "行テスト ユーザー", "\"" + mailer + "\" /min");
    Write(RootKey::kCurrentUser, kUserRun, "行テスト 不明", "no-such-tool.exe -q");
    Write(RootKey::kLocalMachine, kMachineRun, "行テスト マシン", mailer);
    Write(RootKey::kLocalMachine, kMachineRunOnce, "行テスト 一度", "\"" + mailer + "\" /once");
    const ProfileLocations loc = ProfileLocations::FromShell(CurrentShellFolders());
    taro_startup = loc.root() + "taro" + loc.SubPath(FolderKind::kStartup);
    CreateFolderTree(taro_startup);
    Link(mailer, ShellFolderPath(CSIDL_STARTUP), "行テスト 自分");
    Link(mailer, taro_startup, "行テスト 太郎");
    Link(FixturePath("sample-updater.exe"), ShellFolderPath(CSIDL_COMMON_STARTUP), "行テスト 全員");
  }
  ~SeededEntries() {
    for (const std::string& f : files) DeleteFileW(Wide(f).c_str());
    TRegistry registry(backend);
    for (auto [root, path] : {std::pair{RootKey::kCurrentUser, kUserRun}, {RootKey::kLocalMachine, kMachineRun},
                              {RootKey::kLocalMachine, kMachineRunOnce}}) {
      registry.SetRootKey(root);
      if (!registry.OpenKey(path, false)) continue;
      for (const std::string& name : registry.GetValueNames())
        if (name.rfind(kTag, 0) == 0) registry.DeleteValue(name);
      registry.CloseKey();
    }
    CoUninitialize();
  }
  void Write(RootKey root, const char* path, const char* name, const std::string& data) {
    TRegistry registry(backend);
    registry.SetRootKey(root);
    REQUIRE(registry.OpenKey(path, true));
    REQUIRE(registry.WriteString(name, data));
  }
  void Link(const std::string& target, const std::string& folder, const std::string& name) {
    files.push_back(testing::Link(folder, name, target));
  }
};

struct Window {
  ScriptedPrompt prompt;
  Win32Registry registry;
  std::unique_ptr<TForm1> form;
  // fetch_details: every row gets its details before the test looks.
  explicit Window(bool fetch_details = true) {
    FormServices services = RealFormServices(prompt, registry);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    services.program_folder = Narrow(temp) + "orvela-startup-page\\";
    form = std::make_unique<TForm1>(services);
    form->Show(SW_SHOWNORMAL);
    if (fetch_details) FetchAll();
  }
  void Refresh() {
    form->startup_page().RefreshStartupList();
    FetchAll();
  }
  // The scheduler's tasks in the list, and every row's details.
  void FetchAll() {
    for (ULONGLONG end = GetTickCount64() + 60000; form->startup_page().listing_tasks() && GetTickCount64() < end;
         ProcessPendingMessages())
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    form->startup_page().details().FetchAll();
  }
  // The rows of these tests, by name, with their row numbers.
  std::vector<std::pair<int, const EntryRecord*>> Tagged() const {
    std::vector<std::pair<int, const EntryRecord*>> rows;
    for (size_t i = 0; i < form->startup_page().entries.size(); ++i)
      if (form->startup_page().entries[i].Name.rfind(kTag, 0) == 0) rows.emplace_back(static_cast<int>(i), &form->startup_page().entries[i]);
    return rows;
  }
  int RowNamed(const std::string& name) const {
    for (auto [row, entry] : Tagged())
      if (entry->Name == name) return row;
    return -1;
  }
  void Select(int row) {
    SendMessageW(form->startup_page().ListBox1, LB_SETCURSEL, row, 0);
    form->startup_page().ListBox1Click();
  }
  std::string ComboText(HWND combo) const {
    wchar_t text[256] = {};
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel != CB_ERR) SendMessageW(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
  }
};

std::vector<std::string> MenuCaptions(HMENU menu) {
  std::vector<std::string> captions;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
    if (text[0]) captions.push_back(Narrow(text));
  }
  return captions;
}

}  // namespace

TEST_CASE("the startup list: every source in order, with its record fields") {
  SeededEntries seeded;
  Window w;
  const auto rows = w.Tagged();
  std::vector<std::string> names;
  for (auto [row, entry] : rows) names.push_back(entry->Name);
  // Folders in profile order (All Users, root, taro), then the user's Run key, the machine's
  // Run and RunOnce keys; registry values in any order within their key.
  REQUIRE(names.size() == 7);
  CHECK(names[0] == "行テスト 全員");
  CHECK(names[1] == "行テスト 自分");
  CHECK(names[2] == "行テスト 太郎");
  CHECK(std::is_permutation(names.begin() + 3, names.begin() + 5,
                            std::vector<std::string>{"行テスト ユーザー", "行テスト 不明"}.begin()));
  CHECK(names[5] == "行テスト マシン");
  CHECK(names[6] == "行テスト 一度");
  CHECK(w.form->status_text(0) == std::to_string(w.form->startup_page().entries.size()));

  const EntryRecord& all_users = *rows[0].second;
  CHECK(all_users.Key == w.form->locations().all_users_index());
  CHECK(all_users.Command == seeded.files[2]);
  CHECK(all_users.Company == "星ソフトウェア");
  CHECK_FALSE(all_users.Missing);
  const EntryRecord& taro = *rows[2].second;
  CHECK(taro.Key == *w.form->locations().ProfileIndexOf("taro"));
  CHECK(taro.Description == "メール着信通知");
  const EntryRecord& missing = w.form->startup_page().entries[static_cast<size_t>(w.RowNamed("行テスト 不明"))];
  CHECK(missing.Key == kUserRunKey);
  CHECK(missing.Missing);
  CHECK(missing.Command == "no-such-tool.exe -q");
  const EntryRecord& once = *rows[6].second;
  CHECK((once.Key == kMachineKey && once.Kind == "RunOnce"));
  CHECK(rows[5].second->Kind == "Run");
  // One picture for the rows of one program; none for a program that is not there.
  const StartupPage& page = w.form->startup_page();
  CHECK(page.picture_of(rows[1].first) >= 0);
  CHECK(page.picture_of(rows[1].first) == page.picture_of(rows[5].first));
  CHECK(page.picture_of(w.RowNamed("行テスト 不明")) == -1);
  CHECK(page.picture_of(rows[0].first) < ImageList_GetImageCount(page.image_list1()));

  SUBCASE("a shortcut whose program was deleted is marked missing after a refresh") {
    const std::string gone = FixturePath("..\\gone-soon.exe");
    REQUIRE(CopyFileW(Wide(FixturePath("sample-mailer.exe")).c_str(), Wide(gone).c_str(), FALSE));
    seeded.Link(gone, ShellFolderPath(CSIDL_STARTUP), "行テスト 消えた");
    DeleteFileW(Wide(gone).c_str());
    w.Refresh();
    CHECK(w.form->startup_page().entries[static_cast<size_t>(w.RowNamed("行テスト 消えた"))].Missing);
  }
  SUBCASE("the selection returns by name after a refresh") {
    const int row = w.RowNamed("行テスト マシン");
    w.Select(row);
    seeded.Link(FixturePath("sample-mailer.exe"), ShellFolderPath(CSIDL_STARTUP), "行テスト 追加");
    w.Refresh();
    CHECK(w.form->startup_page().selected_row() == row + 1);
    CHECK(w.form->startup_page().selected_entry()->Name == "行テスト マシン");
  }
}

TEST_CASE("rows show at once, said to be checked; their details follow from the worker, the window answering meanwhile") {
  SeededEntries seeded;
  // A program of its own, so that no earlier test has its details in the run's store.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string program = Narrow(temp) + "orvela-page-" + std::to_string(GetTickCount64()) + ".exe";
  REQUIRE(CopyFileW(Wide(FixturePath("sample-mailer.exe")).c_str(), Wide(program).c_str(), FALSE));
  seeded.files.push_back(program);
  seeded.Write(RootKey::kCurrentUser, kUserRun, "行テスト 新顔", "\"" + program + "\" /q");
  // Every look-up hangs (a share out of reach) until released.
  const HANDLE released = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SharedLookupWorker().SetGate([released] { WaitForSingleObject(released, 10000); });
  Window w(false);
  StartupPage& page = w.form->startup_page();
  auto row_named = [&](const std::string& name) { return w.RowNamed(name); };
  const int row = row_named("行テスト 新顔");
  REQUIRE(row >= 0);
  SendMessageW(page.ListBox1, LB_SETCURSEL, row, 0);
  UpdateWindow(page.ListBox1);
  ProcessPendingMessages();
  const EntryRecord& entry = page.entries[static_cast<size_t>(row)];
  CHECK(entry.Command == "\"" + program + "\" /q");
  CHECK(entry.Company.empty());
  CHECK(page.details().waiting(row));
  CHECK(page.picture_of(row) == -1);
  // The row's string has what is known without reading the program, and says it is checked.
  CHECK(ListRowText(page.ListBox1, row) == "行テスト 新顔、確認中、ユーザーの Run、\"" + program + "\" /q");

  SharedLookupWorker().SetGate(nullptr);
  SetEvent(released);
  REQUIRE(page.details().FetchAll());
  CloseHandle(released);
  CHECK(page.entries[static_cast<size_t>(row)].Company == "さくら通信株式会社");
  CHECK(page.picture_of(row) >= 0);
  // Its string follows, and the row stays selected.
  CHECK(ListRowText(page.ListBox1, row) == "行テスト 新顔、ユーザーの Run、\"" + program +
                                                "\" /q、会社名：さくら通信株式会社、説明：メール着信通知");
  CHECK(page.selected_row() == row);

  SUBCASE("a changed program is read again after the refill") {
    REQUIRE(CopyFileW(Wide(FixturePath("sample-updater.exe")).c_str(), Wide(program).c_str(), FALSE));
    page.RefreshStartupList();
    const int again = row_named("行テスト 新顔");
    CHECK(page.details().waiting(again));
    page.details().FetchAll();
    CHECK(page.entries[static_cast<size_t>(again)].Company == "星ソフトウェア");
  }
}

TEST_CASE("selecting a row sets the kind and location selectors, the status bar and the hint") {
  SeededEntries seeded;
  Window w;
  StartupPage& page = w.form->startup_page();

  SUBCASE("a RunOnce entry") {
    w.Select(w.RowNamed("行テスト 一度"));
    CHECK(SendMessageW(w.form->startup_page().ComboBox1, CB_GETCURSEL, 0, 0) == 1);
    CHECK(page.kind_selector_colour() == RGB(230, 233, 255));
    // The 32-bit keys follow the three where they exist (Wine's prefix has RunOnce's).
    CHECK(SendMessageW(w.form->startup_page().ComboBox2, CB_GETCOUNT, 0, 0) ==
          static_cast<LRESULT>(OfferedRunLocations(w.registry).size()));
    CHECK(w.ComboText(w.form->startup_page().ComboBox2) == "HKEY_LOCAL_MACHINE RunOnce");
    CHECK(page.location_selector_colour() == RGB(236, 203, 237));
    CHECK(w.form->HintOf(w.form->startup_page().ComboBox2) == "全てのユーザーに共通の設定(起動時に一度だけ実行)");
    CHECK(w.form->status_text(1) == w.form->startup_page().entries[static_cast<size_t>(w.RowNamed("行テスト 一度"))].Command);
    CHECK_FALSE(w.form->startup_page().SpeedButton3.enabled());
    CHECK_FALSE(w.form->startup_page().SpeedButton4.enabled());

    SUBCASE("choosing another location enables its apply button, the same one does not") {
      SendMessageW(w.form->startup_page().ComboBox2, CB_SETCURSEL, 0, 0);
      page.ComboBox2Change();
      CHECK(w.form->startup_page().SpeedButton4.enabled());
      CHECK(w.form->HintOf(w.form->startup_page().ComboBox2) == "ユーザー固有の設定");
      SendMessageW(w.form->startup_page().ComboBox2, CB_SETCURSEL, 2, 0);
      page.ComboBox2Change();
      CHECK_FALSE(w.form->startup_page().SpeedButton4.enabled());
      SendMessageW(w.form->startup_page().ComboBox1, CB_SETCURSEL, 0, 0);
      page.ComboBox1Change();
      CHECK(w.form->startup_page().SpeedButton3.enabled());
    }
  }
  SUBCASE("a folder entry of the fourth profile selects that profile") {
    const int taro = *w.form->locations().ProfileIndexOf("taro");
    REQUIRE(taro == 3);  // All Users, Public, root, taro
    w.Select(w.RowNamed("行テスト 太郎"));
    CHECK(SendMessageW(w.form->startup_page().ComboBox1, CB_GETCURSEL, 0, 0) == 0);
    CHECK(page.kind_selector_colour() == RGB(255, 249, 215));
    CHECK(SendMessageW(w.form->startup_page().ComboBox2, CB_GETCURSEL, 0, 0) == 3);
    CHECK(w.ComboText(w.form->startup_page().ComboBox2) == "taro");
    CHECK(page.location_selector_colour() == RGB(255, 255, 215));
    CHECK(w.form->HintOf(w.form->startup_page().ComboBox2).empty());  // a profile index past 2 has no hint
  }
}

TEST_CASE("the row menu follows the selection and the view") {
  SeededEntries seeded;
  Window w;
  StartupPage& page = w.form->startup_page();

  SUBCASE("no row selected: only a disabled folder command among the row commands") {
    SendMessageW(w.form->startup_page().ListBox1, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    UniqueMenu menu = page.PopupMenu1Popup();
    const auto captions = MenuCaptions(menu.get());
    CHECK(std::find(captions.begin(), captions.end(), "無効にする(&N)") == captions.end());
    CHECK(std::find(captions.begin(), captions.end(), "有効にする(&E)") == captions.end());
    CHECK(std::find(captions.begin(), captions.end(), "削除(&D)") == captions.end());
    CHECK(std::find(captions.begin(), captions.end(), "スタートアップに追加(&A)") != captions.end());
    CHECK(captions[captions.size() - 2] == "フォルダを開く(&O)");
    CHECK(captions.back() == "一覧を保存(&L)\tCtrl+S");
    CHECK((GetMenuState(menu.get(), kIdOptionMenu2, MF_BYCOMMAND) & MF_GRAYED) != 0);
  }
  SUBCASE("a selected row of the live list") {
    w.Select(w.RowNamed("行テスト マシン"));
    UniqueMenu menu = page.PopupMenu1Popup();
    const auto captions = MenuCaptions(menu.get());
    CHECK(captions.front() == "無効にする(&N)");
    CHECK(std::find(captions.begin(), captions.end(), "削除(&D)") != captions.end());
    CHECK(std::find(captions.begin(), captions.end(), "レジストリ(&R)") == captions.end());
    CHECK((GetMenuState(menu.get(), kIdOptionMenu2, MF_BYCOMMAND) & MF_GRAYED) == 0);
    page.N1Click();  // the first change of a registry entry saves the Run keys
    CHECK(page.run_keys_backup().RunKeysUndoAvailable);
    CHECK(w.RowNamed("行テスト マシン") < 0);
    w.Select(w.RowNamed("行テスト ユーザー"));
    UniqueMenu with_undo = page.PopupMenu1Popup();
    const auto more = MenuCaptions(with_undo.get());
    CHECK(std::find(more.begin(), more.end(), "レジストリ(&R)") != more.end());
  }
  SUBCASE("a program folder that does not exist is reported") {
    seeded.Write(RootKey::kCurrentUser, kUserRun, "行テスト どこにも", "\"C:\\Nowhere Orvela\\tool.exe\" -x");
    page.RefreshStartupList();
    w.Select(w.RowNamed("行テスト どこにも"));
    page.OptionMenu2Click();
    REQUIRE(w.prompt.messages().size() == 1);
    CHECK(w.prompt.messages()[0] == "C:\\Nowhere Orvela\n\nこのディレクトリは存在しません。");
  }
}

TEST_CASE("the Delete key in the startup list asks before anything is deleted") {
  SeededEntries seeded;
  Window w;
  const int row = w.RowNamed("行テスト ユーザー");
  w.Select(row);
  SendMessageW(w.form->startup_page().ListBox1, WM_KEYDOWN, VK_DELETE, 0);  // the scripted prompt answers No
  REQUIRE(w.prompt.shown().size() == 1);
  CHECK(w.prompt.shown()[0].kind == ScriptedPrompt::Kind::kYesNo);
  CHECK(w.prompt.shown()[0].text == "[行テスト ユーザー]\nこのスタートアップを削除してよろしいですか？");
  CHECK(w.prompt.shown()[0].caption == "削除確認");
  CHECK(w.RowNamed("行テスト ユーザー") == row);

  w.prompt.AnswerYes();
  SendMessageW(w.form->startup_page().ListBox1, WM_KEYDOWN, VK_DELETE, 0);
  CHECK(w.RowNamed("行テスト ユーザー") < 0);
}

namespace {

constexpr wchar_t kRun32View[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedRun[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// Written through the 32-bit view, as a 32-bit program's installer writes it.
void Write32(const std::wstring& name, const std::wstring& data, DWORD type = REG_SZ) {
  HKEY key = nullptr;
  REQUIRE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRun32View, 0, nullptr, 0,
                          KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr) == ERROR_SUCCESS);
  RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

std::optional<std::pair<DWORD, std::vector<BYTE>>> Read32(const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRun32View, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0, size = 0;
  std::optional<std::pair<DWORD, std::vector<BYTE>>> value;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> bytes(size);
    RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size);
    value.emplace(type, bytes);
  }
  RegCloseKey(key);
  return value;
}

void Delete32(const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRun32View, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
    return;
  RegDeleteValueW(key, name.c_str());
  RegCloseKey(key);
}

void SetApproved(const std::wstring& name, const std::vector<BYTE>& bytes) {
  HKEY key = nullptr;
  REQUIRE(RegCreateKeyExW(HKEY_CURRENT_USER, kApprovedRun, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) == ERROR_SUCCESS);
  RegSetValueExW(key, name.c_str(), 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

std::vector<BYTE> Approved(const std::wstring& name) {
  HKEY key = nullptr;
  std::vector<BYTE> bytes;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kApprovedRun, 0, KEY_READ, &key) != ERROR_SUCCESS) return bytes;
  DWORD size = 64;
  bytes.resize(size);
  if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, bytes.data(), &size) == ERROR_SUCCESS)
    bytes.resize(size);
  else
    bytes.clear();
  RegDeleteValueW(key, name.c_str());
  RegCloseKey(key);
  return bytes;
}

}  // namespace

TEST_CASE("32-bit Run entries, Windows' own switch and returned entries on the page") {
  SeededEntries seeded;
  const std::wstring helper = L"行テスト 32ビット";
  const std::wstring command = L"\"C:\\Program Files (x86)\\表\\helper.exe\" /tray";
  Write32(helper, command, REG_EXPAND_SZ);  // an expandable string without "%": kept as it is
  const auto written = Read32(helper);
  SetApproved(Wide("行テスト ユーザー"), {0x03, 0, 0, 0, 0x00, 0x00, 0x05, 0x69, 0x36, 0xC0, 0xD5, 0x01});
  Window w;
  StartupPage& page = w.form->startup_page();

  const int row = w.RowNamed(Narrow(helper));
  REQUIRE(row >= 0);
  const EntryRecord& entry = page.entries[static_cast<size_t>(row)];
  CHECK(entry.Kind == "Run32");
  CHECK(entry.Command == Narrow(command));
  CHECK(row > w.RowNamed("行テスト 一度"));  // after the machine's RunOnce entries
  w.Select(row);
  CHECK(w.ComboText(page.ComboBox2) == "HKEY_LOCAL_MACHINE Run （32ビット）");
  CHECK(page.location_selector_colour() == RGB(232, 223, 255));

  const int user = w.RowNamed("行テスト ユーザー");
  CHECK(page.entries[static_cast<size_t>(user)].WindowsDisabled);
  w.Select(user);
  CHECK(w.form->status_text(1).rfind("[Windows で無効 20", 0) == 0);  // 2020/01/01 in the zone's time
  const auto captions = MenuCaptions(page.PopupMenu1Popup().get());
  CHECK(std::find(captions.begin(), captions.end(), "Windows の無効を解除(&W)") != captions.end());
  page.WindowsEnableClick();
  CHECK_FALSE(page.entries[static_cast<size_t>(w.RowNamed("行テスト ユーザー"))].WindowsDisabled);
  CHECK(Approved(Wide("行テスト ユーザー")) == std::vector<BYTE>{0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});

  SUBCASE("the list saved as CSV: the columns, the location and the marks") {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::string path = Narrow(temp) + "orvela-一覧.csv";
    w.prompt.AnswerPath(path);
    page.SaveList();
    const std::string text = ReadWholeFile(path).value_or("");
    DeleteFileW(Wide(path).c_str());
    CHECK(text.rfind("\xEF\xBB\xBF種類,登録場所,名前,コマンド,会社名,説明,見つからない,状態\r\n", 0) == 0);
    CHECK(text.find("\r\nレジストリ,HKEY_LOCAL_MACHINE Run （32ビット）," + Narrow(helper) +
                    ",\"\"\"C:\\Program Files (x86)\\表\\helper.exe\"\" /tray\",,,はい,有効 （32ビット）\r\n") !=
          std::string::npos);
  }

  SUBCASE("disabled and enabled byte for byte through the 32-bit view") {
    w.Select(w.RowNamed(Narrow(helper)));
    page.N1Click();
    CHECK_FALSE(Read32(helper));
    CHECK(w.RowNamed(Narrow(helper)) < 0);
    // The program writes its value again: the row is marked as returned.
    Write32(helper, command, REG_EXPAND_SZ);
    page.RefreshStartupList();
    const int back = w.RowNamed(Narrow(helper));
    REQUIRE(back >= 0);
    CHECK(page.entries[static_cast<size_t>(back)].Returned);
    w.Select(back);
    page.DisableAgainClick();
    CHECK_FALSE(Read32(helper));
    const std::string line = "Machine32@" + Narrow(helper) + "=" + Narrow(command);
    const auto& lines = w.form->startup_box().lines;
    CHECK(std::count(lines.begin(), lines.end(), line) == 1);

    w.form->SpeedButton2Click();
    w.Select(static_cast<int>(std::find(lines.begin(), lines.end(), line) - lines.begin()));
    page.N3Click();
    CHECK(Read32(helper) == written);
    CHECK(std::count(lines.begin(), lines.end(), line) == 0);
  }
  Delete32(helper);
}

namespace {

constexpr char kPolicyRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
constexpr char kUserRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kWinlogon[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// Entries of the sources beyond the Startup folders and the first Run keys, removed again
// (the policy keys with them) when the test ends.
struct OtherSources {
  Win32Registry registry;
  testing::SeededTask task{"\\行テスト", "ログオン"};
  OtherSources() {
    Set(RootKey::kCurrentUser, kUserRunOnce, "行テスト 一度だけ");
    Set(RootKey::kCurrentUser, kPolicyRun, "行テスト ポリシー");
    Set(RootKey::kLocalMachine, kPolicyRun, "行テスト 全員ポリシー");
    Set(RootKey::kCurrentUser, kWinlogon, "Shell");
  }
  ~OtherSources() {
    for (RootKey root : {RootKey::kCurrentUser, RootKey::kLocalMachine}) registry.DeleteKeyTree(root, kPolicyRun);
    registry.OpenKey(RootKey::kCurrentUser, kUserRunOnce, KeyAccess::kWrite)->DeleteValue("行テスト 一度だけ");
    registry.OpenKey(RootKey::kCurrentUser, kWinlogon, KeyAccess::kWrite)->DeleteValue("Shell");
  }
  void Set(RootKey root, const char* path, const char* name) {
    REQUIRE(registry.OpenKey(root, path, KeyAccess::kCreate)
                ->WriteValue(name, RegistryValue{kRegSz, StringToRegistryData("C:\\行テスト\\a.exe")}));
  }
  // The seeded Run-type values as the registry holds them.
  std::vector<std::optional<RegistryValue>> Values() {
    std::vector<std::optional<RegistryValue>> values;
    for (auto [root, path, name] : {std::tuple{RootKey::kCurrentUser, kUserRunOnce, "行テスト 一度だけ"},
                                    {RootKey::kCurrentUser, kPolicyRun, "行テスト ポリシー"},
                                    {RootKey::kLocalMachine, kPolicyRun, "行テスト 全員ポリシー"}})
      values.push_back(registry.OpenKey(root, path, KeyAccess::kRead)->ReadValue(name));
    return values;
  }
};

}  // namespace

TEST_CASE("the other places Windows starts programs from: locations, a task's kind, a Winlogon row's menu") {
  OtherSources seeded;
  Window w;
  StartupPage& page = w.form->startup_page();
  const auto& entries = page.entries;
  const auto row_of = [&](auto wanted) {
    return static_cast<int>(std::find_if(entries.begin(), entries.end(), wanted) - entries.begin());
  };
  const std::pair<const char*, const char*> located[] = {{"行テスト 一度だけ", "HKEY_CURRENT_USER RunOnce"},
                                                         {"行テスト ポリシー", "HKEY_CURRENT_USER ポリシー Run"},
                                                         {"行テスト 全員ポリシー", "HKEY_LOCAL_MACHINE ポリシー Run"}};
  for (const auto& [name, location] : located) {
    CAPTURE(name);
    REQUIRE(w.RowNamed(name) >= 0);
    w.Select(w.RowNamed(name));
    CHECK(w.ComboText(page.ComboBox2) == location);
    // Off into the Disabled Box and on again: the key as it was, byte for byte. Wine runs
    // none of these keys at a log-on, so the registry is the judge.
    const auto before = seeded.Values();
    page.N1Click();
    CHECK(seeded.Values() != before);
    w.form->SpeedButton2Click();
    w.Select(static_cast<int>(w.form->startup_box().lines.size()) - 1);
    page.N3Click();
    CHECK(seeded.Values() == before);
    w.form->SpeedButton1Click();
  }
  w.FetchAll();  // the scheduler's rows come after the others
  const int task = row_of([](const EntryRecord& e) { return IsTaskEntry(e) && e.Name == "ログオン"; });
  REQUIRE(task < static_cast<int>(entries.size()));
  w.Select(task);
  CHECK(w.ComboText(page.ComboBox1) == "タスク");
  CHECK(w.ComboText(page.ComboBox2) == "\\行テスト");

  const int shell = row_of([](const EntryRecord& e) { return IsWinlogonEntry(e) && e.Key == kUserRunKey; });
  REQUIRE(shell < static_cast<int>(entries.size()));
  w.Select(shell);
  CHECK(w.ComboText(page.ComboBox2) == "HKEY_CURRENT_USER Winlogon");
  CHECK(MenuCaptions(page.PopupMenu1Popup().get()) == std::vector<std::string>{"フォルダを開く(&O)", "値をコピー(&C)"});
  page.CopyValueClick();
  REQUIRE(OpenClipboard(nullptr));
  const auto* copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
  CHECK((copied && Narrow(copied) == "C:\\行テスト\\a.exe"));
  CloseClipboard();
}
