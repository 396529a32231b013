#include <doctest.h>

#include "uninstall/uninstall_test_support.h"

using namespace orvela;
using namespace orvela::testing;

TEST_CASE("update entries: up to four characters after the first KB convert to a number other than -1") {
  CHECK(IsUpdateEntry("Security Update for Windows (KB1234567)"));
  CHECK(IsUpdateEntry("Hotfix KB$1F"));  // hexadecimal, as the run-time conversion reads it
  CHECK(IsUpdateEntry("Fix KB 12"));     // blanks in front are allowed
  CHECK_FALSE(IsUpdateEntry("KBcompanion"));
  CHECK_FALSE(IsUpdateEntry("Update (kb1234567)"));
  CHECK_FALSE(IsUpdateEntry("Update KB-1"));
  CHECK_FALSE(IsUpdateEntry("Update KB12)"));  // the parenthesis is among the four
  CHECK_FALSE(IsUpdateEntry("Update KB"));
  CHECK(TextToInteger("0x1A") == 26);
  CHECK(TextToInteger("-0") == 0);
  CHECK_FALSE(TextToInteger("$").has_value());
}

TEST_CASE("collecting the entries: sources, filters, fallbacks and the hidden list's order") {
  UninstallFixture f;
  f.Add(kMachine, "B", "Beta", "\"C:\\B\\uninstall.exe\" /S", "20200102");
  f.Add(kUser, "A", "Alpha", "C:\\A\\remove.exe");
  f.Add(kMachine32, "Old", "Old 32-bit tool");
  f.Add(kMachine, "NoTitle", "", "C:\\n\\x.exe");
  f.Add(kMachine, "NoCommand", "Gamma", "");
  f.Add(kMachine, "KB1", "Update for X (KB1234567)", "MsiExec.exe /X{1}");
  f.Add(kMachine, "KB2", "Update for Y (KB7654321)", "");
  f.system.dates["C:\\A\\remove.exe"] = "2019/05/06";

  SUBCASE("programs: a title and a command are needed unless everything is shown") {
    const std::vector<SortRow> rows = f.Rows();
    CHECK(Captions(rows) == std::vector<std::string>{"Alpha", "Beta", "Old 32-bit tool"});
    CHECK(rows[0].key == UninstallKey{RootKey::kCurrentUser, std::string(kUser.path), "A"});
    CHECK(rows[0].date_key == "20190506");  // the uninstall program's creation date
    CHECK(rows[1].date_key == "20200102");
    CHECK(rows[2].key.key_path == "\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    CHECK(Captions(f.Rows(UninstallMode::kPrograms, true)) ==
          std::vector<std::string>{"0", "Alpha", "Beta", "Gamma", "Old 32-bit tool"});
  }
  SUBCASE("updates: only those with a command, whatever show-all says") {
    for (bool show_all : {false, true})
      CHECK(Captions(f.Rows(UninstallMode::kUpdates, show_all)) == std::vector<std::string>{"Update for X (KB1234567)"});
  }
  SUBCASE("the same title under both roots is two rows") {
    f.Add(kUser, "B", "Beta");
    const std::vector<SortRow> rows = f.Rows();
    REQUIRE(Captions(rows) == std::vector<std::string>{"Alpha", "Beta", "Beta", "Old 32-bit tool"});
    CHECK(rows[1].key.root != rows[2].key.root);
  }
  SUBCASE("a record reads the quiet values when the plain ones are missing") {
    const UninstallKey quiet = f.Add(kMachine, "Quiet", "", "");
    f.Set(quiet, "QuietDisplayName", Text("Quiet tool"));
    f.Set(quiet, "QuietUninstallString", Text("C:\\Q\\q.exe /quiet"));
    f.Set(quiet, "Publisher", Text("Q Corp"));
    CHECK(Captions(f.Rows()) == std::vector<std::string>{"Alpha", "Beta", "Old 32-bit tool"});
    const std::vector<SortRow> all = f.Rows(UninstallMode::kPrograms, true);
    const auto row = RowOfKey(all, quiet);
    REQUIRE(row);
    CHECK(all[static_cast<size_t>(*row)].caption == "0");
    const UninstallEntry entry = ReadUninstallEntry(f.registry, all[static_cast<size_t>(*row)], f.system);
    CHECK(entry.display_name == "Quiet tool");
    CHECK(entry.command == "C:\\Q\\q.exe /quiet");
    CHECK(entry.publisher == "Q Corp");
    CHECK(entry.date_text.empty());
  }
}

TEST_CASE("sorting: by title or date in the direction asked, rows without a date first") {
  UninstallFixture f;
  f.Add(kMachine, "1", "Apple", "a.exe", "20200101");
  f.Add(kMachine, "2", "Cherry", "c.exe");
  f.Add(kMachine, "3", "Banana", "b.exe", "20210101");
  f.Add(kMachine, "4", "Date", "d.exe");
  std::vector<SortRow> rows = f.Rows();
  SortUninstallRows(rows, false, false, f.system);
  CHECK(Captions(rows) == std::vector<std::string>{"Date", "Cherry", "Banana", "Apple"});
  SortUninstallRows(rows, true, true, f.system);
  CHECK(Captions(rows) == std::vector<std::string>{"Date", "Cherry", "Apple", "Banana"});
  SortUninstallRows(rows, true, false, f.system);
  CHECK(Captions(rows) == std::vector<std::string>{"Date", "Cherry", "Banana", "Apple"});
}

TEST_CASE("search: letter case ignored, from the row given, no wrapping") {
  FakeUninstallSystem system;
  std::vector<UninstallEntry> entries(3);
  entries[0].display_name = "Photo Editor";
  entries[1].display_name = "Music";
  entries[2].display_name = "PHOTO viewer";
  CHECK(FindUninstallEntry(entries, "photo", 0, system) == 0);
  CHECK(FindUninstallEntry(entries, "photo", 1, system) == 2);
  CHECK_FALSE(FindUninstallEntry(entries, "photo", 3, system).has_value());
  CHECK_FALSE(FindUninstallEntry(entries, "", 0, system).has_value());
}

TEST_CASE("the icon file of an uninstall command") {
  FakeUninstallSystem system;
  system.paths["C:\\App\\uninstall.exe"] = PathKind::kFile;
  system.paths["C:\\Windows\\system32\\setup.exe"] = PathKind::kFile;
  system.links["C:\\Menu\\Remove.lnk"] = "C:\\App\\uninstall.exe";
  CHECK(UninstallIconFile("\"C:\\App\\uninstall.exe\" /S", system) == "C:\\App\\uninstall.exe");
  CHECK(UninstallIconFile("MsiExec.exe /X{123}", system) == "C:\\Windows\\system32\\MsiExec.exe");
  CHECK(UninstallIconFile("rundll32.exe advpack.dll,LaunchINFSection x.inf", system) ==
        "C:\\Windows\\system32\\rundll32.exe");
  CHECK(UninstallIconFile("C:\\Menu\\Remove.lnk", system) == "C:\\App\\uninstall.exe");
  CHECK(UninstallIconFile("setup /remove", system) == "C:\\Windows\\system32\\setup.exe");
  CHECK(UninstallIconFile("", system).empty());
}

TEST_CASE("the program is never offered for uninstalling itself") {
  FakeUninstallSystem system;
  const std::string folder = "C:\\Program Files\\Orvela\\";
  auto entry = [](std::string title, std::string command) {
    UninstallEntry e;
    e.display_name = std::move(title);
    e.command = std::move(command);
    return e;
  };
  CHECK(OffersUninstall(entry("Tool", "\"C:\\Tools\\uninstall.exe\""), folder, system));
  CHECK(OffersUninstall(entry("Orvela 2", "\"C:\\Program Files\\Orvela\\helper.exe\" /u"), folder, system));
  CHECK(OffersUninstall(entry("orvela", "C:\\x.exe"), folder, system));  // the title counts as written
  CHECK_FALSE(OffersUninstall(entry("Orvela", "C:\\elsewhere\\uninstall.exe"), folder, system));
  // Its own uninstaller under another title, quoted, in another letter case, with arguments.
  CHECK_FALSE(OffersUninstall(entry("Other", "\"c:\\program files\\ORVELA\\Uninstall.exe\" /S"), folder, system));
}
