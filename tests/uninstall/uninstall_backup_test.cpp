#include <doctest.h>

#include "platform/file_io.h"
#include "uninstall/uninstall_backup.h"
#include "uninstall/uninstall_test_support.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

bool Present(const std::string& path) { return ReadFileIfPresent(path).status == FileRead::Status::kRead; }

}  // namespace

TEST_CASE("backup file names: the title, numbered when taken, always a valid name") {
  UninstallFixture f;
  const UninstallKey key = f.Add(kMachine, "T", "T");
  CHECK(SaveUninstallBackup(f.registry, f.prompt, f.backups, "T", key).file == f.backups + "T.reg");
  CHECK(SaveUninstallBackup(f.registry, f.prompt, f.backups, "T", key).file == f.backups + "T1.reg");
  CHECK(SaveUninstallBackup(f.registry, f.prompt, f.backups, "T", key).file == f.backups + "T2.reg");
  CHECK(BackupCaption("T2.reg") == "T2");
  CHECK(BackupCaption("Tool 1.5.reg") == "Tool 1.5");

  CHECK(BackupFileStem("Tool 1.5", "C:\\d\\") == "Tool 1.5");
  CHECK(BackupFileStem("A\\B: C", "C:\\d\\") == "A￥B： C");
  CHECK(BackupFileStem("Ends in a dot.", "C:\\d\\") == "Ends in a dot．");
  CHECK(BackupFileStem("Blank ", "C:\\d\\") == "Blank");
  CHECK(BackupFileStem("con", "C:\\d\\") == "con_");
  CHECK(BackupFileStem("", "C:\\d\\") == "0");
  const std::string folder = "C:\\" + std::string(200, 'f') + "\\";
  const std::string stem = BackupFileStem(std::string(100, 'x'), folder);
  CHECK(folder.size() + stem.size() + 4 + 4 <= kLongestPath);
}

TEST_CASE("restoring saved files: bottom-up, a file that could not be restored or reached keeps its row") {
  UninstallFixture f;
  const UninstallKey gone = f.Add(kMachine32, "Gone", "Gone app");
  f.Set(gone, "Flags", {kRegBinary, {1, 2, 3}});
  f.registry.OpenKey(gone.root, gone.BackendPath() + "\\Sub", true)->WriteValue("x", Text("y"));
  const UninstallKey kept = f.Add(kUser, "Kept", "Kept app");
  REQUIRE(SaveUninstallBackup(f.registry, f.prompt, f.backups, "Gone app", gone).result.complete());
  REQUIRE(SaveUninstallBackup(f.registry, f.prompt, f.backups, "Kept app", kept).result.complete());
  REQUIRE(f.registry.DeleteKeyTree(gone.root, gone.BackendPath()));
  // The key is there again, changed and with a value missing: it is completed with the
  // file's data; what the file does not hold stays.
  f.Set(kept, "DisplayName", Text("Kept, reinstalled"));
  f.Set(kept, "Since", Text("new"));
  f.registry.OpenKey(kept.root, kept.BackendPath(), false)->DeleteValue("UninstallString");
  REQUIRE(WriteNewFile(f.backups + "notes.txt", "x"));
  const std::vector<std::string> captions{"Gone app", "notes", "Kept app"};

  const BackupRowsResult result =
      ProcessBackupRows(captions, {true, true, true}, f.backups, true, f.registry, f.prompt);
  CHECK(result.removed == std::vector<size_t>{2, 0});
  CHECK(result.restored);
  CHECK(f.registry.OpenKey(gone.root, gone.BackendPath(), false)->ReadValue("Flags") ==
        RegistryValue{kRegBinary, {1, 2, 3}});
  CHECK(f.registry.KeyExists(gone.root, gone.BackendPath() + "\\Sub"));
  CHECK(ReadEntryValue(f.registry, kept, "DisplayName") == "Kept app");
  CHECK(ReadEntryValue(f.registry, kept, "UninstallString") == "uninst.exe /x");
  CHECK(ReadEntryValue(f.registry, kept, "Since") == "new");
  CHECK_FALSE(Present(f.backups + "Gone app.reg"));
  CHECK(Present(f.backups + "notes.txt"));

  SUBCASE("a damaged file stays; it puts back what it can only when the user says so") {
    const UninstallKey bad{kUser.root, std::string(kUser.path), "Bad"};
    REQUIRE(WriteNewFile(f.backups + "Bad.reg",
                         "\x82\x75\x81\x95\x82\x6B Registry Text Data Version 1.1\r\n\r\n[" + bad.FullName() +
                             "]\r\n\"DisplayName\"=\"Bad\"\r\n\"Size\"=dword:123456789\r\n"));
    for (const bool yes : {false, true}) {
      CAPTURE(yes);
      yes ? f.prompt.AnswerYes() : f.prompt.AnswerNo();
      f.prompt.clear();
      const BackupRowsResult result = ProcessBackupRows({"Bad"}, {true}, f.backups, true, f.registry, f.prompt);
      CHECK(f.prompt.shown().front().text.rfind(std::string(kDamagedBackupQuestion), 0) == 0);
      CHECK(result.removed.empty());
      CHECK(result.restored == yes);
      CHECK(f.Exists(bad) == yes);
      CHECK(Present(f.backups + "Bad.reg"));
    }
  }
  SUBCASE("a key that cannot be completed keeps the file, and says which") {
    REQUIRE(SaveUninstallBackup(f.registry, f.prompt, f.backups, "Kept app", kept).result.complete());
    f.Set(kept, "DisplayName", Text("Changed again"));
    f.registry.DenyFullAccess(kept.BackendPath());
    const BackupRowsResult denied = ProcessBackupRows({"Kept app"}, {true}, f.backups, true, f.registry, f.prompt);
    CHECK(denied.removed.empty());
    CHECK(Present(f.backups + "Kept app.reg"));
    CHECK(f.prompt.messages().back() == std::string(kPartlyRestored) + "\n" + f.backups + "Kept app.reg\n[" +
                                            kept.FullName() + "]");
  }
  SUBCASE("delete without a selection does nothing") {
    CHECK(ProcessBackupRows({"notes"}, {false}, f.backups, false, f.registry, f.prompt).removed.empty());
    CHECK(ProcessBackupRows({"notes"}, {true}, f.backups, false, f.registry, f.prompt).removed.empty());
    CHECK(Present(f.backups + "notes.txt"));
  }
}

TEST_CASE("a restore cut short or from a cut file is finished by the next one") {
  UninstallFixture f;
  const UninstallKey big = f.Add(kMachine, "Big", "Big app");
  for (int i = 0; i < 40; ++i) f.Set(big, "Value" + std::to_string(i), Text(std::to_string(i)));
  REQUIRE(SaveUninstallBackup(f.registry, f.prompt, f.backups, "Big app", big).result.complete());
  const std::string file = f.backups + "Big app.reg";
  const std::string good = *ReadWholeFile(file);
  REQUIRE(f.registry.DeleteKeyTree(big.root, big.BackendPath()));
  const auto all_back = [&] {
    for (int i = 0; i < 40; ++i)
      if (ReadEntryValue(f.registry, big, "Value" + std::to_string(i)) != std::to_string(i)) return false;
    return true;
  };

  // The file cut inside a line of its values: what it holds comes back, and it stays.
  REQUIRE(DeleteFileAt(file));
  REQUIRE(WriteNewFile(file, good.substr(0, good.find("\"Value20\"") + 4)));
  f.prompt.AnswerYes();
  CHECK(RestoreUninstallBackup(file, f.registry, f.prompt) == RestoreOutcome::kPartial);
  CHECK(ReadEntryValue(f.registry, big, "Value3") == "3");
  CHECK_FALSE(all_back());
  CHECK(Present(file));

  // The good copy put back: the key that exists now is completed, then the file goes.
  REQUIRE(WriteWholeFileReplacing(file, good));
  CHECK(ProcessBackupRows({"Big app"}, {true}, f.backups, true, f.registry, f.prompt).removed ==
        std::vector<size_t>{0});
  CHECK(all_back());
}

TEST_CASE("a file with a key outside its entry is refused whole and kept") {
  UninstallFixture f;
  const UninstallKey entry = f.Add(kUser, "Tool", "Tool");
  REQUIRE(SaveUninstallBackup(f.registry, f.prompt, f.backups, "Tool", entry).result.complete());
  const std::string saved = *ReadWholeFile(f.backups + "Tool.reg");
  REQUIRE(f.registry.DeleteKeyTree(entry.root, entry.BackendPath()));
  const size_t keys = f.registry.CountKeys();
  const std::string header = "\x82\x75\x81\x95\x82\x6B Registry Text Data Version 1.1\r\n";
  const std::string evil = "HKEY_CURRENT_USER\\Software\\HostileEvil\\Run";
  const std::string uninstall = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  const std::pair<std::string, std::string> files[] = {
      {saved + "\r\n[" + evil + "]\r\n\"Evil\"=\"C:\\\\evil.exe\"\r\n", evil},
      {saved + "\r\n[" + uninstall + "\\Other]\r\n\"DisplayName\"=\"Other\"\r\n", uninstall + "\\Other"},
      {header + "\r\n[" + uninstall + "]\r\n\"DisplayName\"=\"All\"\r\n", uninstall},
      {header + "\r\n[HKEY_CURRENT_USER\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X]"
                "\r\n\"DisplayName\"=\"X\"\r\n",
       "HKEY_CURRENT_USER\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X"},
  };
  for (const auto& [bytes, refused_key] : files) {
    const std::string& refused = refused_key;
    CAPTURE(refused);
    REQUIRE(WriteWholeFileReplacing(f.backups + "Tool.reg", bytes));
    f.prompt.clear();
    const BackupRowsResult result = ProcessBackupRows({"Tool"}, {true}, f.backups, true, f.registry, f.prompt);
    CHECK(result.removed.empty());
    CHECK_FALSE(result.restored);
    CHECK(Present(f.backups + "Tool.reg"));
    CHECK(f.registry.CountKeys() == keys);
    CHECK(f.prompt.messages() == std::vector<std::string>{std::string(kOutsideEntry) + "\n" + f.backups +
                                                          "Tool.reg\n\n" + std::string(kOutsideKeysHeading) +
                                                          "\n[" + refused + "]"});
  }
}
