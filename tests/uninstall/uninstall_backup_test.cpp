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
  f.Set(kept, "DisplayName", Text("Kept, reinstalled"));
  REQUIRE(WriteNewFile(f.backups + "notes.txt", "x"));
  const std::vector<std::string> captions{"Gone app", "notes", "Kept app"};

  const BackupRowsResult result =
      ProcessBackupRows(captions, {true, true, true}, f.backups, true, f.registry, f.prompt);
  CHECK(result.removed == std::vector<size_t>{2, 0});
  CHECK(result.restored);
  CHECK(f.registry.OpenKey(gone.root, gone.BackendPath(), false)->ReadValue("Flags") ==
        RegistryValue{kRegBinary, {1, 2, 3}});
  CHECK(f.registry.KeyExists(gone.root, gone.BackendPath() + "\\Sub"));
  CHECK(ReadEntryValue(f.registry, kept, "DisplayName") == "Kept, reinstalled");  // left as it is
  CHECK_FALSE(Present(f.backups + "Gone app.reg"));
  CHECK(Present(f.backups + "notes.txt"));

  SUBCASE("a damaged file puts back what it can and stays") {
    REQUIRE(WriteNewFile(f.backups + "Bad.reg",
                         "\x82\x75\x81\x95\x82\x6B Registry Text Data Version 1.1\r\n\r\n"
                         "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bad]\r\n"
                         "\"DisplayName\"=\"Bad\"\r\n\"Size\"=dword:123456789\r\n"));
    const BackupRowsResult bad = ProcessBackupRows({"Bad"}, {true}, f.backups, true, f.registry, f.prompt);
    CHECK(bad.removed.empty());
    CHECK(bad.restored);
    CHECK(Present(f.backups + "Bad.reg"));
    CHECK(f.prompt.messages().back().rfind(std::string(kPartlyRestored), 0) == 0);
  }
  SUBCASE("delete without a selection does nothing") {
    CHECK(ProcessBackupRows({"notes"}, {false}, f.backups, false, f.registry, f.prompt).removed.empty());
    CHECK(ProcessBackupRows({"notes"}, {true}, f.backups, false, f.registry, f.prompt).removed.empty());
    CHECK(Present(f.backups + "notes.txt"));
  }
}
