// The pages in a prefix whose machine Run, RunOnce and Uninstall keys the user may only read
// (rights_prefix.sh made them so, and checks afterwards that they are unchanged).
#include <doctest.h>

#include "../command_wait_win.h"

#include "app/form1_win.h"

#include <commctrl.h>

#include <functional>

#include "rows/entry_marks.h"
#include "platform/file_io.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "startup/run_key_locations.h"
#include "startup/startup_page_win.h"
#include "uninstall/uninstall_page_win.h"
#include "uninstall/uninstall_values.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

struct Window {
  ScriptedPrompt prompt;
  Win32Registry registry;
  std::unique_ptr<TForm1> form;

  explicit Window(bool administrator) {
    FormServices services = RealFormServices(prompt, registry);
    services.is_admin = [administrator] { return administrator; };
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    services.program_folder = Narrow(temp) + "orvela-rights\\";
    form = std::make_unique<TForm1>(services);
    form->Show(SW_SHOWNORMAL);
  }
  StartupPage& startup() { return form->startup_page(); }
  const EntryRecord* Select(const std::string& name) {  // a startup row of the prefix's entries; null if none
    const std::vector<EntryRecord>& rows = startup().entries;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].Name != "OrvelaRights " + name) continue;
      SendMessageW(startup().ListBox1, LB_SETCURSEL, i, 0);
      startup().ListBox1Click();
      return &rows[i];
    }
    return nullptr;
  }
  void ShowUninstallPage() {
    TabCtrl_SetCurSel(form->PageControl1, kUninstallPage);
    form->PageControl1Change();
  }
};

std::string Told(const std::string& name, int location, bool administrator) {
  return "[OrvelaRights " + name + "]\n" +
         KeyRefusalText(RunKeyNames()[static_cast<size_t>(location)], kErrorAccessDenied, administrator);
}

}  // namespace

TEST_CASE("the machine's read-only entries are shown marked, and every way to change them is refused") {
  Window w(true);
  for (const char* name : {"Agent 64", "Once 64", "Agent 32", "Once 32"}) {
    const EntryRecord* row = w.Select(name);
    CHECK((row && row->ReadOnly));
  }
  CHECK(w.form->status_text(1).rfind("[" + std::string(kReadOnlyMark), 0) == 0);
  const UniqueMenu menu = w.startup().PopupMenu1Popup();
  for (const UINT id : {kIdN1, kIdDelete1}) CHECK((GetMenuState(menu.get(), id, MF_BYCOMMAND) & MF_GRAYED) != 0);
  w.startup().OnCommand(kIdN1, 0, nullptr);
  w.startup().OnListKey(w.startup().ListBox1, VK_DELETE);
  SendMessageW(w.startup().ComboBox1, CB_SETCURSEL, 0, 0);
  w.startup().SpeedButton3Click();
  CHECK(w.prompt.messages() == std::vector<std::string>(3, Told("Once 32", 4, true)));

  // The user's own entry changes; the backup holds the locked keys whole, and undo, which
  // has nothing to change in them, puts the user's entry back.
  REQUIRE_FALSE(w.Select("Mine")->ReadOnly);
  w.startup().N1Click();
  CHECK(w.startup().run_keys_backup().keys_not_saved.empty());
  w.startup().Undo1Click();
  CHECK(w.Select("Mine"));
  CHECK(w.prompt.messages().size() == 3);
}

TEST_CASE("a read-only uninstall entry with a subkey is listed and shown whole; its removal is refused") {
  Window w(true);
  w.ShowUninstallPage();
  UninstallPage& page = w.form->uninstall_page();
  REQUIRE(page.ListView1.size() == 2);
  CHECK((page.ListView1[0].caption == "OrvelaRights Locked" && page.ListView1[1].caption == "OrvelaRights Old"));
  const UninstallKey key = page.ListView1[0].key;
  CHECK(EntryValueRows(w.registry, key, page.system()).size() == 3);
  SendMessageW(page.ListBox3, LB_SETCURSEL, 0, 0);
  page.OnListKey(page.ListBox3, VK_DELETE);
  REQUIRE(WaitForCommand(page.removing()));  // the subkeys are looked through on a thread of their own
  CHECK(w.prompt.messages() == std::vector<std::string>{"[ OrvelaRights Locked ]\n\n" + std::string(kNotRemovable) +
                                                        "\n" + key.FullName() + "\n理由：" +
                                                        SystemErrorText(kErrorAccessDenied)});
  CHECK(w.prompt.shown().size() == 1);  // nothing asked
}

TEST_CASE("a user who is no administrator sees the machine's entries read-only and no uninstall list") {
  Window w(false);
  const EntryRecord* agent = w.Select("Agent 64");
  CHECK((agent && agent->ReadOnly));
  w.startup().N1Click();
  CHECK(w.prompt.messages().back() == Told("Agent 64", 1, false));
  w.ShowUninstallPage();
  for (const auto& click : std::vector<std::function<void()>>{[&] { w.form->SpeedButton1Click(); },
                                                              [&] { w.form->uninstall_page().N13Click(); },
                                                              [&] { w.form->SpeedButton2Click(); }}) {
    click();
    CHECK(w.form->uninstall_page().ListView1.empty());
  }
}
