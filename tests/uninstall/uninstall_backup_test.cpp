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
  f.registry.OpenKey(gone.root, gone.BackendPath() + "\\Sub", KeyAccess::kCreate)->WriteValue("x", Text("y"));
  const UninstallKey kept = f.Add(kUser, "Kept", "Kept app");
  REQUIRE(SaveUninstallBackup(f.registry, f.prompt, f.backups, "Gone app", gone).result.complete());
  REQUIRE(SaveUninstallBackup(f.registry, f.prompt, f.backups, "Kept app", kept).result.complete());
  REQUIRE(f.registry.DeleteKeyTree(gone.root, gone.BackendPath()));
  // The key is there again, changed and with a value missing: it is completed with the
  // file's data; what the file does not hold stays.
  f.Set(kept, "DisplayName", Text("Kept, reinstalled"));
  f.Set(kept, "Since", Text("new"));
  f.registry.OpenKey(kept.root, kept.BackendPath(), KeyAccess::kWrite)->DeleteValue("UninstallString");
  REQUIRE(WriteNewFile(f.backups + "notes.txt", "x"));
  const std::vector<std::string> captions{"Gone app", "notes", "Kept app"};

  const BackupRowsResult result =
      ProcessBackupRows(captions, {true, true, true}, f.backups, true, f.registry, f.prompt);
  CHECK(result.removed == std::vector<size_t>{2, 0});
  CHECK(result.restored);
  CHECK(f.registry.OpenKey(gone.root, gone.BackendPath(), KeyAccess::kRead)->ReadValue("Flags") ==
        RegistryValue{kRegBinary, {1, 2, 3}});
  CHECK(f.registry.KeyExists(gone.root, gone.BackendPath() + "\\Sub"));
  CHECK(ReadEntryValue(f.registry, kept, "DisplayName") == "Kept app");
  CHECK(ReadEntryValue(f.registry, kept, "UninstallString") == "uninst.exe /x");
  CHECK(ReadEntryValue(f.registry, kept, "Since") == "new");
  CHECK_FALSE(Present(f.backups + "Gone app.reg"));
  CHECK(Present(f.backups + "notes.txt"));

  const std::string header = "\x82\x75\x81\x95\x82\x6B Registry Text Data Version 1.1\r\n\r\n[";
  const auto restore = [&](const std::string& bytes) {
    REQUIRE(WriteWholeFileReplacing(f.backups + "T.reg", bytes));
    f.prompt.clear();
    return ProcessBackupRows({"T"}, {true}, f.backups, true, f.registry, f.prompt);
  };
  SUBCASE("a damaged file stays; it puts back what it can only when the user says so") {
    const UninstallKey bad{kUser.root, std::string(kUser.path), "Bad"};
    for (const bool yes : {false, true}) {
      yes ? f.prompt.AnswerYes() : f.prompt.AnswerNo();
      const BackupRowsResult damaged = restore(header + bad.FullName() + "]\r\n\"A\"=\"a\"\r\n\"B\"=dword:123456789\r\n");
      CHECK((!f.prompt.shown().empty() && f.prompt.shown()[0].text.rfind(std::string(kDamagedBackupQuestion), 0) == 0));
      CHECK((damaged.removed.empty() && damaged.restored == yes && f.Exists(bad) == yes));
    }
  }
  SUBCASE("a key that cannot be completed keeps the file, and says which") {
    f.registry.MakeReadOnly(kept.root, kept.BackendPath());
    CHECK(restore(header + kept.FullName() + "]\r\n\"A\"=\"a\"\r\n").removed.empty());
    CHECK(f.prompt.messages() ==
          std::vector<std::string>{std::string(kPartlyRestored) + "\n" + f.backups + "T.reg\n[" + kept.FullName() + " : A]"});
  }
  SUBCASE("a file with a key outside its entry writes nothing and stays") {
    const std::string uninstall = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    const std::string entry = header + kept.FullName() + "]\r\n\"DisplayName\"=\"X\"\r\n\r\n[";
    const std::pair<std::string, std::string> files[] = {{entry, "HKEY_CURRENT_USER\\Software\\Evil\\Run"},
                                                         {entry, uninstall + "\\Other"}, {header, uninstall}};
    const size_t keys = f.registry.CountKeys();
    for (const auto& [start, refused] : files) {
      const BackupRowsResult result = restore(start + refused + "]\r\n\"E\"=\"C:\\\\e.exe\"\r\n");
      CHECK((result.removed.empty() && !result.restored && f.registry.CountKeys() == keys));
      CHECK(f.prompt.messages() == std::vector<std::string>{std::string(kOutsideEntry) + "\n" + f.backups + "T.reg\n\n" +
                                                            std::string(kOutsideKeysHeading) + "\n[" + refused + "]"});
    }
    CHECK(ReadEntryValue(f.registry, kept, "DisplayName") == "Kept app");
  }
  SUBCASE("delete without a selection does nothing") {
    CHECK(ProcessBackupRows({"notes"}, {false}, f.backups, false, f.registry, f.prompt).removed.empty());
    CHECK(ProcessBackupRows({"notes"}, {true}, f.backups, false, f.registry, f.prompt).removed.empty());
    CHECK(Present(f.backups + "notes.txt"));
  }
}
