#include <doctest.h>

#include "startup/startup_test_support.h"
#include "startup/winlogon_values.h"

using namespace orvela;
using namespace orvela::testing;

TEST_CASE("Winlogon's Shell and Userinit: rows only where they differ from Windows' own, never changed") {
  StartupFixture f;
  const auto set = [&](RootKey root, std::string_view name, std::string_view text) {
    f.registry.OpenKey(root, kWinlogonPath, KeyAccess::kCreate)->WriteValue(name, StringValue(text));
  };
  const char* system = "C:\\Windows\\system32";
  CHECK(WinlogonEntries(f.registry, system).empty());  // no values: Windows uses its own
  set(RootKey::kLocalMachine, "Shell", "Explorer.EXE");
  set(RootKey::kLocalMachine, "Userinit", "c:\\windows\\System32\\userinit.exe");
  set(RootKey::kCurrentUser, "Shell", "explorer.exe");
  CHECK(WinlogonEntries(f.registry, system).empty());
  CHECK(IsWindowsOwnUserinit("C:\\Windows\\system32\\userinit.exe,", system));
  CHECK_FALSE(IsWindowsOwnUserinit("C:\\Windows\\system32\\userinit.exe,", "D:\\Windows\\system32"));

  set(RootKey::kLocalMachine, "Userinit", "C:\\Windows\\system32\\userinit.exe,C:\\x\\hook.exe,");
  set(RootKey::kCurrentUser, "Shell", "C:\\x\\shell.exe");
  const std::vector<EntryRecord> rows = WinlogonEntries(f.registry, system);
  REQUIRE(rows.size() == 2);
  CHECK((rows[0].Key == kMachineKey && rows[0].Name == "Userinit"));
  CHECK(rows[0].Command == "C:\\Windows\\system32\\userinit.exe,C:\\x\\hook.exe,");
  CHECK((rows[1].Key == kUserRunKey && IsWinlogonEntry(rows[1])));
  CHECK(WinlogonLocationText(rows[1]) == "HKEY_CURRENT_USER Winlogon");

  // Neither disabled, deleted nor moved: the value stays byte for byte.
  f.prompt.AnswerYes();
  CHECK_FALSE(DisableStartupEntry(f.context, rows[1]).changed);
  CHECK_FALSE(DeleteStartupEntry(f.context, rows[1], true).changed);
  CHECK_FALSE(ChangeKind(f.context, rows[1], 0).changed);
  CHECK(f.registry.OpenKey(RootKey::kCurrentUser, kWinlogonPath, KeyAccess::kRead)->ReadValue("Shell") ==
        StringValue("C:\\x\\shell.exe"));
  CHECK(f.box.lines.empty());
}
