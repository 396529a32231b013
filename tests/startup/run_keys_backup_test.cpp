#include <doctest.h>

#include <filesystem>

#include "platform/ansi_codec.h"
#include "platform/file_io.h"
#include "regfile/registry_file.h"
#include "startup/run_keys_backup.h"
#include "startup/startup_actions.h"
#include "startup/startup_test_support.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

std::string FileText(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  return bytes ? DecodeFileText(*bytes).value_or("") : "";
}

}  // namespace

TEST_CASE("The Run keys are saved once, at the first change of a registry entry") {
  StartupFixture f;
  f.SetRun(0, "Tool", "C:\\Tools\\tool.exe /q");
  f.SetRun(1, "Agent", "C:\\Agent\\agent.exe");
  f.SetRun(2, "Setup", "C:\\Setup\\setup.exe");
  const std::string lnk = StartupOf("taro") + "\\Mail.lnk";
  f.shell.AddShortcut(lnk, "C:\\Mail\\mail.exe");

  // A folder change first takes no backup...
  DeleteStartupEntry(f.context, FolderRow(f.Profile("taro"), "Mail", lnk), false);
  CHECK_FALSE(f.backup.RunKeysSaved);
  CHECK_FALSE(f.backup.RunKeysUndoAvailable);
  CHECK_FALSE(ReadWholeFile(f.backup.file_path));

  // ...the registry change after it does, before the value goes.
  DisableStartupEntry(f.context, RunRow(0, "Tool", "C:\\Tools\\tool.exe /q"));
  CHECK(f.backup.RunKeysSaved);
  CHECK(f.backup.RunKeysUndoAvailable);
  const std::string saved = FileText(f.backup.file_path);
  CHECK(saved ==
        "Ｖ＆Ｌ Registry Text Data Version 1.1\r\n"
        "\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
        "\"Tool\"=\"C:\\\\Tools\\\\tool.exe /q\"\r\n"
        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
        "\"Agent\"=\"C:\\\\Agent\\\\agent.exe\"\r\n"
        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce]\r\n"
        "\"Setup\"=\"C:\\\\Setup\\\\setup.exe\"\r\n");

  // Later changes leave the state before the first one in the file.
  DeleteStartupEntry(f.context, RunRow(1, "Agent", "C:\\Agent\\agent.exe"), false);
  CHECK(FileText(f.backup.file_path) == saved);
  CHECK(f.prompt.shown().empty());
}

TEST_CASE("A backup file that cannot be written offers no undo and asks before the change") {
  StartupFixture f;
  f.SetRun(0, "Tool", "C:\\tool.exe");
  std::filesystem::create_directories(std::filesystem::u8path(f.backup.file_path));

  f.prompt.AnswerNo();
  CHECK_FALSE(DeleteStartupEntry(f.context, RunRow(0, "Tool", "C:\\tool.exe"), false).changed);
  REQUIRE(f.prompt.shown().size() == 1);
  CHECK(f.prompt.shown()[0].text == kBackupNotWrittenQuestion);
  CHECK(f.Run(0, "Tool"));
  CHECK_FALSE(f.backup.RunKeysSaved);
  CHECK_FALSE(f.backup.RunKeysUndoAvailable);

  f.prompt.AnswerYes();
  CHECK(DeleteStartupEntry(f.context, RunRow(0, "Tool", "C:\\tool.exe"), false).changed);
  CHECK_FALSE(f.Run(0, "Tool"));
  CHECK_FALSE(f.backup.RunKeysUndoAvailable);
}

TEST_CASE("Undo and reload") {
  StartupFixture f;
  f.SetRun(0, "Keep", "C:\\keep.exe");
  f.SetRun(0, "Deleted", "C:\\deleted.exe");
  f.SetRun(0, "Changed", "C:\\before.exe");
  f.SetRun(2, "Setup", "C:\\setup.exe");
  const RegistryValue multi{kRegMultiSz, {'a', 0, 0, 0, 0, 0}};
  f.SetRun(0, "Multi", multi);  // no entry in the file format
  const EntryRecord selected = RunRow(0, "Keep", "C:\\keep.exe");
  REQUIRE(SaveRunKeys(f.backup, f.registry, f.prompt, &selected));
  CHECK(f.backup.RunKeysSaved);

  const auto user = f.registry.OpenKey(RootKey::kCurrentUser, kRunKeyLocations[0].path, false);
  user->DeleteValue("Deleted");
  user->WriteValue("Changed", StringValue("C:\\after.exe"));
  user->WriteValue("Added", StringValue("C:\\added.exe"));
  f.registry.DeleteKeyTree(RootKey::kLocalMachine, kRunKeyLocations[2].path);

  SUBCASE("undo: the keys hold exactly what was saved") {
    CHECK(RestoreRunKeys(f.backup, f.registry, f.prompt, false));
    CHECK(f.Run(0, "Keep") == StringValue("C:\\keep.exe"));
    CHECK(f.Run(0, "Deleted") == StringValue("C:\\deleted.exe"));
    CHECK(f.Run(0, "Changed") == StringValue("C:\\before.exe"));
    CHECK_FALSE(f.Run(0, "Added"));
    CHECK(f.Run(0, "Multi") == multi);  // the file cannot bring it back: it is left alone
    CHECK(f.Run(2, "Setup") == StringValue("C:\\setup.exe"));
    CHECK(f.backup.RunKeysUndoAvailable);  // offered again, against the same file
  }

  SUBCASE("reload: existing keys stay as they are, a deleted key comes back") {
    CHECK(RestoreRunKeys(f.backup, f.registry, f.prompt, true));
    CHECK(f.Run(0, "Changed") == StringValue("C:\\after.exe"));
    CHECK(f.Run(0, "Added"));
    CHECK_FALSE(f.Run(0, "Deleted"));
    CHECK(f.Run(2, "Setup") == StringValue("C:\\setup.exe"));
  }

  SUBCASE("undo with the backup file gone changes nothing") {
    std::filesystem::remove(std::filesystem::u8path(f.backup.file_path));
    const size_t keys = f.registry.CountKeys();
    CHECK_FALSE(RestoreRunKeys(f.backup, f.registry, f.prompt, false));
    CHECK(f.prompt.messages() ==
          std::vector<std::string>{std::string(TRegistryFile::kNotRegistryFile)});
    CHECK(f.Run(0, "Changed") == StringValue("C:\\after.exe"));
    CHECK(f.Run(0, "Added"));
    CHECK(f.Run(0, "Keep"));
    CHECK(f.registry.CountKeys() == keys);
  }

  SUBCASE("undo with a backup file that is no registry file changes nothing") {
    REQUIRE(WriteWholeFileReplacing(f.backup.file_path, "not a backup\r\n"));
    CHECK_FALSE(RestoreRunKeys(f.backup, f.registry, f.prompt, false));
    CHECK(f.Run(0, "Added"));
    CHECK(f.Run(0, "Keep"));
  }
}

TEST_CASE("An uninstall backup restores only what is gone") {
  StartupFixture f;
  const std::string path = f.folder.File("uninst.reg");
  REQUIRE(WriteWholeFileReplacing(
      path,
      EncodeFileText(
          "Ｖ＆Ｌ Registry Text Data Version 1.1\r\n"
          "\r\n[HKEY_LOCAL_MACHINE\\Software\\Uninstall\\Kept]\r\n\"DisplayName\"=\"Saved\"\r\n"
          "\r\n[HKEY_LOCAL_MACHINE\\Software\\Uninstall\\Gone]\r\n\"DisplayName\"=\"Gone "
          "app\"\r\n")));
  f.registry.OpenKey(RootKey::kLocalMachine, "Software\\Uninstall\\Kept", true)
      ->WriteValue("DisplayName", StringValue("Current"));

  CHECK(RestoreUninstallBackup(path, f.registry, f.prompt));
  CHECK(f.registry.OpenKey(RootKey::kLocalMachine, "Software\\Uninstall\\Kept", false)
            ->ReadValue("DisplayName") == StringValue("Current"));
  CHECK(f.registry.OpenKey(RootKey::kLocalMachine, "Software\\Uninstall\\Gone", false)
            ->ReadValue("DisplayName") == StringValue("Gone app"));
  CHECK_FALSE(RestoreUninstallBackup(f.folder.File("none.reg"), f.registry, f.prompt));
}
