// The pages in a prefix whose machine Run, RunOnce and Uninstall keys the user may only read
// (tests/rights/rights_prefix.sh made them so and checks afterwards that they are unchanged):
// every readable row is shown, every change of such a key is refused with its message.
#include <doctest.h>

#include "app/form1_win.h"

#include <commctrl.h>

#include <functional>
#include <map>

#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/registry_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "common/entry_marks.h"
#include "startup/startup_page_win.h"
#include "uninstall/uninstall_backup.h"
#include "uninstall/uninstall_page_win.h"
#include "uninstall/uninstall_values.h"

using namespace orvela;

namespace {

constexpr char kTag[] = "OrvelaRights ";  // every entry the prefix was given starts with it

struct Window {
  ScriptedPrompt prompt;
  Win32Registry registry;
  std::unique_ptr<TForm1> form;
  std::string program_folder;

  explicit Window(bool administrator) {
    FormServices services = RealFormServices(prompt, registry);
    services.is_admin = [administrator] { return administrator; };
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    program_folder = services.program_folder = Narrow(temp) + "orvela-rights\\";
    for (const std::string& name : FileNamesIn(program_folder + "data\\uninst\\"))
      DeleteFileAt(program_folder + "data\\uninst\\" + name);
    form = std::make_unique<TForm1>(services);
    form->Show(SW_SHOWNORMAL);
  }
  StartupPage& startup() { return form->startup_page(); }
  UninstallPage& uninstall() { return form->uninstall_page(); }
  // The startup rows of the prefix's entries, by name.
  std::map<std::string, const EntryRecord*> StartupRows() {
    std::map<std::string, const EntryRecord*> rows;
    for (const EntryRecord& entry : startup().entries)
      if (entry.Name.rfind(kTag, 0) == 0) rows[entry.Name] = &entry;
    return rows;
  }
  void SelectStartup(const std::string& name) {
    for (size_t i = 0; i < startup().entries.size(); ++i)
      if (startup().entries[i].Name == name) SendMessageW(startup().ListBox1, LB_SETCURSEL, i, 0);
    startup().ListBox1Click();
  }
  void ShowUninstallPage() {
    TabCtrl_SetCurSel(form->PageControl1, kUninstallPage);
    form->PageControl1Change();
  }
  int UninstallRow(const std::string& title) {
    for (size_t i = 0; i < uninstall().ListView1.size(); ++i)
      if (uninstall().ListView1[i].caption == title) return static_cast<int>(i);
    return -1;
  }
};

bool Greyed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

std::string Told(const std::string& name, int location, bool administrator) {
  return "[" + name + "]\n" + KeyRefusalText(RunKeyNames()[static_cast<size_t>(location)], kErrorAccessDenied, administrator);
}

}  // namespace

TEST_CASE("the startup page shows the machine's read-only entries and refuses every change of them") {
  Window w(true);
  const std::map<std::string, const EntryRecord*> rows = w.StartupRows();
  const std::map<std::string, int> machine = {{"OrvelaRights Agent 64", 1}, {"OrvelaRights Once 64", 2},
                                              {"OrvelaRights Agent 32", 3}, {"OrvelaRights Once 32", 4}};
  for (const auto& [name, location] : machine) {
    CAPTURE(name);
    REQUIRE(rows.count(name) == 1);
    CHECK(RunLocationOf(*rows.at(name)) == location);
    CHECK(rows.at(name)->ReadOnly);
  }
  CHECK_FALSE(rows.at("OrvelaRights Mine")->ReadOnly);

  // Greyed in the menu, refused from the menu's commands, the Delete key and the apply buttons.
  w.SelectStartup("OrvelaRights Once 32");
  CHECK(w.form->status_text(1).rfind("[" + std::string(kReadOnlyMark), 0) == 0);
  const UniqueMenu menu = w.startup().PopupMenu1Popup();
  CHECK((Greyed(menu.get(), kIdN1) && Greyed(menu.get(), kIdDelete1)));
  CHECK_FALSE(Greyed(menu.get(), kIdOptionMenu2));
  w.startup().N1Click();
  w.startup().OnListKey(w.startup().ListBox1, VK_DELETE);
  SendMessageW(w.startup().ComboBox1, CB_SETCURSEL, 0, 0);
  w.startup().SpeedButton3Click();
  const std::string told = Told("OrvelaRights Once 32", 4, true);
  CHECK(w.prompt.messages() == std::vector<std::string>(3, told));
  CHECK(w.startup().selected_entry()->Name == "OrvelaRights Once 32");

  // The user's own entry changes; the backup holds the machine's keys whole, and undo puts
  // the user's entry back without touching them.
  w.SelectStartup("OrvelaRights Mine");
  w.startup().N1Click();
  CHECK(w.StartupRows().count("OrvelaRights Mine") == 0);
  CHECK(w.startup().run_keys_backup().RunKeysSaved);
  CHECK(w.startup().run_keys_backup().keys_not_saved.empty());
  w.startup().Undo1Click();
  CHECK(w.StartupRows().count("OrvelaRights Mine") == 1);
  CHECK(w.prompt.messages().size() == 3);
}

TEST_CASE("the uninstall page lists and shows a read-only entry whole and refuses its removal") {
  Window w(true);
  w.ShowUninstallPage();
  UninstallPage& page = w.uninstall();
  const int row = w.UninstallRow("OrvelaRights Locked");
  REQUIRE(row >= 0);
  CHECK(w.UninstallRow("OrvelaRights Old") >= 0);
  const UninstallKey key = page.ListView1[static_cast<size_t>(row)].key;
  CHECK(page.entries[static_cast<size_t>(row)].publisher == "Ｖ＆Ｌ");
  CHECK(EntryValueRows(w.registry, key, page.system()).size() == 3);

  // Its backup would hold it all, subkey included; the removal is refused before it is asked.
  const UninstallBackup backup = SaveUninstallBackup(w.registry, w.prompt, w.program_folder, "probe", key);
  CHECK(backup.result.complete());
  CHECK(ReadWholeFile(backup.file)->find(key.FullName() + "\\Parts]") != std::string::npos);
  REQUIRE(DeleteFileAt(backup.file));
  SendMessageW(page.ListBox3, LB_SETCURSEL, row, 0);
  page.ListBox3Click();
  page.OnListKey(page.ListBox3, VK_DELETE);
  CHECK(w.prompt.shown().size() == 1);
  CHECK(w.prompt.messages() ==
        std::vector<std::string>{"[ OrvelaRights Locked ]\n\n" + std::string(kNotRemovable) + "\n" + key.FullName() +
                                 "\n理由：" + SystemErrorText(kErrorAccessDenied)});
  CHECK(FileNamesIn(w.program_folder + "data\\uninst\\").empty());
}

TEST_CASE("a user who is no administrator sees the machine's entries read-only and no uninstall list") {
  Window w(false);
  CHECK(w.prompt.messages() == std::vector<std::string>{std::string(kNoAdminMessage)});
  const std::map<std::string, const EntryRecord*> rows = w.StartupRows();
  CHECK((rows.at("OrvelaRights Agent 64")->ReadOnly && rows.at("OrvelaRights Once 32")->ReadOnly));
  CHECK_FALSE(rows.at("OrvelaRights Mine")->ReadOnly);
  w.SelectStartup("OrvelaRights Agent 64");
  w.startup().N1Click();
  CHECK(w.prompt.messages().back() == Told("OrvelaRights Agent 64", 1, false));

  w.ShowUninstallPage();
  for (const auto& click : std::vector<std::function<void()>>{[&] { w.form->SpeedButton1Click(); },
                                                              [&] { w.uninstall().N13Click(); },
                                                              [&] { w.form->SpeedButton2Click(); }}) {
    click();
    CHECK((w.uninstall().ListView1.empty() && w.uninstall().entries.empty()));
  }
}
