// The uninstall page in a real main window, on entries written to the test prefix's
// registry (the 32-bit view's key included) and removed again when a test ends.
#include <doctest.h>

#include "../command_wait_win.h"
#include "app/form1_win.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "uninstall/details_dialog_win.h"
#include "uninstall/keep_dialog_win.h"
#include "uninstall/uninstall_backup.h"
#include "uninstall/uninstall_page_win.h"
#include "uninstall/uninstall_values.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kTag[] = "OrvelaTest ";  // every subkey these tests write starts with it

std::string Fixture(const char* exe) {
  std::string dir = "Z:" ORVELA_FIXTURE_DIR;
  std::replace(dir.begin(), dir.end(), '/', '\\');
  return dir + "\\" + exe;
}

std::string TempFolder(const std::string& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = Narrow(temp) + name + "\\";
  CreateFolderTree(folder);
  return folder;
}

// An entry of the test: HKLM (view 64 or 32) or HKCU, its subkey "OrvelaTest <name>".
struct Entry {
  HKEY root;
  REGSAM view;
  std::string subkey;
};

class SeededEntries {
 public:
  ~SeededEntries() {
    for (const Entry& e : entries_) {
      RegDeleteTreeW(Open(e).get(), nullptr);
      Delete(e);
    }
  }
  Entry Add(HKEY root, REGSAM view, const std::string& name, const std::vector<std::pair<std::string, std::string>>& values) {
    Entry entry{root, view, kTag + name};
    UniqueHkey key;
    REQUIRE(RegCreateKeyExW(root, (kUninstall + Wide(entry.subkey)).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                            nullptr, key.put(), nullptr) == ERROR_SUCCESS);
    for (const auto& [value, text] : values) {
      const std::wstring data = Wide(text);
      RegSetValueExW(key.get(), Wide(value).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    }
    entries_.push_back(entry);
    return entry;
  }
  static UniqueHkey Open(const Entry& e) {
    UniqueHkey key;
    RegOpenKeyExW(e.root, (kUninstall + Wide(e.subkey)).c_str(), 0, KEY_ALL_ACCESS | e.view, key.put());
    return key;
  }
  static bool Exists(const Entry& e) { return static_cast<bool>(Open(e)); }
  static void Delete(const Entry& e) {
    UniqueHkey parent;
    if (RegOpenKeyExW(e.root, kUninstall, 0, KEY_ALL_ACCESS | e.view, parent.put()) == ERROR_SUCCESS)
      RegDeleteKeyExW(parent.get(), Wide(e.subkey).c_str(), e.view, 0);
  }

 private:
  std::vector<Entry> entries_;
};

struct Window {
  ScriptedPrompt prompt;
  Win32Registry registry;
  std::unique_ptr<TForm1> form;
  std::string backups;

  explicit Window(const std::string& folder = "orvela-uninstall-page") {
    FormServices services = RealFormServices(prompt, registry);
    services.program_folder = TempFolder(folder);
    backups = services.program_folder + "data\\uninst\\";
    for (const std::string& name : FileNamesIn(backups)) DeleteFileAt(backups + name);
    form = std::make_unique<TForm1>(services);
    form->Show(SW_SHOWNORMAL);
    TabCtrl_SetCurSel(form->PageControl1, kUninstallPage);
    form->PageControl1Change();
    page().details().FetchAll();
  }
  UninstallPage& page() { return form->uninstall_page(); }
  // The titles of this test's rows, in the order shown.
  std::vector<std::string> Titles() {
    std::vector<std::string> titles;
    for (size_t i = 0; i < page().entries.size(); ++i)
      if (page().ListView1[i].key.subkey.rfind(kTag, 0) == 0) titles.push_back(page().ListView1[i].caption);
    return titles;
  }
  int RowOf(const std::string& subkey) {
    for (size_t i = 0; i < page().ListView1.size(); ++i)
      if (page().ListView1[i].key.subkey == kTag + subkey) return static_cast<int>(i);
    return -1;
  }
  void Select(int row) {
    SendMessageW(page().ListBox3, LB_SETCURSEL, row, 0);
    page().ListBox3Click();
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

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

TEST_CASE("the list: every source, the modes, show-all, sorting and search") {
  SeededEntries seeded;
  seeded.Add(HKEY_LOCAL_MACHINE, 0, "Beta", {{"DisplayName", "OrvelaTest Beta"}, {"UninstallString", "b.exe"},
                                             {"InstallDate", "20200101"}});
  seeded.Add(HKEY_CURRENT_USER, 0, "Alpha", {{"DisplayName", "OrvelaTest Alpha"}, {"UninstallString", "a.exe"}});
  seeded.Add(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, "Old",
             {{"DisplayName", "OrvelaTest Old"}, {"UninstallString", "o.exe"}, {"InstallDate", "20190101"}});
  seeded.Add(HKEY_LOCAL_MACHINE, 0, "Untitled", {{"UninstallString", "u.exe"}});
  seeded.Add(HKEY_LOCAL_MACHINE, 0, "Fix", {{"DisplayName", "OrvelaTest Fix (KB1234567)"}, {"UninstallString", "f.exe"}});
  Window w;
  UninstallPage& page = w.page();
  CHECK(w.Titles() == std::vector<std::string>{"OrvelaTest Alpha", "OrvelaTest Beta", "OrvelaTest Old"});
  CHECK(page.ListView1[static_cast<size_t>(w.RowOf("Old"))].key.key_path ==
        "\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  CHECK(w.form->status_text(0) == std::to_string(page.entries.size()));

  SUBCASE("show-all adds the entry without a title; the updates button shows only updates") {
    w.Select(w.RowOf("Beta"));
    page.N13Click();
    CHECK(w.Titles() == std::vector<std::string>{"0", "OrvelaTest Alpha", "OrvelaTest Beta", "OrvelaTest Old"});
    CHECK(page.selected_row() == w.RowOf("Beta"));
    CHECK(page.entries[static_cast<size_t>(w.RowOf("Untitled"))].display_name.empty());  // drawn as "不明"
    w.form->SpeedButton2Click();
    CHECK(w.Titles() == std::vector<std::string>{"OrvelaTest Fix (KB1234567)"});
  }
  SUBCASE("one direction flag for both sorts: titles descending first, then dates ascending") {
    page.N22Click(0);
    CHECK(w.Titles() == std::vector<std::string>{"OrvelaTest Alpha", "OrvelaTest Old", "OrvelaTest Beta"});
    page.N22Click(1);
    CHECK(w.Titles() == std::vector<std::string>{"OrvelaTest Alpha", "OrvelaTest Old", "OrvelaTest Beta"});
    CHECK(page.sort_ascending() == false);
    page.N22Click(1);
    CHECK(w.Titles() == std::vector<std::string>{"OrvelaTest Alpha", "OrvelaTest Beta", "OrvelaTest Old"});
  }
  SUBCASE("search ignores letter case and does not wrap; a click starts it again from the top") {
    w.prompt.AnswerText("orvelatest");
    page.Find1Click();
    const int first = page.selected_row();
    CHECK(page.entries[static_cast<size_t>(first)].display_name.rfind(kTag, 0) == 0);
    for (int i = 0; i < 2; ++i) page.FindNext1Click();
    CHECK(page.selected_row() == w.RowOf("Old"));
    CHECK(w.prompt.messages().empty());
    page.FindNext1Click();
    CHECK(w.prompt.messages() == std::vector<std::string>{std::string(kNothingMoreFound)});
    w.Select(w.RowOf("Old"));
    page.FindNext1Click();
    CHECK(page.selected_row() == first);
  }
}

TEST_CASE("the row menu and the watch over started uninstallers") {
  SeededEntries seeded;
  const std::string folder = TempFolder("orvela-uninstall-setup");
  const std::string mailer = Fixture("sample-mailer.exe");
  REQUIRE(CopyFileW(Wide(mailer).c_str(), Wide(folder + "setup.ex_").c_str(), FALSE));
  REQUIRE(CopyFileW(Wide(mailer).c_str(), Wide(folder + "kept.ex_").c_str(), FALSE));
  const std::string updater = Fixture("sample-updater.exe");
  REQUIRE(CopyFileW(Wide(updater).c_str(), Wide(folder + "kept.exe").c_str(), FALSE));
  const Entry setup = seeded.Add(HKEY_LOCAL_MACHINE, 0, "Setup",
                                 {{"DisplayName", "OrvelaTest Setup"}, {"UninstallString", folder + "setup.ex_ /u"}});
  const Entry kept = seeded.Add(HKEY_CURRENT_USER, 0, "Kept",
                                {{"DisplayName", "OrvelaTest Kept"}, {"UninstallString", folder + "kept.ex_ /u"}});
  seeded.Add(HKEY_LOCAL_MACHINE, 0, "Self", {{"DisplayName", "Orvela"}, {"UninstallString", "x.exe"}});
  Window w;
  UninstallPage& page = w.page();

  SendMessageW(page.ListBox3, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  std::vector<std::string> captions = MenuCaptions(page.PopupMenu3Popup().get());
  for (const char* item : {"詳細(&I)", "フォルダを開く(&O)", "アンインストール(&U)", "削除(&D)"}) CHECK_FALSE(Contains(captions, item));
  CHECK(Contains(captions, "全ての情報を表示(&A)"));
  w.Select(w.RowOf("Self"));
  UniqueMenu menu = page.PopupMenu3Popup();
  CHECK(Contains(MenuCaptions(menu.get()), "削除(&D)"));
  CHECK((GetMenuState(menu.get(), kIdN19, MF_BYCOMMAND) & MF_GRAYED) != 0);

  // Both started; the ".ex_" program got its name, the one whose name was taken did not.
  w.Select(w.RowOf("Kept"));
  page.N19Click();
  w.Select(w.RowOf("Setup"));
  page.N19Click();
  CHECK(FileExists(folder + "setup.exe"));
  CHECK_FALSE(FileExists(folder + "setup.ex_"));
  CHECK(FileExists(folder + "kept.ex_"));
  CHECK(ReadWholeFile(folder + "kept.exe") == ReadWholeFile(updater));
  CHECK(page.watch().pending().size() == 2);

  // The first one started finishes after a re-sort: its own row goes, nothing else.
  page.N22Click(0);
  page.Timer2Timer();
  CHECK(page.watch().waiting());
  SeededEntries::Delete(kept);
  const size_t rows = page.entries.size();
  page.Timer2Timer();
  CHECK(page.entries.size() == rows - 1);
  CHECK(w.RowOf("Kept") < 0);
  CHECK(w.RowOf("Setup") >= 0);
  CHECK_FALSE(page.watch().waiting());
  CHECK_FALSE(page.timer2_running());
  CHECK(SeededEntries::Exists(setup));
}

TEST_CASE("row icons come from the worker: a row and its menu are shown without one until it comes") {
  SeededEntries seeded;
  seeded.Add(HKEY_CURRENT_USER, 0, "Icon",
             {{"DisplayName", "OrvelaTest Icon"}, {"UninstallString", Fixture("sample-updater.exe") + " /u"}});
  Window w;
  UninstallPage& page = w.page();
  REQUIRE(page.picture_of(w.RowOf("Icon")) >= 0);
  // Look-ups hang until released (a drive that does not answer): even a known icon waits.
  UniqueHandle released(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  SharedLookupWorker().SetGate([gate = released.get()] { WaitForSingleObject(gate, 10000); });
  page.N22Click(0);
  const int row = w.RowOf("Icon");
  CHECK(page.picture_of(row) == -1);
  CHECK(page.details().waiting(row));
  w.Select(row);
  CHECK(page.PopupMenu3Popup());
  CHECK(page.details().waiting(row));
  SharedLookupWorker().SetGate(nullptr);
  SetEvent(released.get());
  REQUIRE(page.details().FetchAll());
  CHECK(page.picture_of(row) >= 0);
}

TEST_CASE("removal and restore: a 32-bit entry whose title no file name can hold") {
  SeededEntries seeded;
  const Entry old = seeded.Add(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, "Old",
                               {{"DisplayName", "OrvelaTest A\\B: C"}, {"UninstallString", "o.exe /x"}});
  Window w;
  UninstallPage& page = w.page();
  w.Select(w.RowOf("Old"));
  w.prompt.AnswerYes();
  page.Delete3Click();
  REQUIRE(WaitForCommand(page.removing()));
  CHECK_FALSE(SeededEntries::Exists(old));
  CHECK(w.RowOf("Old") < 0);
  REQUIRE(FileNamesIn(w.backups) == std::vector<std::string>{"OrvelaTest A￥B： C.reg"});

  TUnInstKeepDlg dialog(w.form->hwnd(), Dpi(), {w.registry, w.prompt, w.form->glyphs(), w.backups});
  REQUIRE(WriteWholeFileReplacing(w.backups + "notes.txt", "x"));
  dialog.FormShow();
  REQUIRE(dialog.row_count() == 2);
  const int row = dialog.RowCaption(0) == "OrvelaTest A￥B： C" ? 0 : 1;
  CHECK(dialog.RowCaption(1 - row) == "notes");
  CHECK_FALSE(IsWindowVisible(dialog.OkBtn));
  {
    // The running-application mode: OK beside the close button, around the middle.
    TUnInstKeepDlg running(w.form->hwnd(), Dpi(), {w.registry, w.prompt, w.form->glyphs(), w.backups}, true);
    RECT ok{}, close{};
    GetWindowRect(running.OkBtn, &ok);
    GetWindowRect(running.CancelBtn, &close);
    CHECK((GetWindowLongW(running.OkBtn, GWL_STYLE) & WS_VISIBLE) != 0);
    CHECK(close.left - ok.right == 6);
  }

  SUBCASE("restore puts the key back into the 32-bit view") {
    dialog.SelectRow(row, true);
    dialog.N1Click();
    CHECK(dialog.restored());
    CHECK(SeededEntries::Exists(old));
    CHECK(dialog.row_count() == 1);
    page.FillUninstallList();
    CHECK(w.RowOf("Old") >= 0);
  }
  SUBCASE("delete asks with the number of rows; a file it cannot reach keeps its row") {
    w.prompt.AnswerNo();
    dialog.Delete1Click();
    CHECK(w.prompt.shown().back().text == "0個の保存データを削除します。よろしいですか？");
    dialog.SelectRow(0, true);
    dialog.SelectRow(1, true);
    w.prompt.AnswerYes();
    dialog.Delete1Click();
    CHECK(w.prompt.shown().back().text == "2個の保存データを削除します。よろしいですか？");
    CHECK(dialog.row_count() == 1);
    CHECK(dialog.RowCaption(0) == "notes");
    CHECK(FileNamesIn(w.backups) == std::vector<std::string>{"notes.txt"});
    CHECK_FALSE(dialog.restored());
  }
}

TEST_CASE("an entry with hundreds of subkeys is saved and deleted while the window goes on") {
  SeededEntries seeded;
  const Entry big = seeded.Add(HKEY_CURRENT_USER, 0, "Big", {{"DisplayName", "OrvelaTest Big"}, {"UninstallString", "b.exe"}});
  {
    UniqueHkey key = SeededEntries::Open(big);
    for (DWORD i = 0; i < 300; ++i) {
      UniqueHkey part;
      REQUIRE(RegCreateKeyExW(key.get(), (L"Part " + std::to_wstring(i)).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, part.put(), nullptr) == ERROR_SUCCESS);
      RegSetValueExW(part.get(), L"N", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), sizeof i);
    }
  }
  Window w;
  w.Select(w.RowOf("Big"));
  w.prompt.AnswerYes();
  w.page().Delete3Click();
  // The row stays until the window hears the end; meanwhile the status bar says what goes
  // on and another change of the page is refused.
  CHECK(w.RowOf("Big") >= 0);
  CHECK(w.form->status_text(1) == kCheckingRights);
  w.page().N19Click();
  CHECK(w.prompt.messages().back() == kCommandStillRunning);
  REQUIRE(WaitForCommand(w.page().removing()));
  CHECK(w.RowOf("Big") < 0);
  CHECK_FALSE(SeededEntries::Exists(big));
  const std::string saved = ReadWholeFile(w.backups + "OrvelaTest Big.reg").value_or("");
  size_t parts = 0;
  for (size_t at = saved.find("\\Part "); at != std::string::npos; at = saved.find("\\Part ", at + 1)) ++parts;
  CHECK(parts == 300);
}

TEST_CASE("a long title in a folder near the longest path: saved under a name that fits, and restored") {
  SeededEntries seeded;
  const Entry entry = seeded.Add(HKEY_CURRENT_USER, 0, "Long", {{"DisplayName", kTag + std::string(80, 'L')}});
  // The backup folder takes 240 of the 259 characters a path may have.
  const size_t pad = 240 - TempFolder("").size() - std::string("orvela-long\\\\data\\uninst\\").size();
  Window w("orvela-long\\" + std::string(pad / 2, 'd') + "\\" + std::string(pad - pad / 2, 'e'));
  REQUIRE(w.backups.size() == 240);
  w.page().N13Click();  // listed without an uninstall command
  w.Select(w.RowOf("Long"));
  w.prompt.AnswerYes();
  w.page().Delete3Click();
  REQUIRE(WaitForCommand(w.page().removing()));
  const std::vector<std::string> files = FileNamesIn(w.backups);
  REQUIRE((files.size() == 1 && !SeededEntries::Exists(entry)));
  CHECK(w.backups.size() + files[0].size() <= kLongestPath);
  CHECK(ProcessBackupRows({BackupCaption(files[0])}, {true}, w.backups, true, w.registry, w.prompt).removed.size() == 1);
  CHECK(SeededEntries::Exists(entry));
}

TEST_CASE("the details dialog: sorted values, the selected one in full with its name bold and = blue") {
  SeededEntries seeded;
  seeded.Add(HKEY_CURRENT_USER, 0, "Shown", {{"Publisher", "P"}, {"DisplayName", "D"}, {"InstallDate", "20240101"},
                                             {"UninstallString", "\"C:\\P\\un.exe\" /S"}});
  Window w;
  const int row = w.RowOf("Shown");
  REQUIRE(row >= 0);
  TOKBottomDlg1 dialog(w.form->hwnd(), Dpi(),
                       EntryValueRows(w.registry, w.page().ListView1[static_cast<size_t>(row)].key, w.page().system()));
  std::vector<std::string> names;
  for (int i = 0; i < ListView_GetItemCount(dialog.ListView1); ++i) names.push_back(testing::Cell(dialog.ListView1, i, 0));
  CHECK(names == std::vector<std::string>{"DisplayName", "InstallDate", "Publisher", "UninstallString"});
  ListView_SetItemState(dialog.ListView1, 3, LVIS_SELECTED, LVIS_SELECTED);
  CHECK(dialog.RichEdit1Text() == "UninstallString = \"C:\\P\\un.exe\" /S");
  auto format_at = [&](int from, int to) {
    CHARRANGE range{from, to};
    SendMessageW(dialog.RichEdit1, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(dialog.RichEdit1, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
  };
  const CHARFORMAT2W name = format_at(0, 15), equals = format_at(16, 17), data = format_at(18, 20);
  CHECK((name.dwMask & CFM_BOLD) != 0);
  CHECK((name.dwEffects & CFE_BOLD) != 0);
  CHECK(equals.crTextColor == RGB(0, 0, 255));
  CHECK((data.dwEffects & CFE_BOLD) == 0);
  CHECK(data.crTextColor == RGB(80, 80, 80));

  // The DisplayName row (not selected) is drawn on light blue.
  ListView_SetItemState(dialog.ListView1, 3, 0, LVIS_SELECTED);
  RECT item{};
  ListView_GetItemRect(dialog.ListView1, 0, &item, LVIR_LABEL);
  RECT client{};
  GetClientRect(dialog.ListView1, &client);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(dialog.ListView1, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  CHECK(GetPixel(dc, item.right - 2, (item.top + item.bottom) / 2) == RGB(223, 239, 255));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}
