// The main window in this process, on the real registry and folders of the test prefix.
#include <doctest.h>

#include "app/form1_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/ansi_codec.h"
#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "recent/recent_page_win.h"
#include "regfile/registry_accessor.h"
#include "sendto/sendto_page_win.h"
#include "settings/settings_page_win.h"
#include "startup/startup_page_win.h"
#include "uninstall/keep_dialog_win.h"
#include "window/controls_win.h"
#include "uninstall/uninstall_page_win.h"

using namespace orvela;

namespace {

std::string FreshProgramFolder(const std::string& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = Narrow(temp) + "orvela-form-" + name + "\\";
  for (const char* file : {"data\\startup.txt", "data\\sendto.txt", "data\\windata.ini"})
    DeleteFileW(Wide(folder + file).c_str());
  return folder;
}

struct FormFixture {
  ScriptedPrompt prompt;
  Win32Registry registry;
  FormServices services;

  explicit FormFixture(const std::string& name) {
    static bool common_controls = [] {
      INITCOMMONCONTROLSEX controls{};
      controls.dwSize = sizeof controls;
      controls.dwICC = ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES;
      return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)common_controls;
    services = RealFormServices(prompt, registry);
    services.program_folder = FreshProgramFolder(name);
  }
};

std::optional<std::string> SettingsValue(const char* name) {
  Win32Registry backend;
  TRegistry registry(backend);
  registry.SetRootKey(RootKey::kCurrentUser);
  if (!registry.OpenKey(kSettingsKeyPath, false)) return std::nullopt;
  return registry.ReadString(name);
}

void SetSettingsValue(const char* name, std::optional<std::string> value) {
  Win32Registry backend;
  TRegistry registry(backend);
  registry.SetRootKey(RootKey::kCurrentUser);
  REQUIRE(registry.OpenKey(kSettingsKeyPath, false));
  if (value) registry.WriteString(name, *value); else registry.DeleteValue(name);
}

bool Visible(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

std::string WindowCaption(HWND window) {
  wchar_t caption[128] = {};
  GetWindowTextW(window, caption, 128);
  return Narrow(caption);
}

SIZE WindowSize(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

int ClientHeight(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return r.bottom;
}

// Remembers the window the boxes would belong to, and which one each box had.
class OwnerRecordingPrompt : public ScriptedPrompt {
 public:
  void SetOwnerWindow(void* window) override { owner = static_cast<HWND>(window); }
  void ShowMessage(std::string_view text, std::string_view caption, PromptIcon icon) override {
    owners_of_boxes.push_back(owner);
    ScriptedPrompt::ShowMessage(text, caption, icon);
  }
  HWND owner = nullptr;
  std::vector<HWND> owners_of_boxes;
};

// The items of the popup menu this thread shows, read once it is open; the menu is closed then.
std::vector<std::string> menu_items;
BOOL CALLBACK ReadMenu(HWND window, LPARAM) {
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  if (!IsWindowVisible(window) || lstrcmpW(cls, L"#32768") != 0) return TRUE;
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
  menu_items.clear();
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    menu_items.push_back(Narrow(text));
  }
  EndMenu();
  return FALSE;
}
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!EnumThreadWindows(GetCurrentThreadId(), ReadMenu, 0)) KillTimer(nullptr, timer);
}

// A value of the user's Run key, removed again at the end.
struct UserRunValue {
  UniqueHkey key;
  std::wstring name;
  UserRunValue(const wchar_t* value_name, const std::wstring& command) : name(value_name) {
    REQUIRE(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, key.put(), nullptr) == ERROR_SUCCESS);
    REQUIRE(RegSetValueExW(key.get(), value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS);
  }
  ~UserRunValue() { RegDeleteValueW(key.get(), name.c_str()); }
};

// The items of a menu and its submenus that a key cannot pick (no access key, or the key of
// an item before it on the same level), one a line.
std::string ItemsWithoutOwnKey(HMENU menu) {
  std::string faults;
  std::vector<wchar_t> keys;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    if (!GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION)) continue;  // a separator
    const wchar_t* mark = wcschr(text, L'&');
    const wchar_t key = mark ? static_cast<wchar_t>(towupper(mark[1])) : 0;
    if (!key || std::count(keys.begin(), keys.end(), key)) faults += Narrow(text) + "\n";
    keys.push_back(key);
    if (HMENU submenu = GetSubMenu(menu, i)) faults += ItemsWithoutOwnKey(submenu);
  }
  return faults;
}

}  // namespace

TEST_CASE("settings: absent keeps the default, present replaces it, FormClose writes all four") {
  SetSettingsValue("dir1", "");
  SetSettingsValue("dir2", std::nullopt);
  SetSettingsValue("url1", "ping-a.example\r\nping-b.example");
  SetSettingsValue("url2", std::nullopt);
  FormFixture f("settings");
  {
    TForm1 form(f.services);
    CHECK(form.settings().dir1.empty());
    CHECK(form.settings().ping_targets == std::vector<std::string>{"ping-a.example", "ping-b.example"});
    CHECK(form.settings().speed_test_page == kDefaultSpeedTestPage);
    form.settings().dir2 = "C:\\表示\\追加";
    form.FormClose();
  }
  CHECK(SettingsValue("url1") == "ping-a.example\r\nping-b.example");
  CHECK(SettingsValue("dir2") == "C:\\表示\\追加");
  CHECK(SettingsValue("url2") == std::string(kDefaultSpeedTestPage));

  SUBCASE("a present but empty value replaces the default with an empty text") {
    SetSettingsValue("url1", "");
    SetSettingsValue("url2", "");
    TForm1 form(f.services);
    CHECK(form.settings().ping_targets.empty());
    CHECK(form.settings().speed_test_page.empty());
  }
}

TEST_CASE("start-up makes data\\uninst and keeps the Disabled Box files whole, in the ANSI code page") {
  FormFixture f("boxes");
  const std::string startup_bytes = "User@\x95\x5C=\"C:\\Tools\\tool.exe\" /q\r\ntaro=Mail#$#C:\\Mail\\mail.exe\r\n";
  CreateFolderTree(f.services.program_folder + "data");
  REQUIRE(WriteWholeFileReplacing(f.services.program_folder + "data\\startup.txt", startup_bytes));
  {
    TForm1 form(f.services);
    CHECK(FolderExists(f.services.program_folder + "data\\uninst"));
    form.Show(SW_HIDE);
    CHECK(form.startup_box().lines == std::vector<std::string>{"User@表=\"C:\\Tools\\tool.exe\" /q",
                                                          "taro=Mail#$#C:\\Mail\\mail.exe"});
    CHECK(form.sendto_box().lines.empty());
    form.sendto_box().lines.push_back("hanako@#@メモ=lnkC:\\memo.txt");
    form.FormClose();
  }
  CHECK(ReadWholeFile(f.services.program_folder + "data\\startup.txt") == startup_bytes);
  CHECK(ReadWholeFile(f.services.program_folder + "data\\sendto.txt") ==
        Utf8ToAnsi("hanako@#@メモ=lnkC:\\memo.txt\r\n"));

  SUBCASE("a line the code page cannot hold is kept, in a UTF-8 file") {
    TForm1 form(f.services);
    form.Show(SW_HIDE);
    form.startup_box().lines.push_back("User@한국=C:\\k.exe");
    form.FormClose();
    const auto bytes = ReadWholeFile(f.services.program_folder + "data\\startup.txt");
    REQUIRE(bytes);
    CHECK(bytes->substr(0, 3) == "\xEF\xBB\xBF");
    TForm1 again(f.services);
    again.Show(SW_HIDE);
    CHECK(again.startup_box().lines.back() == "User@한국=C:\\k.exe");
  }
  SUBCASE("a damaged file is copied aside before anything is written over it") {
    REQUIRE(WriteWholeFileReplacing(f.services.program_folder + "data\\startup.txt", "User@ok=a\r\nUser@bad=\x81\r\n"));
    TForm1 form(f.services);
    form.Show(SW_HIDE);
    CHECK(form.startup_box().lines == std::vector<std::string>{"User@ok=a"});
    REQUIRE(f.prompt.messages().size() == 1);
    CHECK(ReadWholeFile(f.services.program_folder + "data\\startup.txt.unreadable") ==
          std::string("User@ok=a\r\nUser@bad=\x81\r\n"));
  }
}

TEST_CASE("administrator state and Windows class narrow the window") {
  FormFixture f("rights");
  SUBCASE("a user without administrator rights is told once; the two pages show nothing") {
    f.services.is_admin = [] { return false; };
    TForm1 form(f.services);
    CHECK(f.prompt.messages() == std::vector<std::string>{std::string(kNoAdminMessage)});
    CHECK_FALSE(form.is_admin());
    CHECK_FALSE(Visible(form.uninstall_page().ListBox3));
    CHECK_FALSE(Visible(form.settings_page().PageControl2));
  }
  SUBCASE("NT 6 and later have no Windows-settings tab; XP has it") {
    f.services.version = {true, 6, 1};
    TForm1 seven(f.services);
    CHECK(TabCtrl_GetItemCount(seven.PageControl1) == 5);
    CHECK_FALSE(seven.has_settings_tab());
    CHECK_FALSE(seven.SpeedButton13.visible());  // no button for a page that is not there
    seven.SpeedButton9Click(kSettingsPage);
    CHECK(seven.current_page() == kStartupPage);
    f.services.version = {true, 5, 1};
    TForm1 xp(f.services);
    CHECK(TabCtrl_GetItemCount(xp.PageControl1) == 6);
    CHECK(xp.SpeedButton13.visible());
    CHECK(xp.windows_class() == 2);
    CHECK(f.prompt.messages().empty());
  }
}

TEST_CASE("page switching through RefreshPage") {
  FormFixture f("pages");
  f.services.version = {true, 5, 1};  // with the settings page
  TForm1 form(f.services);
  form.Show(SW_SHOWNORMAL);
  CHECK(form.status_text(0) == "0");
  auto select = [&](int page) {
    TabCtrl_SetCurSel(form.PageControl1, page);
    form.PageControl1Change();
  };

  SUBCASE("the Disabled Box view survives a refresh, not a page change") {
    form.SpeedButton2Click();
    CHECK(form.SpeedButton2.down());
    form.SpeedButton7Click();
    CHECK(form.SpeedButton2.down());
    select(kSendToPage);
    CHECK(form.SpeedButton1.down());
    CHECK(Visible(form.SendSelectPanel));
    select(kStartupPage);
    CHECK(form.SpeedButton1.down());
    CHECK(form.SpeedButton1.caption() == "スタートアップ");
    CHECK(Visible(form.startup_page().Panel2));
    CHECK(WindowCaption(form.hwnd()) == "Orvela [ スタートアップ ]");
  }
  SUBCASE("a page button clicked while a page change redraws its panels has the last word") {
    form.SpeedButton9Click(kProgramsPage);
    // Waiting in the queue while the click on SpeedButton12 changes to page 3.
    PostMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(form.SpeedButton9.id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(form.SpeedButton9.hwnd()));
    form.SpeedButton9Click(form.SpeedButton12.tag);
    CHECK(form.current_page() == kStartupPage);
    CHECK(WindowCaption(form.hwnd()) == "Orvela [ スタートアップ ]");
    CHECK(Visible(form.PageControl1));
    CHECK_FALSE(Visible(form.recent_page().ListView2));
    CHECK_FALSE(Visible(form.Panel7));
    CHECK(form.SpeedButton1.visible());
  }
  SUBCASE("the two list-view pages open each other") {
    select(kRecentPage);
    CHECK_FALSE(Visible(form.PageControl1));
    CHECK(Visible(form.recent_page().ListView2));
    CHECK(form.SpeedButton12.tag == kProgramsPage);
    CHECK(form.recent_page().N32Caption == "最近使ったファイル");
    form.SpeedButton9Click(form.SpeedButton12.tag);
    CHECK(form.current_page() == kProgramsPage);
    CHECK(form.SpeedButton12.tag == kRecentPage);
    CHECK(form.HintOf(form.SpeedButton12.hwnd()) == "最近使ったファイル");
    form.SpeedButton9Click(kStartupPage);
    CHECK(Visible(form.PageControl1));
    CHECK_FALSE(Visible(form.recent_page().ListView2));
  }
  SUBCASE("uninstall page: short panel, its own captions") {
    select(kUninstallPage);
    RECT panel;
    GetClientRect(form.Panel1, &panel);
    CHECK(panel.bottom == 40);
    CHECK(form.SpeedButton2.caption() == "更新プログラム");
    select(kStartupPage);
    CHECK(form.SpeedButton2.caption() == "無効 ボックス");
  }
  SUBCASE("settings page without a backup file hides the restore button") {
    select(kSettingsPage);
    CHECK_FALSE(form.SpeedButton7.visible());
    REQUIRE(WriteWholeFileReplacing(form.paths().settings_backup, "[x]\r\n"));
    form.RefreshPage(false);
    CHECK(form.SpeedButton7.visible());
    CHECK(form.SpeedButton7.caption() == "復元");
    DeleteFileW(Wide(form.paths().settings_backup).c_str());
  }
  SUBCASE("the user selector lists every profile but All Users and selects the current user") {
    select(kSendToPage);
    const int count = static_cast<int>(SendMessageW(form.ComboBox6, CB_GETCOUNT, 0, 0));
    CHECK(count == static_cast<int>(form.locations().profiles().size()) - 1);
    const int selected = static_cast<int>(SendMessageW(form.ComboBox6, CB_GETCURSEL, 0, 0));
    REQUIRE(selected >= 0);
    wchar_t text[256] = {};
    SendMessageW(form.ComboBox6, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    CHECK(Narrow(text) == form.locations().current_profile_name());
  }
}

TEST_CASE("keys: F5 refreshes, Ctrl+Tab changes pages, Tab runs through the tabs, tool panel and list") {
  FormFixture f("keys");
  UserRunValue first(L"キー 最初の行", L"first-row.exe");
  HKEY key = first.key.get();
  TForm1 form(f.services);
  form.Show(SW_SHOWNORMAL);
  HWND list = form.startup_page().ListBox1;
  auto press = [&](WPARAM key, bool control, bool shift) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{list, WM_KEYDOWN, key, 0, 0, {}};
    const bool handled = form.PreTranslateMessage(msg);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    return handled;
  };

  SUBCASE("F5 reads the Run keys again") {
    const size_t before = form.startup_page().entries.size();
    const wchar_t command[] = L"keys-test.exe";
    REQUIRE(RegSetValueExW(key, L"キー テスト", 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                           sizeof command) == ERROR_SUCCESS);
    ScopeExit remove([&] { RegDeleteValueW(key, L"キー テスト"); });
    CHECK(press(VK_F5, false, false));
    CHECK(form.startup_page().entries.size() == before + 1);
    CHECK(form.status_text(0) == std::to_string(before + 1));
  }
  SUBCASE("Ctrl+Tab and Ctrl+Shift+Tab step through the pages, round the ends") {
    CHECK(press(VK_TAB, true, false));
    CHECK(form.current_page() == kSendToPage);
    CHECK(press(VK_TAB, true, true));
    CHECK(press(VK_TAB, true, true));
    CHECK(form.current_page() == TabCtrl_GetItemCount(form.PageControl1) - 1);
  }
  SUBCASE("the focus follows the page by every road, and each page says its own status") {
    CHECK(GetFocus() == list);  // at start, on the first row
    CHECK(SendMessageW(list, LB_GETCURSEL, 0, 0) == 0);
    const std::string startup_row = form.status_text(1);  // the first row's command
    CHECK_FALSE(startup_row.empty());
    CHECK(press(VK_TAB, true, false));
    CHECK(GetFocus() == form.sendto_page().ListBox2);
    CHECK(form.status_text(1) != startup_row);
    form.SpeedButton9Click(kRecentPage);
    CHECK(GetFocus() == form.recent_page().ListView2);
    form.SpeedButton9Click(kStartupPage);
    TabCtrl_SetCurSel(form.PageControl1, kUninstallPage);
    form.PageControl1Change();
    CHECK(GetFocus() == form.uninstall_page().ListBox3);
  }
  SUBCASE("the row menu from the keyboard is the shown page's, whatever control has the focus") {
    CHECK(press(VK_TAB, true, false));
    SetTimer(nullptr, 0, 100, ReadOpenMenu);
    SendMessageW(form.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    CHECK(std::count(menu_items.begin(), menu_items.end(), "送るに追加(&A)") == 1);
    CHECK(std::count(menu_items.begin(), menu_items.end(), "スタートアップに追加(&A)") == 0);
  }
  SUBCASE("Tab: the tabs, tool buttons, the selectors and apply buttons, then the list") {
    form.startup_page().SpeedButton3.SetEnabled(true);
    std::vector<HWND> order;
    HWND at = list;
    do {
      at = GetNextDlgTabItem(form.hwnd(), at, FALSE);
      order.push_back(at);
    } while (at && at != list && order.size() < 40);
    auto position = [&](HWND control) {
      return static_cast<int>(std::find(order.begin(), order.end(), control) - order.begin());
    };
    const int last = static_cast<int>(order.size()) - 1;
    CHECK(order.back() == list);
    CHECK(position(form.SpeedButton1.hwnd()) < position(form.SpeedButton7.hwnd()));
    CHECK(position(form.SpeedButton7.hwnd()) < position(form.startup_page().ComboBox1));
    CHECK(position(form.startup_page().ComboBox1) < position(form.startup_page().SpeedButton3.hwnd()));
    CHECK(position(form.startup_page().SpeedButton3.hwnd()) < position(form.startup_page().ComboBox2));
    CHECK(position(form.startup_page().ComboBox2) < last);
    CHECK(position(form.PageControl1) < last);
    // Hidden controls of other pages are passed over.
    CHECK(position(form.uninstall_page().ListBox3) > last);
  }
}

TEST_CASE("every item of every row menu has an access key of its own, in every state") {
  FormFixture f("menu-keys");
  UserRunValue entry(L"キー メニュー", L"menu-keys.exe");
  TForm1 form(f.services);
  form.Show(SW_SHOWNORMAL);
  StartupPage& startup = form.startup_page();
  REQUIRE(startup.selected_entry());
  CHECK(ItemsWithoutOwnKey(startup.PopupMenu1Popup().get()) == "");
  startup.N1Click();  // the first change saves the Run keys: the registry submenu comes
  REQUIRE(startup.run_keys_backup().RunKeysUndoAvailable);
  CHECK(ItemsWithoutOwnKey(startup.PopupMenu1Popup().get()) == "");
  form.SpeedButton2Click();  // the Disabled Box, with the entry just disabled
  FocusWithRow(startup.ListBox1);
  REQUIRE(startup.selected_entry());
  CHECK(ItemsWithoutOwnKey(startup.PopupMenu1Popup().get()) == "");
  startup.DeleteStartupEntry(false);  // the box line goes
  CHECK(ItemsWithoutOwnKey(form.sendto_page().PopupMenu2Popup().get()) == "");
  form.SpeedButton9Click(kUninstallPage);
  SendMessageW(form.uninstall_page().ListBox3, LB_SETCURSEL, 0, 0);
  CHECK(ItemsWithoutOwnKey(form.uninstall_page().PopupMenu3Popup().get()) == "");
  for (int page : {kRecentPage, kProgramsPage}) {
    form.SpeedButton9Click(page);
    ListView_SetItemState(form.recent_page().ListView2, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    CHECK(ItemsWithoutOwnKey(form.recent_page().PopupMenu4Popup().get()) == "");
  }
  TUnInstKeepDlg backups(form.hwnd(), Dpi(96), {form.registry(), form.prompt(), form.glyphs(), ""}, false);
  CHECK(ItemsWithoutOwnKey(backups.PopupMenu1Popup().get()) == "");
}

TEST_CASE("hints and the status bar") {
  FormFixture f("hints");
  TForm1 form(f.services);
  form.Show(SW_SHOWNORMAL);
  CHECK(form.HintOf(form.startup_page().SpeedButton3.hwnd()) == "適用|変更内容を適用する");
  MSG move{form.startup_page().SpeedButton3.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2), 0, {}};
  form.PreTranslateMessage(move);
  CHECK(form.status_text(1) == "変更内容を適用する");
  move.hwnd = form.startup_page().ListBox1;  // no hint: the status bar shows nothing more
  form.PreTranslateMessage(move);
  CHECK(form.status_text(1).empty());

  // A highlighted submenu (told by its place) shows its hint as a command does.
  auto highlight = [&](HMENU menu, const wchar_t* caption) {
    wchar_t text[32];
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
      if (GetMenuStringW(menu, static_cast<UINT>(i), text, 32, MF_BYPOSITION) && !lstrcmpW(text, caption))
        SendMessageW(form.hwnd(), WM_MENUSELECT, MAKEWPARAM(i, MF_POPUP | MF_HILITE), reinterpret_cast<LPARAM>(menu));
  };
  form.SpeedButton9Click(kRecentPage);
  highlight(form.recent_page().PopupMenu4Popup().get(), L"最近使ったファイル(&R)");
  CHECK(form.status_text(1) == "選択したファイルをスタートメニューへ追加する");
  highlight(form.uninstall_page().PopupMenu3Popup().get(), L"整列(&T)");
  CHECK(form.status_text(1) == "並べ替え");
}

TEST_CASE("window geometry and the maker's label") {
  FormFixture f("geometry");
  TForm1 form(f.services);
  form.Show(SW_SHOWNORMAL);
  RECT r;
  GetWindowRect(form.hwnd(), &r);
  CHECK(r.right - r.left == 672);
  CHECK(r.bottom - r.top == 489);
  auto label = [&] {
    RECT rect;
    GetWindowRect(form.Label3, &rect);
    MapWindowPoints(nullptr, form.Panel1, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  const RECT before = label(), width = {0, 0, before.right - before.left, 0};
  SetWindowPos(form.hwnd(), nullptr, 0, 0, 690, 489, SWP_NOMOVE | SWP_NOZORDER);
  CHECK(label().left == before.left);  // narrower than 700: it stays
  SetWindowPos(form.hwnd(), nullptr, 0, 0, 800, 489, SWP_NOMOVE | SWP_NOZORDER);
  CHECK(label().left == 800 - width.right - 16);
  SetWindowPos(form.hwnd(), nullptr, 0, 0, 690, 489, SWP_NOMOVE | SWP_NOZORDER);
  CHECK(label().left == before.left);  // narrower again: back with the window
  SetWindowPos(form.hwnd(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(form.hwnd(), &r);
  CHECK(r.right - r.left == 580);
  CHECK(r.bottom - r.top == 450);
  RECT panel;
  GetClientRect(form.Panel1, &panel);
  CHECK(label().right <= panel.right);  // the smallest window still shows it whole
}

TEST_CASE("at 144 DPI every 96-DPI size is half as large again") {
  FormFixture f("dpi");
  f.services.version = {true, 5, 1};
  f.services.dpi = 144;
  TForm1 form(f.services);
  form.Show(SW_SHOWNORMAL);
  CHECK(WindowSize(form.hwnd()).cx == 1008);
  CHECK(WindowSize(form.hwnd()).cy == 734);
  CHECK(ClientHeight(form.Panel1) == 102);
  CHECK(ClientHeight(form.SpeedButton1.hwnd()) == 54);
  CHECK(SendMessageW(form.startup_page().ListBox1, LB_GETITEMHEIGHT, 0, 0) == 63);
  int parts[2] = {};
  SendMessageW(form.StatusBar1, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  CHECK(parts[0] == 75);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(form.glyphs(), &cx, &cy);
  CHECK(cx == 24);
  ImageList_GetIconSize(form.startup_page().image_list1(), &cx, &cy);
  CHECK(cx == 48);
  LOGFONTW font{};
  GetObjectW(form.ui_font(), sizeof font, &font);
  CHECK(font.lfHeight == -18);
  GetObjectW(form.list_font(), sizeof font, &font);
  CHECK(font.lfHeight == -20);

  TabCtrl_SetCurSel(form.PageControl1, kUninstallPage);
  form.PageControl1Change();
  CHECK(ClientHeight(form.Panel1) == 60);
  CHECK(SendMessageW(form.uninstall_page().ListBox3, LB_GETITEMHEIGHT, 0, 0) == 30);
  form.SpeedButton9Click(kRecentPage);
  RECT button;
  GetWindowRect(form.SpeedButton13.hwnd(), &button);
  CHECK(button.right - button.left == 36);

  SetWindowPos(form.hwnd(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  CHECK(WindowSize(form.hwnd()).cx == 870);
  CHECK(WindowSize(form.hwnd()).cy == 675);
}

TEST_CASE("message boxes belong to the main window while it exists, to no window before or after") {
  FormFixture f("owner");
  OwnerRecordingPrompt prompt;
  f.services.prompt = &prompt;
  f.services.is_admin = [] { return false; };  // a box during construction
  HWND main = nullptr;
  {
    TForm1 form(f.services);
    main = form.hwnd();
    REQUIRE(main);
    CHECK(prompt.owners_of_boxes == std::vector<HWND>{main});
  }
  CHECK(prompt.owner == nullptr);
}

TEST_CASE("locations on the real prefix") {
  FormFixture f("locations");
  const ProfileLocations probe = ProfileLocations::FromShell(f.services.shell_folders);
  const std::string taro_startup = probe.root() + "taro" + probe.SubPath(FolderKind::kStartup);
  REQUIRE(CreateFolderTree(taro_startup));
  TForm1 form(f.services);
  const ProfileLocations& loc = form.locations();
  const auto me = loc.ProfileIndexOf(loc.current_profile_name());
  const auto taro = loc.ProfileIndexOf("taro");
  REQUIRE(me);
  REQUIRE(taro);
  REQUIRE(loc.all_users_index() >= 0);
  CHECK(loc.profiles()[loc.all_users_index()] == "All Users");
  CHECK(loc.FolderOf(FolderKind::kStartup, *me) == ShellFolderPath(CSIDL_STARTUP));
  CHECK(loc.FolderOf(FolderKind::kSendTo, *me) == ShellFolderPath(CSIDL_SENDTO));
  CHECK(loc.FolderOf(FolderKind::kPrograms, *me) == ShellFolderPath(CSIDL_PROGRAMS));
  CHECK(loc.FolderOf(FolderKind::kStartup, *taro) == taro_startup);
  CHECK(loc.FolderOf(FolderKind::kStartup, loc.all_users_index()) == ShellFolderPath(CSIDL_COMMON_STARTUP));
  CHECK(loc.FolderOf(FolderKind::kPrograms, loc.all_users_index()) == ShellFolderPath(CSIDL_COMMON_PROGRAMS));
}
